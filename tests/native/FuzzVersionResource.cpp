// libFuzzer entry: the version-resource walker on an arbitrary block.
#include "sysinfo/VersionResourceWalker.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> copy(data, data + size);
    VersionResourceWalker walker;
    walker.Walk(copy.data(), copy.size());
    // Nothing read can be longer than the block it came from.
    for (const VersionResourceWalker::Table& table : walker.tables)
        for (const VersionResourceWalker::Entry& entry : table.entries)
            if ((entry.key.size() + entry.value.size()) * 2 > size) __builtin_trap();
    return 0;
}
