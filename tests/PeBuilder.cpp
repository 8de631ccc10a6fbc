#include "tests/PeBuilder.h"

#include <cstring>

namespace {
class Blob {
public:
    uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }
    uint32_t Rva() const { return PeBuilder::kSectionRva + Size(); }
    uint32_t AddString(const std::string& text)
    {
        uint32_t rva = Rva();
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
        Align(2);
        return rva;
    }
    uint32_t AddU16(uint16_t value)
    {
        uint32_t rva = Rva();
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
        return rva;
    }
    uint32_t AddU32(uint32_t value)
    {
        uint32_t rva = Rva();
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return rva;
    }
    void AddThunk(uint64_t value, bool wide)
    {
        AddU32(static_cast<uint32_t>(value));
        if (wide) AddU32(static_cast<uint32_t>(value >> 32));
    }
    void PutU32(uint32_t rva, uint32_t value)
    {
        uint32_t offset = rva - PeBuilder::kSectionRva;
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
    void Align(uint32_t alignment)
    {
        while (bytes.size() % alignment) bytes.push_back(0);
    }
    std::vector<uint8_t> bytes;
};

void Put16(std::vector<uint8_t>& image, uint32_t offset, uint16_t value)
{
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& image, uint32_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

const uint32_t kOptionalHeader = 24;  // from the signature
} // namespace

uint32_t PeBuilder::DirectoryEntryOffset(unsigned index) const
{
    return kHeaderOffset + kOptionalHeader + (bPe32Plus ? 112 : 96) + 8 * index;
}

std::vector<uint8_t> PeBuilder::Build() const
{
    Blob blob;
    // The export table first, at the start of the section, as in an ".edata"
    // section of its own; plain exports point at a few bytes of "code" after it.
    const uint32_t codeRva = PeBuilder::kSectionRva + 0x800;

    uint32_t exportRva = 0, exportSize = 0;
    if (bHasExports) {
        blob.Align(4);
        exportRva = blob.Rva();
        for (int i = 0; i < 10; ++i) blob.AddU32(0);
        const uint32_t dllName = blob.AddString(exports.strDllName);
        std::vector<uint32_t> forwarders(exports.functions.size(), 0);
        for (size_t i = 0; i < exports.functions.size(); ++i)
            if (exports.functions[i].compare(0, 2, "->") == 0)
                forwarders[i] = blob.AddString(exports.functions[i].substr(2));
        std::vector<uint32_t> nameRvas;
        for (const ExportName& name : exports.names) nameRvas.push_back(blob.AddString(name.strName));
        blob.Align(4);
        const uint32_t functionsRva = blob.Rva();
        for (size_t i = 0; i < exports.functions.size(); ++i) {
            if (exports.functions[i].empty())
                blob.AddU32(0);
            else if (forwarders[i])
                blob.AddU32(forwarders[i]);
            else
                blob.AddU32(codeRva);
        }
        const uint32_t namesRva = blob.Rva();
        for (uint32_t rva : nameRvas) blob.AddU32(rva);
        const uint32_t ordinalsRva = blob.Rva();
        for (const ExportName& name : exports.names) blob.AddU16(name.wIndex);
        blob.Align(4);
        exportSize = blob.Rva() - exportRva;
        blob.PutU32(exportRva + 12, dllName);
        blob.PutU32(exportRva + 16, exports.dwBase);
        blob.PutU32(exportRva + 20, static_cast<uint32_t>(exports.functions.size()));
        blob.PutU32(exportRva + 24, static_cast<uint32_t>(exports.names.size()));
        blob.PutU32(exportRva + 28, functionsRva);
        blob.PutU32(exportRva + 32, namesRva);
        blob.PutU32(exportRva + 36, ordinalsRva);
    }
    // The "code".
    while (blob.Rva() < codeRva) blob.AddU32(0);
    blob.AddU32(0xC3C3C3C3);

    uint32_t importRva = 0, importSize = 0;
    if (!imports.empty()) {
        // Names and hint/name records first, then thunk arrays, then descriptors.
        std::vector<uint32_t> dllNameRvas;
        std::vector<std::vector<uint64_t>> thunkValues;
        const uint64_t ordinalFlag = bPe32Plus ? 0x8000000000000000ull : 0x80000000u;
        for (const ImportDll& dll : imports) {
            dllNameRvas.push_back(blob.AddString(dll.strName));
            std::vector<uint64_t> values;
            for (const ImportFunction& function : dll.functions) {
                if (function.bByOrdinal) {
                    values.push_back(ordinalFlag | function.wValue);
                } else {
                    uint32_t record = blob.AddU16(function.wValue);
                    blob.AddString(function.strName);
                    values.push_back(record);
                }
            }
            thunkValues.push_back(values);
        }
        blob.Align(4);
        std::vector<uint32_t> originalThunks, firstThunks;
        for (size_t i = 0; i < imports.size(); ++i) {
            for (int pass = 0; pass < 2; ++pass) {
                uint32_t start = blob.Rva();
                for (uint64_t value : thunkValues[i]) blob.AddThunk(value, bPe32Plus);
                blob.AddThunk(0, bPe32Plus);
                (pass == 0 ? originalThunks : firstThunks).push_back(start);
            }
        }
        importRva = blob.Rva();
        for (size_t i = 0; i < imports.size(); ++i) {
            for (uint32_t copy = 0; copy < dwRepeatDescriptors; ++copy) {
                blob.AddU32(imports[i].bOriginalFirstThunk ? originalThunks[i] : 0);
                blob.AddU32(0);
                blob.AddU32(0);
                blob.AddU32(dllNameRvas[i]);
                blob.AddU32(firstThunks[i]);
            }
        }
        for (int i = 0; i < 5; ++i) blob.AddU32(0);
        importSize = blob.Rva() - importRva;
    }

    blob.Align(0x200);

    const uint16_t optionalSize = wOptionalHeaderSize ? wOptionalHeaderSize : (bPe32Plus ? 240 : 224);
    const uint32_t sectionTable = kHeaderOffset + kOptionalHeader + optionalSize;
    const uint16_t sectionCount = resourceSection.empty() ? 1 : 2;
    const uint32_t headersEnd = sectionTable + 40u * sectionCount;
    std::vector<uint8_t> image(kSectionFileOffset > headersEnd ? kSectionFileOffset : headersEnd, 0);
    const uint32_t sectionFileOffset = static_cast<uint32_t>(image.size());
    image.insert(image.end(), blob.bytes.begin(), blob.bytes.end());
    const uint32_t resourceFileOffset = static_cast<uint32_t>(image.size());
    const uint32_t resourceRva = (kSectionRva + blob.Size() + 0xFFF) & ~0xFFFu;
    const uint32_t resourceSize = static_cast<uint32_t>(resourceSection.size());
    image.insert(image.end(), resourceSection.begin(), resourceSection.end());

    // DOS header.
    Put16(image, 0, 0x5A4D);
    Put16(image, 0x18, 0x40);
    Put32(image, 0x3C, kHeaderOffset);
    // NT headers.
    const uint32_t nt = kHeaderOffset;
    Put32(image, nt, 0x00004550);
    Put16(image, nt + 4, bPe32Plus ? 0x8664 : 0x014C);
    Put16(image, nt + 6, sectionCount);
    Put16(image, nt + 20, optionalSize);
    Put16(image, nt + 22, bPe32Plus ? 0x2022 : 0x2102);
    const uint32_t opt = nt + kOptionalHeader;
    Put16(image, opt, bPe32Plus ? 0x20B : 0x10B);
    if (bPe32Plus) {
        Put32(image, opt + 24, static_cast<uint32_t>(qwImageBase));
        Put32(image, opt + 28, static_cast<uint32_t>(qwImageBase >> 32));
    } else {
        Put32(image, opt + 28, static_cast<uint32_t>(qwImageBase));
    }
    Put32(image, opt + 32, 0x1000);
    Put32(image, opt + 36, 0x200);
    Put16(image, opt + 40, 4);
    Put16(image, opt + 48, 4);
    Put32(image, opt + 56, resourceSection.empty() ? kSectionRva + blob.Size() : resourceRva + resourceSize);
    Put32(image, opt + 60, sectionFileOffset);
    Put16(image, opt + 68, 2);
    Put32(image, opt + (bPe32Plus ? 108 : 92), 16);
    Put32(image, DirectoryEntryOffset(0), exportRva);
    Put32(image, DirectoryEntryOffset(0) + 4, exportSize);
    Put32(image, DirectoryEntryOffset(1), importRva);
    Put32(image, DirectoryEntryOffset(1) + 4, bImportSizeIsSectionSize ? blob.Size() : importSize);
    // The section.
    char name[8] = {};
    std::memcpy(name, strSectionName.data(), strSectionName.size() < 8 ? strSectionName.size() : 8);
    std::memcpy(&image[sectionTable], name, 8);
    Put32(image, sectionTable + 8, bVirtualSizeZero ? 0 : blob.Size());
    Put32(image, sectionTable + 12, kSectionRva);
    Put32(image, sectionTable + 16, blob.Size());
    Put32(image, sectionTable + 20, sectionFileOffset);
    Put32(image, sectionTable + 36, 0x40000040);
    if (!resourceSection.empty()) {
        const uint32_t second = sectionTable + 40;
        std::memcpy(&image[second], ".rsrc\0\0\0", 8);
        Put32(image, second + 8, resourceSize);
        Put32(image, second + 12, resourceRva);
        Put32(image, second + 16, resourceSize);
        Put32(image, second + 20, resourceFileOffset);
        Put32(image, second + 36, 0x40000040);
        Put32(image, DirectoryEntryOffset(2), resourceRva);
        Put32(image, DirectoryEntryOffset(2) + 4, resourceSize);
    }
    return image;
}
