#pragma once

#include <cstdint>
#include <string>

// FILETIME as two words, without <windows.h>.
struct FileTime {
    uint32_t dwLowDateTime = 0;
    uint32_t dwHighDateTime = 0;
    uint64_t Value() const { return (uint64_t(dwHighDateTime) << 32) | dwLowDateTime; }
};

// What the native process list counts for a process (NT family). The 9x
// family has none of it: both flags stay false.
struct ProcessCounters {
    bool bHasTimes = false;
    uint64_t qwKernelTime = 0;  // 100-ns units
    uint64_t qwUserTime = 0;
    bool bHasMemory = false;
    uint32_t dwWorkingSet = 0;  // bytes
    uint32_t dwPeakWorkingSet = 0;
    uint32_t dwPrivateBytes = 0;  // the pagefile usage
    uint32_t dwPageFaults = 0;
    uint64_t CpuTime() const { return qwKernelTime + qwUserTime; }
};

// One process of a snapshot. "..." in a text field: the value could not be obtained.
struct ProcessRecord {
    std::string strName;
    std::string strPath;
    uint32_t dwProcessId = 0;
    uint32_t dwParentProcessId = 0;
    std::string strOwner;
    FileTime ftCreationTime;
    std::string strCommandLine;
    uint32_t dwSequence = 0;
    uint32_t dwHandleCount = 0;
    uint32_t dwThreadCount = 0;
    uint32_t dwPriorityClass = 0;
    ProcessCounters counters;
};

// Progress of an enumeration: phase 0 with the expected count, 1 per record, 2 at the end.
typedef void (*SnapshotProgressCallback)(uint32_t phase, uint32_t count, uint32_t userValue);
