// tarnwick-cli ps: the process view's rows, or the process records.
#include "cli/CliCommands.h"
#include "cli/ProcessFilter.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "app/menus/StringTable.h"
#include "app/settings/UserSettingsFile.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysinfo/ServiceList.h"
#include "views/ItemBuilder.h"
#include "views/ProcessColumns.h"
#include "views/TreeNesting.h"

namespace {

const RecordSchema kSchema = {
    "process",
    {
        {"pid", FieldType::Integer, "process id"},
        {"parent_pid", FieldType::Integer, "id of the process that started it (which may have ended since)"},
        {"name", FieldType::Text, "file name of the executable"},
        {"path", FieldType::Text, "full path of the executable; null when it cannot be read"},
        {"command_line", FieldType::Text, "null when it cannot be read (always on the 9x family)"},
        {"owner", FieldType::Text, "DOMAIN\\user; null when it cannot be read (always on the 9x family)"},
        {"created", FieldType::Time, "start time; null when unknown (always on the 9x family)"},
        {"threads", FieldType::Integer, "number of threads"},
        {"handles", FieldType::Integer, "number of handles; null on the 9x family"},
        {"priority_class", FieldType::Integer, "priority class value (32 normal, 64 idle, 128 high, 256 realtime, "
                                               "16384 below normal, 32768 above normal); null when unknown"},
        {"priority", FieldType::Text, "the priority class by name; null when unknown"},
        {"service", FieldType::Boolean, "runs as a service (NT family; always false on the 9x family)"},
        {"version", FieldType::Text, "file version of the executable; null without one"},
        {"description", FieldType::Text, "file description of the executable; null without one"},
        {"company", FieldType::Text, "company name of the executable; null without one"},
    },
    {}};

struct Process {
    const ProcessRecord* record;
    ProcessItem item;
};

Record ToRecord(const Process& process, bool nt)
{
    const ProcessRecord& r = *process.record;
    const ProcessItem& item = process.item;
    const std::string notAvailable = ValueFormatter::NotAvailable();
    Record record;
    record.Number(r.dwProcessId).Number(r.dwParentProcessId).Value(RecordValues::Known(r.strName));
    record.Value(RecordValues::Known(r.strPath, "...")).Value(RecordValues::Known(r.strCommandLine, "..."));
    if (nt)
        record.Value(RecordValues::Known(r.strOwner, "...")).Value(RecordValues::Time(r.ftCreationTime.Value()));
    else
        record.Missing().Missing();
    record.Number(r.dwThreadCount);
    if (nt)
        record.Number(r.dwHandleCount);
    else
        record.Missing();
    if (r.dwPriorityClass)
        record.Number(r.dwPriorityClass);
    else
        record.Missing();
    record.Value(RecordValues::Known(item.strPriority, notAvailable)).Flag(item.bService != 0);
    record.Value(RecordValues::Known(item.strVersion, notAvailable))
        .Value(RecordValues::Known(item.strDescription, notAvailable))
        .Value(RecordValues::Known(item.strCompany, notAvailable));
    return record;
}

int Run(const CliArguments& arguments)
{
    const ProcessFilter filter(arguments.Operands());
    const bool tree = arguments.Has("tree");
    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcesses(nullptr, 0)) return CliError::Failure("the process list could not be read");

    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    // Every system outside the 9x family is read and shown the NT way.
    const bool nt = !snapshot.Os().Is9xFamily();
    ValueFormatter formatter(settings, nt);
    ItemBuilder builder(formatter, FileFactsCache::Shared());
    ServiceList services;
    services.Collect(0x30, 1);

    std::vector<Process> processes;
    std::vector<uint32_t> seen;
    for (const ProcessRecord& record : snapshot.Processes()) {
        if (!filter.Selects(record.dwProcessId, record.strName)) continue;
        processes.push_back({&record, ProcessItem()});
        builder.BuildProcessItem(processes.back().item, record, services, false);
        seen.push_back(record.dwProcessId);
    }
    std::vector<TreeNesting::Node> nodes;
    for (const Process& p : processes) nodes.push_back({p.item.dwPid, p.item.dwParentPid, p.item.dwSequence});
    const std::vector<TreeNesting::Row> rows = TreeNesting::Arrange(nodes, tree);

    if (arguments.Format() == RecordWriter::Table) {
        const ColumnTable<ProcessItem>& table = ProcessColumns::Table();
        const std::vector<uint32_t> columns = table.ShownColumns(settings.aProcessColumns, nt);
        std::vector<std::string> header;
        for (uint32_t id : columns) header.push_back(StringTable::Load(table.Find(id)->nHeaderString));
        header.push_back("Path");
        header.push_back("Service");
        RecordValues::Out(TabText::Row(header));
        for (const TreeNesting::Row& position : rows) {
            const ProcessItem& item = processes[position.nIndex].item;
            std::vector<std::string> row;
            for (uint32_t id : columns) {
                std::string text = table.Text(item, id);
                if (id == ProcessColumns::Name) text.insert(0, 2 * position.nDepth, ' ');
                row.push_back(TabText::Escape(text));
            }
            row.push_back(TabText::Escape(item.strPath));
            row.push_back(item.bService ? "Yes" : "No");
            RecordValues::Out(TabText::Row(row));
        }
    } else {
        RecordWriter out = RecordValues::Stdout(arguments.Format(), kSchema);
        out.Begin();
        for (const TreeNesting::Row& position : rows) out.Write(ToRecord(processes[position.nIndex], nt));
        out.End();
    }

    int status = 0;
    for (uint32_t pid : filter.Missing(seen)) status = CliError::Failure("no process with id " + std::to_string(pid));
    return status;
}

} // namespace

const CliCommand CliCommands::kPs = {
    "ps", "[PATTERN|PID]...", "the processes: the process view's rows, or their records",
    "With operands, only the processes asked for: a process id (decimal, or\n"
    "hexadecimal after 0x) or a pattern on the process name (* ? [a-z] [!a-z],\n"
    "any case, as Find DLL matches). A pattern that starts with \"-\" needs \"--\"\n"
    "before it.\n"
    "\n"
    "The table has the process view's columns for the OS family (twelve on the\n"
    "NT family, eight on the 9x family) and Path and Service; tsv, csv and json\n"
    "have the fields below on every family.\n"
    "\n"
    "Exit status 1 when the process list cannot be read or a process id asked\n"
    "for is not running (the others are still listed).\n",
    {
        {"tree", nullptr, nullptr, "in tree order: parents before their children (in the table the "
                                   "names are indented two spaces per level)", nullptr},
        {"raw", nullptr, nullptr, "the same as --format tsv", "format=tsv"},
    },
    &kSchema, 0, CliCommand::kAny, Run};
