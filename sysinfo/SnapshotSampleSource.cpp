#include "sysinfo/SnapshotSampleSource.h"

#include <windows.h>

SnapshotSampleSource::SnapshotSampleSource() : nProcessors(ProcessorCount()) {}

uint32_t SnapshotSampleSource::ProcessorCount()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1;
}

bool SnapshotSampleSource::Take(std::list<ProcessRecord>& processes, uint64_t& wallTime, uint32_t& processors)
{
    if (!snapshot.EnumProcesses(nullptr, 0)) return false;
    wallTime = snapshot.ListTime();
    processors = nProcessors;
    processes = snapshot.Processes();
    return true;
}
