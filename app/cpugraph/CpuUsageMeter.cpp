#include "app/cpugraph/CpuUsageMeter.h"

#include <cstring>

namespace {
uint64_t ReadU64(const uint8_t* p)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}
} // namespace

CpuUsageMeter::CpuUsageMeter() : aPrevIdle{}, aPrevTotal{}, nProcessors(0) {}

bool CpuUsageMeter::ReadTimes(const uint8_t* performance, size_t performanceLength, unsigned index,
                              uint64_t& idle, uint64_t& total) const
{
    const size_t offset = static_cast<size_t>(index) * kRecordStride;
    if (!performance || performanceLength < 24 || offset > performanceLength - 24) return false;
    const uint8_t* record = performance + offset;
    idle = ReadU64(record);
    // Kernel time includes the idle time.
    total = ReadU64(record + 8) + ReadU64(record + 16);
    return true;
}

void CpuUsageMeter::Begin(bool basicOk, const uint8_t* basic, size_t basicLength, bool performanceOk,
                          const uint8_t* performance, size_t performanceLength)
{
    nProcessors = 0;
    std::memset(aPrevIdle, 0, sizeof(aPrevIdle));
    std::memset(aPrevTotal, 0, sizeof(aPrevTotal));
    if (!basicOk || !basic || basicLength <= kProcessorCountOffset || !performanceOk) return;
    const unsigned count = basic[kProcessorCountOffset];
    if (count > kMaxProcessors) return;
    for (unsigned i = 0; i < count; ++i)
        if (!ReadTimes(performance, performanceLength, i, aPrevIdle[i], aPrevTotal[i])) return;
    nProcessors = static_cast<uint8_t>(count);
}

uint8_t CpuUsageMeter::Next(bool performanceOk, const uint8_t* performance, size_t performanceLength)
{
    if (!performanceOk || nProcessors == 0) return 0;
    uint64_t idle[kMaxProcessors];
    uint64_t total[kMaxProcessors];
    for (unsigned i = 0; i < nProcessors; ++i)
        if (!ReadTimes(performance, performanceLength, i, idle[i], total[i])) return 0;

    uint64_t sumIdle = 0;
    uint64_t sumTotal = 0;
    for (unsigned i = 0; i < nProcessors; ++i) {
        sumIdle += idle[i] - aPrevIdle[i];
        sumTotal += total[i] - aPrevTotal[i];
        aPrevIdle[i] = idle[i];
        aPrevTotal[i] = total[i];
    }
    // A counter that ran backwards, or more idle than total time, is no load.
    if (sumTotal == 0 || sumTotal > (UINT64_MAX / 100) || sumIdle >= sumTotal) return 0;
    return static_cast<uint8_t>(100 - (sumIdle * 100) / sumTotal);
}
