#pragma once

#include "sysinfo/ModuleRecord.h"

#include <cstdint>
#include <vector>

// Where a report takes the modules of a process from.
class ModuleSource {
public:
    virtual ~ModuleSource() {}
    // False when the modules cannot be enumerated.
    // creationTime: the FILETIME value the list recorded (0: not known); a
    // process that now has another creation time is another process.
    virtual bool Enumerate(uint32_t processId, uint64_t creationTime, std::vector<ModuleRecord>& modules) = 0;
};
