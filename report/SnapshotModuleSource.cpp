#include "report/SnapshotModuleSource.h"

#include "sysinfo/ProcessSnapshot.h"

bool SnapshotModuleSource::Enumerate(uint32_t processId, std::vector<ModuleRecord>& modules)
{
    modules.clear();
    if (!snapshot.EnumProcessModules(processId, nullptr, 0)) return false;
    modules.assign(snapshot.Modules().begin(), snapshot.Modules().end());
    return true;
}
