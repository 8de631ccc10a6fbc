#include "image/PeImageView.h"

#include <algorithm>
#include <cstring>

namespace {
const uint32_t kOptionalHeaderOffset = 24;
// The data directory, from the optional header: PE32 and PE32+.
const uint32_t kDirectoryOffset32 = 96;
const uint32_t kDirectoryOffset64 = 112;
// ImageBase, from the optional header: 4 bytes in PE32, 8 in PE32+.
const uint32_t kImageBaseOffset32 = 28;
const uint32_t kImageBaseOffset64 = 24;
const uint64_t kOrdinalFlag32 = 0x80000000u;
const uint64_t kOrdinalFlag64 = 0x8000000000000000ull;
const uint32_t kSectionHeaderSize = 40;
const uint32_t kImportDescriptorSize = 20;
const uint32_t kExportDirectorySize = 40;
const size_t kImportUndecorateBuffer = 1039;
const size_t kExportUndecorateBuffer = 2047;

char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Undecorated(const PeImageView::Undecorator& undecorate, const std::string& name, size_t buffer)
{
    if (!undecorate || name.empty()) return name;
    std::string plain = undecorate(name, buffer);
    return plain.empty() ? name : plain;
}
} // namespace

PeImageView::PeImageView()
    : data(nullptr), size(0), imageState(StateNotOpen), headerOffset(-1), kind(KindUnknown), ntHeaders(nullptr)
{
}

PeImageView::PeImageView(const uint8_t* bytes, size_t length)
    : data(bytes), size(bytes ? length : 0), imageState(StateNotOpen), headerOffset(-1), kind(KindUnknown),
      ntHeaders(nullptr)
{
    if (!data) return;

    imageState = StateNotExecutable;
    uint16_t magic = 0;
    if (size < 64 || !ReadU16(data, magic) || magic != 0x5A4D) return;

    imageState = StateExecutable;
    uint16_t relocationOffset = 0;
    ReadU16(data + 0x18, relocationOffset);
    if (relocationOffset < 0x40) {
        kind = KindDos;
    } else {
        uint32_t raw = 0;
        ReadU32(data + 0x3C, raw);
        const int32_t lfanew = static_cast<int32_t>(raw);
        if (lfanew >= 0 && static_cast<uint64_t>(lfanew) <= size) {
            headerOffset = lfanew;
            uint16_t word = 0;
            if (ReadU16(data + lfanew, word)) {
                if (word == 0x454C)
                    kind = KindLE;
                else if (word == 0x454E)
                    kind = KindNE;
                else if (word == 0x4558)
                    kind = KindLX4558;
            }
            uint32_t signature = 0;
            if (ReadU32(data + lfanew, signature) && signature == 0x00004550u) kind = KindPE;
        }
    }

    if (kind == KindPE)
        ntHeaders = data + headerOffset;
    else
        imageState = StateNotExecutable;
}

bool PeImageView::ReadU16(const uint8_t* p, uint16_t& value) const
{
    if (!p || p < data || static_cast<size_t>(p - data) + 2 > size) return false;
    value = static_cast<uint16_t>(p[0] | (p[1] << 8));
    return true;
}

bool PeImageView::ReadU32(const uint8_t* p, uint32_t& value) const
{
    if (!p || p < data || static_cast<size_t>(p - data) + 4 > size) return false;
    value = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    return true;
}

bool PeImageView::ReadU64(const uint8_t* p, uint64_t& value) const
{
    uint32_t low = 0, high = 0;
    if (!ReadU32(p, low) || !ReadU32(p + 4, high)) return false;
    value = (uint64_t(high) << 32) | low;
    return true;
}

size_t PeImageView::Available(const uint8_t* p) const
{
    if (!p || p < data || static_cast<size_t>(p - data) >= size) return 0;
    return size - static_cast<size_t>(p - data);
}

std::string PeImageView::ReadString(const uint8_t* p) const
{
    size_t available = Available(p);
    if (!available) return std::string();
    const void* end = std::memchr(p, 0, available);
    size_t length = end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - p) : available;
    return std::string(reinterpret_cast<const char*>(p), length);
}

uint16_t PeImageView::NumberOfSections() const
{
    uint16_t value = 0;
    if (ntHeaders) ReadU16(ntHeaders + 6, value);
    return value;
}

uint16_t PeImageView::SizeOfOptionalHeader() const
{
    uint16_t value = 0;
    if (ntHeaders) ReadU16(ntHeaders + 20, value);
    return value;
}

uint16_t PeImageView::OptionalHeaderMagic() const
{
    uint16_t value = 0;
    if (ntHeaders) ReadU16(ntHeaders + kOptionalHeaderOffset, value);
    return value;
}

bool PeImageView::IsPE32Plus() const
{
    return ntHeaders && OptionalHeaderMagic() == 0x20B;
}

bool PeImageView::ImageBase64(uint64_t& value) const
{
    if (!ntHeaders) return false;
    const uint8_t* optional = ntHeaders + kOptionalHeaderOffset;
    if (IsPE32Plus()) return ReadU64(optional + kImageBaseOffset64, value);
    uint32_t base = 0;
    if (!ReadU32(optional + kImageBaseOffset32, base)) return false;
    value = base;
    return true;
}

bool PeImageView::ImageBase(uint32_t& value) const
{
    uint64_t base = 0;
    if (!ImageBase64(base) || base > 0xFFFFFFFFu) return false;
    value = static_cast<uint32_t>(base);
    return true;
}

bool PeImageView::Subsystem(uint16_t& value) const
{
    return ntHeaders && ReadU16(ntHeaders + kOptionalHeaderOffset + 68, value);
}

bool PeImageView::SubsystemVersion(uint16_t& major, uint16_t& minor) const
{
    return ntHeaders && ReadU16(ntHeaders + kOptionalHeaderOffset + 48, major)
        && ReadU16(ntHeaders + kOptionalHeaderOffset + 50, minor);
}

bool PeImageView::Section(unsigned index, PeSection& out) const
{
    if (!ntHeaders || index >= NumberOfSections()) return false;
    const uint64_t offset = static_cast<uint64_t>(ntHeaders - data) + kOptionalHeaderOffset
                          + SizeOfOptionalHeader() + static_cast<uint64_t>(index) * kSectionHeaderSize;
    if (offset + kSectionHeaderSize > size) return false;
    const uint8_t* p = data + offset;
    std::memcpy(out.szName, p, 8);
    out.szName[8] = '\0';
    ReadU32(p + 8, out.dwVirtualSize);
    ReadU32(p + 12, out.dwVirtualAddress);
    ReadU32(p + 16, out.dwSizeOfRawData);
    ReadU32(p + 20, out.dwPointerToRawData);
    return true;
}

bool PeImageView::SectionByName(const char* name, PeSection& out) const
{
    if (!name) return false;
    const unsigned count = NumberOfSections();
    for (unsigned i = 0; i < count; ++i) {
        PeSection section = {};
        if (!Section(i, section)) break;
        bool equal = true;
        for (int k = 0; k < 8; ++k) {
            const char a = FoldCase(section.szName[k]);
            const char b = FoldCase(name[k]);
            if (a != b) {
                equal = false;
                break;
            }
            if (!a) break;
        }
        if (equal) {
            out = section;
            return true;
        }
    }
    return false;
}

const uint8_t* PeImageView::DirectoryEntry(unsigned index) const
{
    if (!ntHeaders || index >= 16) return nullptr;
    const uint32_t start = kOptionalHeaderOffset + (IsPE32Plus() ? kDirectoryOffset64 : kDirectoryOffset32);
    return ntHeaders + start + index * 8;
}

uint32_t PeImageView::DirectoryRva(unsigned index) const
{
    uint32_t value = 0;
    if (const uint8_t* entry = DirectoryEntry(index)) ReadU32(entry, value);
    return value;
}

uint32_t PeImageView::DirectorySize(unsigned index) const
{
    uint32_t value = 0;
    if (const uint8_t* entry = DirectoryEntry(index)) ReadU32(entry + 4, value);
    return value;
}

const uint8_t* PeImageView::Translate(uint32_t rva, uint32_t bound, bool bounded) const
{
    if (!ntHeaders) return nullptr;
    const unsigned count = NumberOfSections();
    for (unsigned i = 0; i < count; ++i) {
        PeSection section = {};
        if (!Section(i, section)) break;
        const uint32_t extent = (bounded && bound) ? std::min(section.dwSizeOfRawData, bound)
                                                   : std::min(section.dwVirtualSize, section.dwSizeOfRawData);
        const uint64_t start = section.dwVirtualAddress;
        if (start <= rva && rva < start + extent) {
            const uint64_t offset = static_cast<uint64_t>(section.dwPointerToRawData) + (rva - start);
            return offset < size ? data + offset : nullptr;
        }
    }
    return nullptr;
}

const uint8_t* PeImageView::PointerFromRva(uint32_t rva) const
{
    return Translate(rva, 0, false);
}

const uint8_t* PeImageView::PointerFromRvaBounded(uint32_t rva, uint32_t bound) const
{
    return Translate(rva, bound, true);
}

const uint8_t* PeImageView::DirectoryPointer(unsigned index) const
{
    const uint32_t rva = DirectoryRva(index);
    return rva ? PointerFromRva(rva) : nullptr;
}

const uint8_t* PeImageView::DirectoryPointerBounded(unsigned index) const
{
    const uint32_t rva = DirectoryRva(index);
    return rva ? PointerFromRvaBounded(rva, DirectorySize(index)) : nullptr;
}

uint32_t PeImageView::BoundFor(const char* sectionName, unsigned directory) const
{
    PeSection section = {};
    if (SectionByName(sectionName, section) && section.dwVirtualSize == 0) return DirectorySize(directory);
    return 0;
}

size_t PeImageView::TableEntryLimit() const
{
    return std::min(size / 4, kMaxTableEntries);
}

std::vector<ImportedModule> PeImageView::ReadImports(const Undecorator& undecorate, bool* truncated) const
{
    std::vector<ImportedModule> modules;
    if (truncated) *truncated = false;
    if (!IsPE()) return modules;
    const bool wide = IsPE32Plus();
    const size_t thunkSize = wide ? 8 : 4;
    const uint64_t ordinalFlag = wide ? kOrdinalFlag64 : kOrdinalFlag32;
    // Descriptors may share one thunk list: the total counts, not each list.
    size_t room = TableEntryLimit();

    const uint32_t bound = BoundFor(".idata", 1);
    const uint8_t* descriptor = DirectoryPointer(1);
    if (!descriptor) descriptor = DirectoryPointerBounded(1);
    if (!descriptor) return modules;

    for (; Available(descriptor) >= kImportDescriptorSize; descriptor += kImportDescriptorSize) {
        uint32_t nameRva = 0, originalFirstThunk = 0, firstThunk = 0;
        ReadU32(descriptor + 12, nameRva);
        if (nameRva == 0) break;
        const uint8_t* name = PointerFromRvaBounded(nameRva, bound);
        if (!name) break;
        ReadU32(descriptor + 0, originalFirstThunk);
        ReadU32(descriptor + 16, firstThunk);
        const uint8_t* thunk = PointerFromRvaBounded(originalFirstThunk, bound);
        if (!thunk) thunk = PointerFromRvaBounded(firstThunk, bound);
        if (!thunk) continue;

        ImportedModule module;
        module.strName = ReadString(name);
        bool full = false;
        for (; Available(thunk) >= thunkSize; thunk += thunkSize) {
            uint64_t value = 0;
            if (wide) {
                ReadU64(thunk, value);
            } else {
                uint32_t narrow = 0;
                ReadU32(thunk, narrow);
                value = narrow;
            }
            if (value == 0) break;
            if (room == 0) {
                full = true;
                break;
            }
            --room;
            ImportedFunction function;
            if (value & ordinalFlag) {
                function.dwValue = static_cast<uint32_t>(value & 0xFFFF);
                function.strName = "N/A";
                function.bByOrdinal = 1;
            } else {
                const uint8_t* hintName = PointerFromRvaBounded(static_cast<uint32_t>(value & 0x7FFFFFFFu), bound);
                uint16_t hint = 0;
                if (hintName && ReadU16(hintName, hint)) {
                    function.dwValue = hint;
                    function.strName = Undecorated(undecorate, ReadString(hintName + 2), kImportUndecorateBuffer);
                    function.bNamed = 1;
                } else {
                    function.dwValue = 0;
                    function.strName = "N/A";
                }
            }
            module.functions.push_back(function);
        }
        modules.push_back(module);
        if (full) {
            if (truncated) *truncated = true;
            break;
        }
    }
    return modules;
}

std::vector<ExportedFunction> PeImageView::ReadExports(const Undecorator& undecorate, bool* truncated) const
{
    std::vector<ExportedFunction> exports;
    if (truncated) *truncated = false;
    if (!IsPE()) return exports;

    const uint32_t bound = BoundFor(".edata", 0);
    const uint64_t rangeStart = DirectoryRva(0);
    const uint64_t rangeEnd = rangeStart + DirectorySize(0);
    const uint8_t* directory = DirectoryPointer(0);
    if (!directory) directory = DirectoryPointerBounded(0);
    if (!directory || Available(directory) < kExportDirectorySize) return exports;

    uint32_t base = 0, functionCount = 0, nameCount = 0, functionsRva = 0, namesRva = 0, ordinalsRva = 0;
    ReadU32(directory + 16, base);
    ReadU32(directory + 20, functionCount);
    ReadU32(directory + 24, nameCount);
    ReadU32(directory + 28, functionsRva);
    ReadU32(directory + 32, namesRva);
    ReadU32(directory + 36, ordinalsRva);

    const uint8_t* functions = PointerFromRvaBounded(functionsRva, bound);
    const uint8_t* names = PointerFromRvaBounded(namesRva, bound);
    const uint8_t* ordinals = PointerFromRvaBounded(ordinalsRva, bound);
    if (!functions) return exports;

    // Counts can never reach past the end of the file, nor past the limit.
    uint32_t functionsInFile = static_cast<uint32_t>(std::min<uint64_t>(functionCount, Available(functions) / 4));
    if (functionsInFile > TableEntryLimit()) {
        functionsInFile = static_cast<uint32_t>(TableEntryLimit());
        if (truncated) *truncated = true;
    }
    uint32_t namesInFile = 0;
    if (names && ordinals)
        namesInFile = static_cast<uint32_t>(
            std::min<uint64_t>(nameCount, std::min(Available(names) / 4, Available(ordinals) / 2)));

    // The last name that points at a function and translates wins.
    std::vector<const uint8_t*> nameOf(functionsInFile, nullptr);
    for (uint32_t j = 0; j < namesInFile; ++j) {
        uint16_t index = 0;
        uint32_t nameRva = 0;
        ReadU16(ordinals + 2 * j, index);
        ReadU32(names + 4 * j, nameRva);
        if (index >= functionsInFile) continue;
        const uint8_t* name = PointerFromRvaBounded(nameRva, bound);
        if (name) nameOf[index] = name;
    }

    for (uint32_t i = 0; i < functionsInFile; ++i) {
        uint32_t functionRva = 0;
        ReadU32(functions + 4 * i, functionRva);
        if (functionRva == 0) continue;
        ExportedFunction entry;
        entry.dwOrdinal = base + i;
        if (nameOf[i]) entry.strOwnName = Undecorated(undecorate, ReadString(nameOf[i]), kExportUndecorateBuffer);
        entry.strName = nameOf[i] ? entry.strOwnName : "N/A";
        if (functionRva >= rangeStart && functionRva < rangeEnd) {
            const uint8_t* forwarder = PointerFromRvaBounded(functionRva, bound);
            if (forwarder) {
                entry.strForwarder = Undecorated(undecorate, ReadString(forwarder), kExportUndecorateBuffer);
                entry.strName += " -> " + entry.strForwarder;
            }
        }
        exports.push_back(entry);
    }
    return exports;
}

std::vector<std::string> PeImageView::ImportedDllNames() const
{
    std::vector<std::string> names;
    if (!IsPE() || DirectorySize(1) == 0) return names;
    const uint8_t* descriptor = DirectoryPointer(1);
    for (; descriptor && Available(descriptor) >= kImportDescriptorSize; descriptor += kImportDescriptorSize) {
        uint32_t nameRva = 0;
        ReadU32(descriptor + 12, nameRva);
        if (nameRva == 0) break;
        const uint8_t* name = PointerFromRva(nameRva);
        if (!name) break;
        names.push_back(ReadString(name));
    }
    return names;
}
