#include "sysinfo/ProcessParametersReader.h"

#include "sysinfo/AnsiText.h"

#include <windows.h>
#include <cstring>
#include <vector>

namespace {
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

std::string ToAnsi(const wchar_t* text, int characters)
{
    return characters > 0 ? AnsiText::FromUtf16(text, static_cast<size_t>(characters)) : std::string();
}
} // namespace

ProcessParametersReader::ProcessParametersReader(ProcessMemory& memory, uint64_t pebAddress, uint32_t pointerSize)
    : memory(memory), peb(pebAddress), pointerSize(pointerSize == 8 ? 8 : 4), cachedPage(0), cachedFrom(0),
      cachedLength(0), cache{}
{
}

uint64_t ProcessParametersReader::Pointer(const uint8_t* at) const
{
    uint64_t value = U32(at);
    if (pointerSize == 8) value |= uint64_t(U32(at + 4)) << 32;
    return value;
}

// The 64-bit record: the same fields, each string 16 bytes, from 0x38 on.
uint32_t ProcessParametersReader::OffsetOf(uint32_t offset32) const
{
    if (pointerSize == 4) return offset32;
    switch (offset32) {
    case CurrentDirectory: return 0x38;
    case DllPath: return 0x50;
    case CommandLine: return 0x70;
    default: return 0x80;  // the environment
    }
}

bool ProcessParametersReader::ReadParameters(uint8_t (&parameters)[656])
{
    uint8_t block[488];
    if (!memory.Read(peb, block, sizeof(block))) return false;
    const uint64_t address = Pointer(block + (pointerSize == 8 ? 0x20 : 16));
    return memory.Read(address, parameters, sizeof(parameters));
}

std::optional<std::string> ProcessParametersReader::ReadString(StringField field)
{
    uint8_t parameters[656];
    if (!ReadParameters(parameters)) return std::nullopt;
    const uint32_t at = OffsetOf(field);
    const uint16_t length = U16(parameters + at);
    const uint16_t maximumLength = U16(parameters + at + 2);
    const uint64_t buffer = Pointer(parameters + at + pointerSize);
    if (buffer == 0 || length > maximumLength) return std::nullopt;

    std::vector<wchar_t> wide(length / 2 + 1, L'\0');
    if (length && !memory.Read(buffer, wide.data(), length)) return std::nullopt;
    int characters = 0;
    while (characters < length / 2 && wide[characters] != L'\0') ++characters;
    std::string text = ToAnsi(wide.data(), characters);
    // The converted text keeps within MaximumLength bytes, terminator included.
    const size_t limit = maximumLength ? maximumLength - 1u : 0u;
    if (text.size() > limit) text.resize(limit);
    return text;
}

bool ProcessParametersReader::ReadStep(uint64_t address, uint8_t step[4])
{
    // Aligned steps never cross a page: read the rest of the page once and
    // serve the following steps from it. A page that cannot be read whole
    // falls back to the 4-byte read.
    if ((address & 3) == 0) {
        const uint64_t page = address & ~uint64_t(0xFFF);
        const bool cached = cachedLength && page == cachedPage && address >= cachedFrom;
        if (!cached) {
            cachedLength = 0;
            if (memory.Read(address, cache + (address - page), 4096 - (address - page))) {
                cachedPage = page;
                cachedFrom = address;
                cachedLength = 4096;
            }
        }
        if (cachedLength && page == cachedPage && address >= cachedFrom) {
            std::memcpy(step, cache + (address - page), 4);
            return true;
        }
    }
    return memory.Read(address, step, 4);
}

std::optional<std::string> ProcessParametersReader::ReadEnvironment()
{
    uint8_t parameters[656];
    if (!ReadParameters(parameters)) return std::nullopt;
    uint64_t address = Pointer(parameters + OffsetOf(72));
    if (address == 0) return std::nullopt;

    cachedLength = 0;
    std::vector<uint8_t> bytes;
    for (;;) {
        uint8_t step[4];
        if (!ReadStep(address, step)) return std::nullopt;
        bytes.insert(bytes.end(), step, step + 4);
        if (step[0] == 0 && step[1] == 0 && step[2] == 0 && step[3] == 0) break;
        if (bytes.size() >= kMaxEnvironmentBytes) return std::nullopt;
        address += 4;
        if (pointerSize == 4 ? (address >> 32) != 0 : address < 4)
            return std::nullopt;  // wrapped around the address space
    }
    std::vector<wchar_t> wide(bytes.size() / 2);
    for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<wchar_t>(U16(&bytes[i * 2]));
    std::string block = ToAnsi(wide.data(), static_cast<int>(wide.size()));
    block.push_back('\0');
    return block;
}
