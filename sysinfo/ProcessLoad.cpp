#include "sysinfo/ProcessLoad.h"

#include <cstdio>

int32_t ProcessLoad::Tenths(uint64_t cpuBefore, uint64_t cpuNow, uint64_t wallBefore, uint64_t wallNow,
                            uint32_t processors)
{
    if (wallNow <= wallBefore) return kNone;
    if (cpuNow <= cpuBefore) return 0;
    const double used = double(cpuNow - cpuBefore);
    const double available = double(wallNow - wallBefore) * double(processors ? processors : 1);
    const double tenths = used * 1000.0 / available;
    if (!(tenths < 1000.0)) return 1000;  // also catches what does not compare
    return static_cast<int32_t>(tenths + 0.5);
}

int32_t ProcessLoad::Between(const ProcessRecord* previous, uint64_t wallBefore, const ProcessRecord& now,
                             uint64_t wallNow, uint32_t processors)
{
    if (!previous || previous->dwProcessId != now.dwProcessId
        || previous->ftCreationTime.Value() != now.ftCreationTime.Value())
        return kNone;
    if (!previous->counters.bHasTimes || !now.counters.bHasTimes) return kNone;
    return Tenths(previous->counters.CpuTime(), now.counters.CpuTime(), wallBefore, wallNow, processors);
}

std::string ProcessLoad::Text(int32_t tenths, const std::string& decimalSeparator)
{
    if (tenths < 0) return std::string();
    char text[16];
    snprintf(text, sizeof(text), "%d", static_cast<int>(tenths / 10));
    return text + decimalSeparator + static_cast<char>('0' + tenths % 10);
}
