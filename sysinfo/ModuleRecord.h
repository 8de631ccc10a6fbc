#pragma once

#include "sysinfo/ProcessRecord.h"

// One module loaded into a process, with the facts of its file on disk.
struct ModuleRecord {
    std::string strName;
    std::string strPath;
    uint32_t dwBaseAddress = 0;
    uint32_t dwPreferredBase = 0;
    FileTime ftCreationTime;
    FileTime ftLastWriteTime;
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    uint32_t dwLoadOrder = 0;

    uint64_t FileSize() const { return (uint64_t(nFileSizeHigh) << 32) | nFileSizeLow; }
    bool IsRelocated() const { return dwBaseAddress != dwPreferredBase; }
};
