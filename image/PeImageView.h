#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One imported function: the ordinal (import by ordinal) or the hint, and the
// name ("N/A" for an import by ordinal, or when its hint/name record cannot
// be read: then neither flag is set).
struct ImportedFunction {
    uint32_t dwValue;
    std::string strName;
    uint8_t bByOrdinal = 0;
    uint8_t bNamed = 0;
};

struct ImportedModule {
    std::string strName;
    std::vector<ImportedFunction> functions;
};

// One exported function: Base + index, and the name ("N/A" when unnamed,
// " -> forwarder" appended when forwarded). The name alone and the
// forwarder text are kept apart as well.
struct ExportedFunction {
    uint32_t dwOrdinal;
    std::string strName;
    std::string strOwnName;    // "" when unnamed
    std::string strForwarder;  // "" when not forwarded
};

// A PE section header as read from the table.
struct PeSection {
    char szName[9];
    uint32_t dwVirtualSize;
    uint32_t dwVirtualAddress;
    uint32_t dwSizeOfRawData;
    uint32_t dwPointerToRawData;
};

// Classifies a file held in memory and walks its PE headers and tables.
// Every read is checked against the span; nothing here calls the OS.
class PeImageView {
public:
    enum ImageState : uint32_t { StateExecutable = 0, StateNotOpen = 1, StateNotExecutable = 2 };
    enum ImageKind : uint32_t { KindUnknown = 0, KindDos = 1, KindNE = 2, KindLE = 3, KindLX4558 = 4, KindPE = 5 };

    // Turns a decorated name into its plain form; returns "" when it cannot.
    // The second argument is the size of the output buffer to use.
    typedef std::function<std::string(const std::string& name, size_t bufferSize)> Undecorator;

    PeImageView();
    PeImageView(const uint8_t* data, size_t size);

    uint32_t ImageState() const { return imageState; }
    int32_t HeaderOffset() const { return headerOffset; }
    uint32_t Kind() const { return kind; }
    bool IsPE() const { return imageState == StateExecutable && kind == KindPE; }
    // PE with a 64-bit optional header (PE32+): its data directory starts 16
    // bytes later, ImageBase is 8 bytes and import thunks are 8 bytes; every
    // reader below handles both kinds.
    bool IsPE32Plus() const;

    // Pointer to the PE signature, or null.
    const uint8_t* NtHeaders() const { return ntHeaders; }
    const uint8_t* Data() const { return data; }
    size_t Size() const { return size; }

    uint16_t NumberOfSections() const;
    uint16_t SizeOfOptionalHeader() const;
    uint16_t OptionalHeaderMagic() const;
    // Fields of the optional header; false when outside the file.
    // ImageBase64 answers for both kinds. ImageBase answers only when the
    // base fits in 32 bits: always for PE32, for PE32+ only with a base
    // below 4 GB (false, `value` untouched, otherwise).
    bool ImageBase64(uint64_t& value) const;
    bool ImageBase(uint32_t& value) const;
    bool Subsystem(uint16_t& value) const;
    bool SubsystemVersion(uint16_t& major, uint16_t& minor) const;

    // Section i of the table (which starts 24 + SizeOfOptionalHeader past the signature).
    bool Section(unsigned index, PeSection& out) const;
    // Section whose name equals `name` in its first 8 characters, without regard to case.
    bool SectionByName(const char* name, PeSection& out) const;

    uint32_t DirectoryRva(unsigned index) const;
    uint32_t DirectorySize(unsigned index) const;

    // RVA translation. Plain rule: the section extent is min(VirtualSize,
    // SizeOfRawData). Bounded rule with a non-zero bound: min(SizeOfRawData, bound).
    // Null when no section holds the RVA or the result lies outside the file.
    const uint8_t* PointerFromRva(uint32_t rva) const;
    const uint8_t* PointerFromRvaBounded(uint32_t rva, uint32_t bound) const;
    const uint8_t* DirectoryPointer(unsigned index) const;
    const uint8_t* DirectoryPointerBounded(unsigned index) const;

    // Bytes of the file from p to its end (0 for pointers outside).
    size_t Available(const uint8_t* p) const;
    // Zero-terminated text at p, read at most up to the end of the file.
    std::string ReadString(const uint8_t* p) const;

    // What one file's tables may expand to, each: one entry per 4 bytes of the
    // file (a real entry needs at least its own 4-byte thunk or function
    // slot), and never more than kMaxTableEntries (about 1 million). Tables
    // that claim more are cut there and `truncated` says so.
    static constexpr size_t kMaxTableEntries = size_t(1) << 20;
    size_t TableEntryLimit() const;

    std::vector<ImportedModule> ReadImports(const Undecorator& undecorate = Undecorator(),
                                            bool* truncated = nullptr) const;
    std::vector<ExportedFunction> ReadExports(const Undecorator& undecorate = Undecorator(),
                                              bool* truncated = nullptr) const;
    // DLL names of the import descriptors (plain rule), as the closure walk reads them.
    std::vector<std::string> ImportedDllNames() const;

private:
    bool ReadU16(const uint8_t* p, uint16_t& value) const;
    bool ReadU32(const uint8_t* p, uint32_t& value) const;
    bool ReadU64(const uint8_t* p, uint64_t& value) const;
    // Entry `index` of the data directory (where it would be; reads check it), or null.
    const uint8_t* DirectoryEntry(unsigned index) const;
    uint32_t BoundFor(const char* sectionName, unsigned directory) const;
    const uint8_t* Translate(uint32_t rva, uint32_t bound, bool bounded) const;

    const uint8_t* data;
    size_t size;
    uint32_t imageState;
    int32_t headerOffset;
    uint32_t kind;
    const uint8_t* ntHeaders;
};
