#include "views/ProcessColumns.h"
#include "views/ViewSort.h"

namespace {

typedef ColumnTable<ProcessItem> Table;

template <std::string ProcessItem::*Field>
int ByText(const ProcessItem& a, const ProcessItem& b)
{
    return ViewSort::CompareText(a.*Field, b.*Field);
}

template <uint32_t ProcessItem::*Field>
int ByNumber(const ProcessItem& a, const ProcessItem& b)
{
    return ViewSort::CompareUnsigned(a.*Field, b.*Field);
}

int ByCreated(const ProcessItem& a, const ProcessItem& b)
{
    const uint64_t x = (uint64_t(a.ftCreated.dwHighDateTime) << 32) | a.ftCreated.dwLowDateTime;
    const uint64_t y = (uint64_t(b.ftCreated.dwHighDateTime) << 32) | b.ftCreated.dwLowDateTime;
    return x < y ? -1 : (x > y ? 1 : 0);
}

int ByLoad(const ProcessItem& a, const ProcessItem& b)
{
    return a.nCpuTenths < b.nCpuTenths ? -1 : (a.nCpuTenths > b.nCpuTenths ? 1 : 0);
}

int ByCpuTime(const ProcessItem& a, const ProcessItem& b)
{
    const uint64_t x = a.counters.CpuTime(), y = b.counters.CpuTime();
    return x < y ? -1 : (x > y ? 1 : 0);
}

template <uint32_t ProcessCounters::*Field>
int ByCounter(const ProcessItem& a, const ProcessItem& b)
{
    return ViewSort::CompareUnsigned(a.counters.*Field, b.counters.*Field);
}

const unsigned kAll = Table::kNtFamily | Table::k9xFamily;
const unsigned kNt = Table::kNtFamily;

} // namespace

const ColumnTable<ProcessItem>& ProcessColumns::Table()
{
    static const ::Table table(
        {
            {Name, 8, ColumnAlign::Left, &ProcessItem::strName, ByText<&ProcessItem::strName>, kAll},
            {Pid, 9, ColumnAlign::Right, &ProcessItem::strPid, ByNumber<&ProcessItem::dwPid>, kAll},
            {ParentPid, 17, ColumnAlign::Right, &ProcessItem::strParentPid, ByNumber<&ProcessItem::dwParentPid>,
             kAll},
            {Version, 14, ColumnAlign::Left, &ProcessItem::strVersion, ByText<&ProcessItem::strVersion>, kAll},
            {Description, 167, ColumnAlign::Left, &ProcessItem::strDescription,
             ByText<&ProcessItem::strDescription>, kAll},
            {Company, 168, ColumnAlign::Left, &ProcessItem::strCompany, ByText<&ProcessItem::strCompany>, kAll},
            {Owner, 41, ColumnAlign::Left, &ProcessItem::strOwner, ByText<&ProcessItem::strOwner>, kNt},
            {Threads, 149, ColumnAlign::Right, &ProcessItem::strThreads, ByNumber<&ProcessItem::dwThreads>, kAll},
            {Handles, 47, ColumnAlign::Right, &ProcessItem::strHandles, ByNumber<&ProcessItem::dwHandles>, kNt},
            {Priority, 166, ColumnAlign::Left, &ProcessItem::strPriority, ByText<&ProcessItem::strPriority>, kAll},
            {Created, 63, ColumnAlign::Left, &ProcessItem::strCreated, ByCreated, kNt},
            {CommandLine, 18, ColumnAlign::Left, &ProcessItem::strCommandLine,
             ByText<&ProcessItem::strCommandLine>, kNt},
            {Cpu, 199, ColumnAlign::Right, &ProcessItem::strCpu, ByLoad, kNt},
            {CpuTime, 200, ColumnAlign::Right, &ProcessItem::strCpuTime, ByCpuTime, kNt},
            {WorkingSet, 201, ColumnAlign::Right, &ProcessItem::strWorkingSet,
             ByCounter<&ProcessCounters::dwWorkingSet>, kNt},
            {PrivateBytes, 202, ColumnAlign::Right, &ProcessItem::strPrivateBytes,
             ByCounter<&ProcessCounters::dwPrivateBytes>, kNt},
        },
        {Pid, ParentPid, Version, Description, Company, Owner, Threads, Handles, Priority, Created, CommandLine, Cpu,
         CpuTime, WorkingSet, PrivateBytes},
        {Pid, ParentPid, Threads, Priority, Version, Description, Company});
    return table;
}

int ProcessColumns::Compare(const ProcessItem& a, const ProcessItem& b, uint32_t column)
{
    return Table().Compare(a, b, column);
}
