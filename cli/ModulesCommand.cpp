// tarnwick-cli modules: the module view's rows of processes, or the module records.
#include "cli/CliCommands.h"
#include "cli/ProcessIdText.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "app/menus/StringTable.h"
#include "app/settings/UserSettingsFile.h"
#include "image/ImportClosure.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/NativeProcessList.h"
#include "sysinfo/ProcessSnapshot.h"
#include "tools/WildcardMatch.h"
#include "views/ItemBuilder.h"
#include "views/ModuleColumns.h"
#include "views/ViewSort.h"

namespace {

const RecordSchema kSchema = {
    "module",
    {
        {"pid", FieldType::Integer, "id of the process the module is loaded into"},
        {"load_order", FieldType::Integer, "0-based position in the process's module list"},
        {"name", FieldType::Text, "file name of the module"},
        {"path", FieldType::Text, "full path of the module file (short 8.3 names expanded)"},
        {"base_address", FieldType::Integer, "address the module is loaded at"},
        {"preferred_base", FieldType::Integer, "image base of the file; null when it is not a readable PE image"},
        {"relocated", FieldType::Boolean, "loaded away from its preferred base"},
        {"dynamic", FieldType::Boolean, "loaded at run time: not in the static import closure of the "
                                        "process's executable"},
        {"size", FieldType::Integer, "file size in bytes; null when the file is not found"},
        {"created", FieldType::Time, "creation time of the file; null when not found"},
        {"modified", FieldType::Time, "last write time of the file; null when not found"},
        {"version", FieldType::Text, "file version; null without one"},
        {"description", FieldType::Text, "file description; null without one"},
        {"company", FieldType::Text, "company name; null without one"},
    },
    {}};

struct Module {
    const ModuleRecord* record;
    ModuleItem item;
};

Record ToRecord(uint32_t pid, const Module& module)
{
    const ModuleRecord& r = *module.record;
    const ModuleItem& item = module.item;
    const std::string notAvailable = ValueFormatter::NotAvailable();
    const bool found = r.FileSize() || r.ftCreationTime.Value() || r.ftLastWriteTime.Value();
    Record record;
    record.Number(pid).Number(r.dwLoadOrder).Value(RecordValues::Known(r.strName));
    record.Value(RecordValues::Known(item.strLocation)).Number(r.dwBaseAddress);
    if (r.dwPreferredBase)
        record.Number(r.dwPreferredBase);
    else
        record.Missing();
    record.Flag(item.bRelocated != 0).Flag(item.bDynamic != 0);
    if (found)
        record.Number(r.FileSize());
    else
        record.Missing();
    record.Value(RecordValues::Time(r.ftCreationTime.Value())).Value(RecordValues::Time(r.ftLastWriteTime.Value()));
    record.Value(RecordValues::Known(item.strVersion, notAvailable))
        .Value(RecordValues::Known(item.strDescription, notAvailable))
        .Value(RecordValues::Known(item.strCompany, notAvailable));
    return record;
}

int Run(const CliArguments& arguments)
{
    std::vector<uint32_t> pids;
    for (const std::string& operand : arguments.Operands()) {
        uint32_t pid = 0;
        if (!ProcessIdText::Parse(operand, pid)) return CliError::Usage("'" + operand + "' is not a process id");
        pids.push_back(pid);
    }
    uint32_t mode = 0;
    const bool sorted = arguments.Has("sort");
    if (sorted) ModuleColumns::ModeFromName(arguments.Value("sort"), mode);
    const bool descending = arguments.Has("desc");
    if (descending && !sorted) return CliError::Usage("'--desc' needs '--sort'");
    const std::string match = arguments.Value("match");
    const RecordWriter::Format format = arguments.Format();

    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    RecordWriter out = RecordValues::Stdout(format, kSchema);
    if (format != RecordWriter::Table) out.Begin();
    int status = 0;
    bool firstTable = true;
    for (uint32_t pid : pids) {
        ProcessSnapshot snapshot;
        if (!snapshot.EnumProcessModules(pid, nullptr, 0) || snapshot.Modules().empty()) {
            status = CliError::Failure("the modules of process " + std::to_string(pid) + " could not be read");
            continue;
        }
        ValueFormatter formatter(settings, !snapshot.Os().Is9xFamily());
        ItemBuilder builder(formatter, FileFactsCache::Shared());

        // The static imports of the process's executable.
        ImportClosure closure;
        bool closureLoaded = false;
        for (const ModuleRecord& module : snapshot.Modules())
            if (NativeProcessList::LooksExecutable(module.strName)) {
                closureLoaded = closure.walk(module.strPath.c_str());
                break;
            }

        std::vector<Module> modules;
        for (const ModuleRecord& record : snapshot.Modules()) {
            if (!match.empty() && !WildcardMatch::Matches(match.c_str(), record.strName.c_str())) continue;
            modules.push_back({&record, ModuleItem()});
            builder.BuildModuleItem(modules.back().item, record, &closure, closureLoaded, false);
        }
        std::vector<size_t> rows(modules.size());
        for (size_t i = 0; i < rows.size(); ++i) rows[i] = i;
        if (sorted) {
            std::vector<const ModuleItem*> pointers;
            for (const Module& module : modules) pointers.push_back(&module.item);
            rows = ViewSort::Order(pointers,
                                   [mode](const ModuleItem& a, const ModuleItem& b) {
                                       return ModuleColumns::Compare(a, b, ModuleColumns::Name, mode);
                                   },
                                   !descending);
        }

        if (format != RecordWriter::Table) {
            for (size_t index : rows) out.Write(ToRecord(pid, modules[index]));
            continue;
        }
        const ColumnTable<ModuleItem>& table = ModuleColumns::Table();
        const std::vector<uint32_t> columns = table.ShownColumns(settings.aModuleColumns, true);
        std::vector<std::string> header;
        for (uint32_t id : columns) header.push_back(StringTable::Load(table.Find(id)->nHeaderString));
        header.push_back("Dynamic");
        header.push_back("Relocated");
        if (!firstTable) RecordValues::Out("\n");
        firstTable = false;
        RecordValues::Out(TabText::Row(header));
        for (size_t index : rows) {
            const ModuleItem& item = modules[index].item;
            std::vector<std::string> row;
            for (uint32_t id : columns) row.push_back(TabText::Escape(table.Text(item, id)));
            row.push_back(item.bDynamic ? "Dynamic" : "Static");
            row.push_back(item.bRelocated ? "Relocated" : "Preferred");
            RecordValues::Out(TabText::Row(row));
        }
    }
    if (format != RecordWriter::Table) out.End();
    return status;
}

} // namespace

const CliCommand CliCommands::kModules = {
    "modules", "PID...", "the modules of processes: the module view's rows, or their records",
    "Process ids are decimal (leading zeros included), or hexadecimal after 0x.\n"
    "\n"
    "The table has the module view's nine columns and Dynamic (or Static) and\n"
    "Relocated (or Preferred); with several processes one table each, an empty\n"
    "line between them. tsv, csv and json list every module of every process\n"
    "asked for, with its process id.\n"
    "\n"
    "Exit status 1 when the modules of a process cannot be read (the other\n"
    "processes are still listed).\n",
    {
        {"sort", "MODE", "name|ext|order|relocated|dynamic",
         "in the order of the module list's sort mode (Alt+1 to Alt+5): name, ext, order, relocated or "
         "dynamic; rows it finds equal keep their load order", nullptr},
        {"desc", nullptr, nullptr, "with --sort: descending", nullptr},
        {"match", "PATTERN", nullptr, "only the modules whose file name matches PATTERN (* ? [a-z] [!a-z], any case)",
         nullptr},
        {"raw", nullptr, nullptr, "the same as --format tsv", "format=tsv"},
    },
    &kSchema, 1, CliCommand::kAny, Run};
