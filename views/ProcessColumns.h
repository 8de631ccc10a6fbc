#pragma once

#include "views/ColumnTable.h"
#include "views/ProcessItem.h"

// The process view's columns: ids 0 to 11 index aProcessColumns of the
// settings record, 12 to 15 (the live figures, NT family only) the columns of
// LiveSettings.
class ProcessColumns {
public:
    enum Id : uint32_t {
        Name = 0, Pid, ParentPid, Version, Description, Company, Owner, Threads, Handles, Priority, Created,
        CommandLine, Cpu, CpuTime, WorkingSet, PrivateBytes
    };

    static const ColumnTable<ProcessItem>& Table();
    static int Compare(const ProcessItem& a, const ProcessItem& b, uint32_t column);
};
