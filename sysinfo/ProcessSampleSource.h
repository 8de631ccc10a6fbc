#pragma once

#include "sysinfo/ProcessRecord.h"

#include <cstdint>
#include <list>

// Where a ProcessSampler takes its samples from: the machine
// (SnapshotSampleSource), or a stand-in in the tests.
class ProcessSampleSource {
public:
    virtual ~ProcessSampleSource() {}
    // Fills `processes` in enumeration order, the wall time of the sample
    // (100-ns units) and the number of processors. False when the process
    // list could not be read.
    virtual bool Take(std::list<ProcessRecord>& processes, uint64_t& wallTime, uint32_t& processors) = 0;
    // The family decides which figures exist: none of them on the 9x family.
    virtual bool IsNtFamily() const = 0;
};
