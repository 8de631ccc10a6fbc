// libFuzzer entry: the processor-time records, of any length and content,
// and a process's load from the same bytes taken as two samples' times.
#include "app/cpugraph/CpuUsageMeter.h"
#include "sysinfo/ProcessLoad.h"

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

    uint64_t v[4] = {};
    for (size_t i = 0; i < rest.size() && i < 32; ++i) v[i / 8] |= uint64_t(rest[i]) << (8 * (i % 8));
    const uint32_t processors = basicLength;  // 0 to 63
    const int32_t load = ProcessLoad::Tenths(v[0], v[1], v[2], v[3], processors);
    if (load < ProcessLoad::kNone || load > 1000) __builtin_trap();
    if ((load == ProcessLoad::kNone) != (v[3] <= v[2])) __builtin_trap();
    if (ProcessLoad::Text(load).size() > 5) __builtin_trap();
    return 0;
}
