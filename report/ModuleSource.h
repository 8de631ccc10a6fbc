#pragma once

#include "sysinfo/ModuleRecord.h"

#include <cstdint>
#include <vector>

// Where a report takes the modules of a process from.
class ModuleSource {
public:
    virtual ~ModuleSource() {}
    // False when the modules cannot be enumerated.
    virtual bool Enumerate(uint32_t processId, std::vector<ModuleRecord>& modules) = 0;
};
