#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds small PE32 or PE32+ images in memory: one data section holding the
// import and export tables, with switches for the odd layouts real linkers produce.
class PeBuilder {
public:
    struct ImportFunction {
        bool bByOrdinal;
        uint16_t wValue;      // ordinal or hint
        std::string strName;  // for imports by name
    };
    struct ImportDll {
        std::string strName;
        std::vector<ImportFunction> functions;
        bool bOriginalFirstThunk = true;  // false: only FirstThunk is set
    };
    struct ExportName {
        std::string strName;
        uint16_t wIndex;  // index into the function array
    };
    // A function entry: "" is a hole (RVA 0), "->DLL.Name" a forwarder,
    // anything else a plain function.
    struct Exports {
        std::string strDllName = "test.dll";
        uint32_t dwBase = 1;
        std::vector<std::string> functions;
        std::vector<ExportName> names;
    };

    std::vector<ImportDll> imports;
    Exports exports;
    bool bHasExports = false;

    std::string strSectionName = ".rdata";
    // 0: the usual size, 224 (PE32) or 240 (PE32+).
    uint16_t wOptionalHeaderSize = 0;
    bool bVirtualSizeZero = false;
    // PE32+: machine 0x8664, 8-byte ImageBase and import thunks.
    bool bPe32Plus = false;
    // Some linkers give the import directory the size of its whole section.
    bool bImportSizeIsSectionSize = false;
    uint64_t qwImageBase = 0x10000000;  // a PE32 image keeps the low 32 bits
    // Each import descriptor written this many times, all sharing one DLL
    // name and one pair of thunk lists (the shape of an import bomb).
    uint32_t dwRepeatDescriptors = 1;
    // Bytes of a resource directory: a second section ".rsrc", the last bytes
    // of the file (no padding), named by data directory 2.
    std::vector<uint8_t> resourceSection;

    std::vector<uint8_t> Build() const;
    // File offset of data-directory entry `index` in the image Build() makes.
    uint32_t DirectoryEntryOffset(unsigned index) const;

    // File offsets in the last built image, for tests that corrupt it.
    static constexpr uint32_t kHeaderOffset = 0x80;
    static constexpr uint32_t kSectionFileOffset = 0x400;
    static constexpr uint32_t kSectionRva = 0x1000;
    // Where data directory 2 (resources) is stored in a PE32 image.
    static constexpr uint32_t kResourceDirectoryEntry = kHeaderOffset + 0x88;
};
