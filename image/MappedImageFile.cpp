#include "image/MappedImageFile.h"

MappedImageFile::MappedImageFile()
    : hFile(INVALID_HANDLE_VALUE), hMapping(nullptr), pView(nullptr), fileSize(0), openState(CannotOpen), openError(0)
{
}

MappedImageFile::~MappedImageFile()
{
    close();
}

void MappedImageFile::open(const char* path)
{
    close();
    view = PeImageView();
    openError = ERROR_INVALID_PARAMETER;
    if (!path) return;

    hFile = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        openError = GetLastError();
        openState = CannotOpen;
        return;
    }
    fileSize = GetFileSize(hFile, nullptr);
    if (fileSize == INVALID_FILE_SIZE) fileSize = 0;

    hMapping = CreateFileMappingA(hFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!hMapping) {
        openError = GetLastError();
        CloseHandle(hFile);
        hFile = INVALID_HANDLE_VALUE;
        openState = CannotCreateMapping;
        return;
    }
    pView = static_cast<const uint8_t*>(MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, 0));
    if (!pView) {
        openError = GetLastError();
        CloseHandle(hMapping);
        hMapping = nullptr;
        CloseHandle(hFile);
        hFile = INVALID_HANDLE_VALUE;
        openState = CannotMapView;
        return;
    }
    openState = Mapped;
    openError = 0;
    view = PeImageView(pView, fileSize);
}

void MappedImageFile::close()
{
    if (pView) {
        UnmapViewOfFile(const_cast<uint8_t*>(pView));
        pView = nullptr;
    }
    if (hMapping) {
        CloseHandle(hMapping);
        hMapping = nullptr;
    }
    if (hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(hFile);
        hFile = INVALID_HANDLE_VALUE;
    }
    openState = CannotOpen;
    view = PeImageView();
}
