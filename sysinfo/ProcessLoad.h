#pragma once

#include "sysinfo/ProcessRecord.h"

#include <cstdint>
#include <string>

// A process's processor load between two samples: the processor time it used
// (kernel + user) over the wall time that passed on all processors, in
// tenths of a percent, 0 to 1000.
class ProcessLoad {
public:
    static constexpr int32_t kNone = -1;  // no load (yet)

    // kNone when the wall clock did not advance (or went back); a processor
    // time that went back counts as none used. No processors count as one.
    static int32_t Tenths(uint64_t cpuBefore, uint64_t cpuNow, uint64_t wallBefore, uint64_t wallNow,
                          uint32_t processors);
    // The load of `now` since `previous` (its record in the earlier sample):
    // kNone without one, for another process that reused the id (another
    // creation time), or without processor times.
    static int32_t Between(const ProcessRecord* previous, uint64_t wallBefore, const ProcessRecord& now,
                           uint64_t wallNow, uint32_t processors);
    // "12.5" with the given decimal separator; "" for kNone.
    static std::string Text(int32_t tenths, const std::string& decimalSeparator = ".");
};
