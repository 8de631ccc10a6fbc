#pragma once

#include "image/PeImageView.h"

#include <windows.h>
#include <cstdint>

// A module file mapped read-only and classified.
class MappedImageFile {
public:
    enum OpenState : uint32_t { Mapped = 0, CannotOpen = 1, CannotCreateMapping = 2, CannotMapView = 3 };

    MappedImageFile();
    ~MappedImageFile();
    MappedImageFile(const MappedImageFile&) = delete;
    MappedImageFile& operator=(const MappedImageFile&) = delete;

    void open(const char* path);
    void close();

    uint32_t OpenStateValue() const { return openState; }
    // The system's error code of the step that failed to open or map; 0 when mapped.
    uint32_t OpenError() const { return openError; }
    uint32_t ImageState() const { return view.ImageState(); }
    uint32_t Kind() const { return view.Kind(); }
    int32_t HeaderOffset() const { return view.HeaderOffset(); }
    uint32_t FileSize() const { return fileSize; }
    bool IsPE() const { return view.IsPE(); }

    const uint8_t* NtHeaders() const { return view.NtHeaders(); }
    const uint8_t* DirectoryPointer(unsigned index) const { return view.DirectoryPointer(index); }
    const uint8_t* DirectoryPointerBounded(unsigned index) const { return view.DirectoryPointerBounded(index); }
    uint32_t DirectorySize(unsigned index) const { return view.DirectorySize(index); }
    const uint8_t* PointerFromRva(uint32_t rva) const { return view.PointerFromRva(rva); }
    const uint8_t* PointerFromRvaBounded(uint32_t rva, uint32_t bound) const
    {
        return view.PointerFromRvaBounded(rva, bound);
    }
    bool SectionByName(const char* name, PeSection& out) const { return view.SectionByName(name, out); }

    // The header walker over the mapped bytes.
    const PeImageView& View() const { return view; }

private:
    HANDLE hFile;
    HANDLE hMapping;
    const uint8_t* pView;
    uint32_t fileSize;
    uint32_t openState;
    uint32_t openError;
    PeImageView view;
};
