// tarnwick-cli ps: the process view's rows, or the process records.
#include "cli/CliCommands.h"
#include "cli/ProcessFilter.h"
#include "cli/RecordOrder.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "app/menus/StringTable.h"
#include "app/settings/UserSettingsFile.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ProcessSampler.h"
#include "sysinfo/ServiceList.h"
#include "sysinfo/SnapshotSampleSource.h"
#include "views/ItemBuilder.h"
#include "views/ProcessColumnSettings.h"
#include "views/ProcessColumns.h"
#include "views/TreeNesting.h"

#include <windows.h>
#include <memory>

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
        {"cpu_percent", FieldType::Number, "processor load between the two samples of --interval in percent of all "
                                           "processors, 0.0 to 100.0; null without --interval, for a process the "
                                           "first sample did not have, and on the 9x family"},
        {"cpu_time_ms", FieldType::Integer, "processor time used (kernel and user) in milliseconds; null on the 9x "
                                            "family"},
        {"working_set_bytes", FieldType::Integer, "memory in use (working set); null on the 9x family"},
        {"peak_working_set_bytes", FieldType::Integer, "the largest working set so far; null on the 9x family"},
        {"private_bytes", FieldType::Integer, "memory committed for it alone (pagefile usage); null on the 9x "
                                              "family"},
        {"page_faults", FieldType::Integer, "page faults so far; null on the 9x family"},
    },
    {}};

const uint32_t kMaxIntervalMs = 3600000;

struct Process {
    const ProcessRecord* record;
    ProcessItem item;
};

// "1", "0.5", "2.25": seconds, up to three decimals, above 0 and at most an hour.
bool IntervalMs(const std::string& text, uint32_t& ms)
{
    uint64_t whole = 0, fraction = 0;
    size_t digits = 0, decimals = 0;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9' && (point ? decimals < 3 : digits < 8)) {
            (point ? fraction : whole) = (point ? fraction : whole) * 10 + static_cast<uint64_t>(c - '0');
            ++(point ? decimals : digits);
        } else {
            return false;
        }
    }
    if (!digits && !decimals) return false;
    while (decimals++ < 3) fraction *= 10;
    const uint64_t total = whole * 1000 + fraction;
    if (total == 0 || total > kMaxIntervalMs) return false;
    ms = static_cast<uint32_t>(total);
    return true;
}

bool Count(const std::string& text, size_t& count)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    count = static_cast<size_t>(std::stoul(text));
    return count > 0;
}

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
    const ProcessCounters& counters = r.counters;
    if (nt && item.nCpuTenths != ProcessLoad::kNone)
        record.Value(RecordValue::OfTenths(static_cast<uint64_t>(item.nCpuTenths)));
    else
        record.Missing();
    if (nt && counters.bHasTimes)
        record.Number(counters.CpuTime() / 10000);
    else
        record.Missing();
    if (nt && counters.bHasMemory)
        record.Number(counters.dwWorkingSet)
            .Number(counters.dwPeakWorkingSet)
            .Number(counters.dwPrivateBytes)
            .Number(counters.dwPageFaults);
    else
        record.Missing().Missing().Missing().Missing();
    return record;
}

int Run(const CliArguments& arguments)
{
    const ProcessFilter filter(arguments.Operands());
    const bool tree = arguments.Has("tree");
    uint32_t intervalMs = 0;
    if (arguments.Has("interval") && !IntervalMs(arguments.Value("interval"), intervalMs))
        return CliError::Usage("'" + arguments.Value("interval") + "' is not a number of seconds above 0 and up to "
                               "3600");
    int sortField = -1;
    if (arguments.Has("sort")) {
        sortField = RecordOrder::FieldIndex(kSchema, arguments.Value("sort"));
        if (sortField < 0) return CliError::Usage("'" + arguments.Value("sort") + "' is no field of ps");
        if (tree) return CliError::Usage("'--sort' and '--tree' exclude each other");
    }
    const bool descending = arguments.Has("desc");
    if (descending && sortField < 0) return CliError::Usage("'--desc' needs '--sort'");
    size_t top = 0;
    if (arguments.Has("top") && !Count(arguments.Value("top"), top))
        return CliError::Usage("'" + arguments.Value("top") + "' is not a whole number from 1 up");

    // Two samples with --interval: the second one has the loads.
    SnapshotSampleSource* source = new SnapshotSampleSource;
    const bool nt = source->IsNtFamily();
    ProcessSampler sampler{std::unique_ptr<ProcessSampleSource>(source)};
    if (!sampler.Sample()) return CliError::Failure("the process list could not be read");
    if (intervalMs) {
        Sleep(intervalMs);
        if (!sampler.Sample()) return CliError::Failure("the process list could not be read");
    }

    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    // Every system outside the 9x family is read and shown the NT way.
    ValueFormatter formatter(settings, nt);
    ItemBuilder builder(formatter, FileFactsCache::Shared());
    ServiceList services;
    services.Collect(0x30, 1);

    std::vector<Process> processes;
    std::vector<uint32_t> seen;
    for (const SampledProcess& sampled : sampler.Processes()) {
        const ProcessRecord& record = sampled.record;
        if (!filter.Selects(record.dwProcessId, record.strName)) continue;
        processes.push_back({&record, ProcessItem()});
        builder.BuildProcessItem(processes.back().item, record, services, false);
        builder.UpdateProcessItem(processes.back().item, record, sampled.nLoadTenths);
        seen.push_back(record.dwProcessId);
    }
    std::vector<TreeNesting::Node> nodes;
    for (const Process& p : processes) nodes.push_back({p.item.dwPid, p.item.dwParentPid, p.item.dwSequence});
    std::vector<TreeNesting::Row> rows = TreeNesting::Arrange(nodes, tree);
    std::vector<Record> records;
    for (const Process& process : processes) records.push_back(ToRecord(process, nt));
    if (sortField >= 0) {
        rows.clear();
        for (size_t index : RecordOrder::Sort(records, static_cast<size_t>(sortField), descending))
            rows.push_back({index, 0});
    }
    if (top && rows.size() > top) rows.resize(top);

    if (arguments.Format() == RecordWriter::Table) {
        // The columns the process view shows with the default settings.
        LiveSettings live = LiveSettings::Defaults();
        ColumnSetting all[ProcessColumnSettings::kCount];
        ProcessColumnSettings(settings, live).Get(all);
        const ColumnTable<ProcessItem>& table = ProcessColumns::Table();
        const std::vector<uint32_t> columns = table.ShownColumns(all, nt);
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
        for (const TreeNesting::Row& position : rows) out.Write(records[position.nIndex]);
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
    "The table has the process view's columns for the OS family as the program\n"
    "shows them by default (fourteen on the NT family, with CPU and Private\n"
    "Bytes; eight on the 9x family) and Path and Service; tsv, csv and json\n"
    "have the fields below on every family.\n"
    "\n"
    "With --interval the processes are read twice, SECONDS apart, and the\n"
    "second reading is printed with each process's processor load since the\n"
    "first (cpu_percent, the CPU column). --sort orders the rows by any field\n"
    "below (missing values last), --top keeps the first N rows:\n"
    "  tarnwick-cli ps --interval 1 --sort cpu_percent --desc --top 5\n"
    "\n"
    "Exit status 1 when the process list cannot be read or a process id asked\n"
    "for is not running (the others are still listed).\n",
    {
        {"tree", nullptr, nullptr, "in tree order: parents before their children (in the table the "
                                   "names are indented two spaces per level)", nullptr},
        {"interval", "SECONDS", nullptr, "read twice, SECONDS apart (0.001 to 3600), and show the load between",
         nullptr},
        {"sort", "FIELD", nullptr, "in the order of a field of the records (pid, name, cpu_percent, ...)", nullptr},
        {"desc", nullptr, nullptr, "with --sort: descending", nullptr},
        {"top", "N", nullptr, "only the first N rows", nullptr},
        {"raw", nullptr, nullptr, "the same as --format tsv", "format=tsv"},
    },
    &kSchema, 0, CliCommand::kAny, Run};
