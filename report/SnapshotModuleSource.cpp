#include "report/SnapshotModuleSource.h"

#include "sysinfo/ProcessIdentity.h"
#include "sysinfo/ProcessSnapshot.h"

bool SnapshotModuleSource::Enumerate(uint32_t processId, uint64_t creationTime, std::vector<ModuleRecord>& modules)
{
    modules.clear();
    if (ProcessIdentity::Check(processId, creationTime) == ProcessIdentity::State::Reused) return false;
    if (!snapshot.EnumProcessModules(processId, nullptr, 0)) return false;
    modules.assign(snapshot.Modules().begin(), snapshot.Modules().end());
    return true;
}
