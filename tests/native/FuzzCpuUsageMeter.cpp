// libFuzzer entry: the processor-time records, of any length and content.
#include "app/cpugraph/CpuUsageMeter.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // First byte: where the basic record ends; the rest split into two samples.
    if (size < 1) return 0;
    const size_t basicLength = data[0] % 64;
    std::vector<uint8_t> rest(data + 1, data + size);
    const size_t basicSize = basicLength < rest.size() ? basicLength : rest.size();
    std::vector<uint8_t> basic(rest.begin(), rest.begin() + basicSize);
    const size_t half = basicSize + (rest.size() - basicSize) / 2;
    std::vector<uint8_t> first(rest.begin() + basicSize, rest.begin() + half);
    std::vector<uint8_t> second(rest.begin() + half, rest.end());

    CpuUsageMeter meter;
    meter.Begin(true, basic.data(), basic.size(), true, first.data(), first.size());
    if (meter.GetProcessorCount() > CpuUsageMeter::kMaxProcessors) __builtin_trap();
    if (meter.Next(true, second.data(), second.size()) > 100) __builtin_trap();
    if (meter.Next(true, first.data(), first.size()) > 100) __builtin_trap();
    return 0;
}
