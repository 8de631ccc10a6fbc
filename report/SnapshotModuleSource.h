#pragma once

#include "report/ModuleSource.h"

class ProcessSnapshot;

// Modules enumerated afresh through a process snapshot.
class SnapshotModuleSource : public ModuleSource {
public:
    explicit SnapshotModuleSource(ProcessSnapshot& snapshot) : snapshot(snapshot) {}
    bool Enumerate(uint32_t processId, uint64_t creationTime, std::vector<ModuleRecord>& modules) override;

private:
    ProcessSnapshot& snapshot;
};
