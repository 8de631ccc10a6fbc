#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds small PE32 images in memory: one data section holding the import
// and export tables, with switches for the odd layouts real linkers produce.
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
    uint16_t wOptionalHeaderSize = 224;
    bool bVirtualSizeZero = false;
    bool bPe32Plus = false;
    // Some linkers give the import directory the size of its whole section.
    bool bImportSizeIsSectionSize = false;
    uint32_t dwImageBase = 0x10000000;
    // Each import descriptor written this many times, all sharing one DLL
    // name and one pair of thunk lists (the shape of an import bomb).
    uint32_t dwRepeatDescriptors = 1;
    // Bytes of a resource directory: a second section ".rsrc", the last bytes
    // of the file (no padding), named by data directory 2.
    std::vector<uint8_t> resourceSection;

    std::vector<uint8_t> Build() const;

    // File offsets in the last built image, for tests that corrupt it.
    static constexpr uint32_t kHeaderOffset = 0x80;
    static constexpr uint32_t kSectionFileOffset = 0x400;
    static constexpr uint32_t kSectionRva = 0x1000;
    // Where data directory 2 (resources) is stored.
    static constexpr uint32_t kResourceDirectoryEntry = kHeaderOffset + 0x88;
};
