#include "sysinfo/NativeProcessList.h"

#include <cctype>

// Both layouts share the first 0x3C bytes: next offset, thread count, times,
// the image name's length. The memory counters: page faults, peak working
// set, working set, pagefile usage (private bytes), and where they end.
const NativeProcessList::Layout NativeProcessList::k32Bit = {0x50, 0x3C, 4, 0x40, 0x44, 0x48, 0x4C,
                                                             0x60, 0x64, 0x68, 0x7C, 0x84};
const NativeProcessList::Layout NativeProcessList::k64Bit = {0x64, 0x40, 8, 0x48, 0x50, 0x58, 0x60,
                                                             0x80, 0x88, 0x90, 0xB8, 0xC8};

namespace {
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint64_t U64(const uint8_t* p)
{
    return uint64_t(U32(p)) | (uint64_t(U32(p + 4)) << 32);
}
} // namespace

std::vector<NativeProcessEntry> NativeProcessList::Parse(const uint8_t* block, size_t size, uintptr_t blockAddress,
                                                         const Layout& layout)
{
    const size_t kEntryMinimum = layout.entryMinimum;
    std::vector<NativeProcessEntry> entries;
    if (!block) return entries;
    size_t offset = 0;
    while (offset + kEntryMinimum <= size) {
        const uint8_t* e = block + offset;
        NativeProcessEntry entry;
        entry.dwThreadCount = U32(e + 0x04);
        entry.qwCreateTime = U64(e + 0x20);
        entry.qwUserTime = U64(e + 0x28);
        entry.qwKernelTime = U64(e + 0x30);
        const uint16_t nameLength = U16(e + 0x38);
        uint64_t nameBuffer = U32(e + layout.nameBuffer);
        if (layout.pointerSize == 8) nameBuffer |= uint64_t(U32(e + layout.nameBuffer + 4)) << 32;
        entry.lBasePriority = static_cast<int32_t>(U32(e + layout.basePriority));
        entry.dwProcessId = U32(e + layout.processId);
        entry.dwParentProcessId = U32(e + layout.parentProcessId);
        entry.dwHandleCount = U32(e + layout.handleCount);
        if (nameBuffer != 0) {
            entry.bHasImageName = true;
            // The name lies inside the block; anything else is not read.
            const uint64_t start = nameBuffer;
            if (start >= blockAddress && start - blockAddress <= size && start - blockAddress + nameLength <= size) {
                const uint8_t* p = block + (start - blockAddress);
                for (uint16_t i = 0; i + 1 < nameLength; i += 2) {
                    char16_t c = static_cast<char16_t>(U16(p + i));
                    if (c == 0) break;
                    entry.strImageName.push_back(c);
                }
            }
        }
        const uint32_t next = U32(e);
        // The entry reaches to the next one, the last one to the block's end.
        const size_t extent = next != 0 && next <= size - offset ? next : size - offset;
        if (extent >= layout.memoryEnd) {
            entry.bHasMemory = true;
            entry.dwPageFaults = U32(e + layout.pageFaults);
            entry.dwPeakWorkingSet = U32(e + layout.peakWorkingSet);
            entry.dwWorkingSet = U32(e + layout.workingSet);
            entry.dwPagefileUsage = U32(e + layout.pagefileUsage);
        }
        entries.push_back(entry);
        if (next == 0) break;
        if (next < kEntryMinimum || next > size - offset) break;
        offset += next;
    }
    return entries;
}

bool NativeProcessList::HasIdleAndSystem(const std::vector<NativeProcessEntry>& entries)
{
    return !entries.empty() && !entries[0].bHasImageName;
}

const char* NativeProcessList::FixedName(const std::vector<NativeProcessEntry>& entries, size_t position)
{
    if (!HasIdleAndSystem(entries) || position >= entries.size()) return nullptr;
    if (position == 0) return "System Idle Process";
    if (position == 1) return "System";
    return nullptr;
}

uint32_t NativeProcessList::PriorityClassFromBase(uint32_t basePriority)
{
    if (basePriority <= 4) return 0x40;
    if (basePriority <= 6) return 0x4000;
    if (basePriority <= 8) return 0x20;
    if (basePriority <= 10) return 0x8000;
    if (basePriority <= 13) return 0x80;
    return 0x100;
}

bool NativeProcessList::LooksExecutable(const std::string& path)
{
    std::string lower = path.substr(0, 259);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find(".exe") != std::string::npos || lower.find(".ex") != std::string::npos
        || lower.find(".e") != std::string::npos || lower.find(".com") != std::string::npos;
}
