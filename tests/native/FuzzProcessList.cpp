// libFuzzer entry: the native process-list block, with image-name pointers
// that may point anywhere and entries of any length (the memory counters are
// read only from entries that hold them).
#include "sysinfo/NativeProcessList.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> copy(data, data + size);
    // The address the block has in the target: name pointers into
    // [0x10000000, 0x10000000 + size) are read from it, all others are not.
    const uintptr_t address = 0x10000000;
    const std::vector<NativeProcessEntry> entries = NativeProcessList::Parse(copy.data(), copy.size(), address);
    for (size_t i = 0; i < entries.size(); ++i) {
        NativeProcessList::FixedName(entries, i);
        NativeProcessList::PriorityClassFromBase(static_cast<uint32_t>(entries[i].lBasePriority));
        if (entries[i].strImageName.size() * 2 > size) __builtin_trap();
        if (entries[i].bHasMemory && size < 0x84) __builtin_trap();
    }
    if (entries.size() > size / 0x50 + 1) __builtin_trap();
    return 0;
}
