#include "CliCommands.h"
#include "ProcessIdText.h"
#include "TabText.h"

#include "../app/StringTable.h"
#include "../app/UserSettingsFile.h"
#include "../image/ImportClosure.h"
#include "../sysinfo/FileFactsCache.h"
#include "../sysinfo/MachineDescription.h"
#include "../sysinfo/NativeProcessList.h"
#include "../sysinfo/ServiceList.h"
#include "../views/ItemBuilder.h"
#include "../sysinfo/ProcessSnapshot.h"
#include "../tools/DllSearch.h"
#include "../views/ModuleColumns.h"
#include "../views/ProcessColumns.h"
#include "../views/TreeNesting.h"
#include "../views/ViewSort.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string Decimal(uint64_t value)
{
    char text[32];
    snprintf(text, sizeof(text), "%llu", static_cast<unsigned long long>(value));
    return text;
}

std::string Hex32(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(value));
    return text;
}

void Out(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace

int CliCommands::Ps(const Args& args)
{
    bool raw = false;
    bool tree = false;
    for (const std::string& arg : args) {
        if (arg == "--raw")
            raw = true;
        else if (arg == "--tree")
            tree = true;
        else
            return UsageError("unknown argument '" + arg + "' for 'ps'");
    }
    if (raw && tree) return UsageError("'ps' takes either --raw or --tree");
    if (!raw) return PsFormatted(tree);

    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcesses(nullptr, 0)) {
        std::fprintf(stderr, "tarnwick-cli: the process list could not be read\n");
        return 1;
    }
    Out(TabText::Row({"strName", "strPath", "dwProcessId", "dwParentProcessId", "strOwner", "ftCreationTime",
                      "strCommandLine", "dwSequence", "dwHandleCount", "dwThreadCount", "dwPriorityClass"}));
    for (const ProcessRecord& p : snapshot.Processes())
        Out(TabText::Row({TabText::Escape(p.strName), TabText::Escape(p.strPath), Decimal(p.dwProcessId),
                          Decimal(p.dwParentProcessId), TabText::Escape(p.strOwner),
                          Decimal(p.ftCreationTime.Value()), TabText::Escape(p.strCommandLine),
                          Decimal(p.dwSequence), Decimal(p.dwHandleCount), Decimal(p.dwThreadCount),
                          Decimal(p.dwPriorityClass)}));
    return 0;
}

int CliCommands::Modules(const Args& args)
{
    bool raw = false;
    ModuleOrder order;
    std::string pidText;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--raw") {
            raw = true;
        } else if (arg == "--sort") {
            if (i + 1 >= args.size() || !ModuleColumns::ModeFromName(args[i + 1], order.nMode))
                return UsageError("'--sort' needs one of name, ext, order, relocated, dynamic");
            order.bSorted = true;
            ++i;
        } else if (arg == "--desc") {
            order.bDescending = true;
        } else if (pidText.empty() && !arg.empty() && arg[0] != '-') {
            pidText = arg;
        } else {
            return UsageError("unknown argument '" + arg + "' for 'modules'");
        }
    }
    uint32_t pid = 0;
    if (pidText.empty()) return UsageError("'modules' needs a process id");
    if (!ProcessIdText::Parse(pidText, pid)) return UsageError("'" + pidText + "' is not a process id");
    if (raw && (order.bSorted || order.bDescending)) return UsageError("'--raw' lists the records unsorted");
    if (order.bDescending && !order.bSorted) return UsageError("'--desc' needs '--sort'");
    if (!raw) return ModulesFormatted(pid, order);

    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcessModules(pid, nullptr, 0) || snapshot.Modules().empty()) {
        std::fprintf(stderr, "tarnwick-cli: the modules of process %lu could not be read\n",
                     static_cast<unsigned long>(pid));
        return 1;
    }
    Out(TabText::Row({"strName", "strPath", "dwBaseAddress", "dwPreferredBase", "ftCreationTime",
                      "ftLastWriteTime", "nFileSize", "dwLoadOrder"}));
    for (const ModuleRecord& m : snapshot.Modules())
        Out(TabText::Row({TabText::Escape(m.strName), TabText::Escape(m.strPath), Hex32(m.dwBaseAddress),
                          Hex32(m.dwPreferredBase), Decimal(m.ftCreationTime.Value()),
                          Decimal(m.ftLastWriteTime.Value()), Decimal(m.FileSize()), Decimal(m.dwLoadOrder)}));
    return 0;
}

int CliCommands::FindDll(const Args& args)
{
    if (args.size() != 1 || args[0].empty()) return UsageError("'finddll' needs one PATTERN");
    ProcessSnapshot snapshot;
    std::vector<DllSearchHit> hits;
    if (!DllSearch::Run(args[0], snapshot, hits)) {
        std::fprintf(stderr, "tarnwick-cli: the process list could not be read\n");
        return 1;
    }
    for (const DllSearchHit& hit : hits) {
        Out(TabText::Escape(hit.strProcessName) + " [" + Decimal(hit.dwProcessId) + "]\n");
        for (const DllSearchHit::Module& module : hit.modules)
            Out("\t" + TabText::Escape(module.strName) + "\t" + TabText::Escape(module.strPath) + "\n");
    }
    return 0;
}

int CliCommands::Machine(const Args& args)
{
    if (!args.empty()) return UsageError("'machine' takes no arguments");
    char netWare[261] = {};
    MachineDescription::GetNetWareUserName(netWare, sizeof(netWare));
    OsVersion os;
    std::string text = MachineDescription::FormatMachineDescription(
        TabText::Escape(MachineDescription::ComputerName()), TabText::Escape(os.strDescription),
        TabText::Escape(MachineDescription::UserName()), TabText::Escape(netWare));
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    Out(out + "\n");
    return 0;
}

namespace {

struct Formatting {
    UserSettings settings;
    Formatting() { UserSettingsFile::SetDefaults(settings); }
};

} // namespace

int CliCommands::PsFormatted(bool tree)
{
    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcesses(nullptr, 0)) {
        std::fprintf(stderr, "tarnwick-cli: the process list could not be read\n");
        return 1;
    }
    Formatting f;
    // Every system outside the 9x family is read and shown the NT way.
    const bool nt = !snapshot.Os().Is9xFamily();
    ValueFormatter formatter(f.settings, nt);
    ItemBuilder builder(formatter, FileFactsCache::Shared());
    ServiceList services;
    services.Collect(0x30, 1);

    std::vector<ProcessItem> items;
    for (const ProcessRecord& record : snapshot.Processes()) {
        items.emplace_back();
        builder.BuildProcessItem(items.back(), record, services, false);
    }
    std::vector<TreeNesting::Node> nodes;
    for (const ProcessItem& item : items) nodes.push_back({item.dwPid, item.dwParentPid, item.dwSequence});
    const std::vector<TreeNesting::Row> rows = TreeNesting::Arrange(nodes, tree);

    const ColumnTable<ProcessItem>& table = ProcessColumns::Table();
    const std::vector<uint32_t> columns = table.ShownColumns(f.settings.aProcessColumns, nt);
    std::vector<std::string> header;
    for (uint32_t id : columns) header.push_back(StringTable::Load(table.Find(id)->nHeaderString));
    header.push_back("Path");
    header.push_back("Service");
    Out(TabText::Row(header));
    for (const TreeNesting::Row& position : rows) {
        const ProcessItem& item = items[position.nIndex];
        std::vector<std::string> row;
        for (uint32_t id : columns) {
            std::string text = table.Text(item, id);
            if (id == ProcessColumns::Name) text.insert(0, 2 * position.nDepth, ' ');
            row.push_back(TabText::Escape(text));
        }
        row.push_back(TabText::Escape(item.strPath));
        row.push_back(item.bService ? "Yes" : "No");
        Out(TabText::Row(row));
    }
    return 0;
}

int CliCommands::ModulesFormatted(uint32_t pid, const ModuleOrder& order)
{
    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcessModules(pid, nullptr, 0) || snapshot.Modules().empty()) {
        std::fprintf(stderr, "tarnwick-cli: the modules of process %lu could not be read\n",
                     static_cast<unsigned long>(pid));
        return 1;
    }
    Formatting f;
    ValueFormatter formatter(f.settings, !snapshot.Os().Is9xFamily());
    ItemBuilder builder(formatter, FileFactsCache::Shared());

    // The static imports of the process's executable.
    ImportClosure closure;
    bool closureLoaded = false;
    for (const ModuleRecord& module : snapshot.Modules())
        if (NativeProcessList::LooksExecutable(module.strName)) {
            closureLoaded = closure.walk(module.strPath.c_str());
            break;
        }

    std::vector<ModuleItem> items;
    for (const ModuleRecord& record : snapshot.Modules()) {
        items.emplace_back();
        builder.BuildModuleItem(items.back(), record, &closure, closureLoaded, false);
    }
    std::vector<size_t> rows(items.size());
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = i;
    if (order.bSorted) {
        std::vector<const ModuleItem*> pointers;
        for (const ModuleItem& item : items) pointers.push_back(&item);
        const uint32_t mode = order.nMode;
        rows = ViewSort::Order(pointers,
                               [mode](const ModuleItem& a, const ModuleItem& b) {
                                   return ModuleColumns::Compare(a, b, ModuleColumns::Name, mode);
                               },
                               !order.bDescending);
    }

    const ColumnTable<ModuleItem>& table = ModuleColumns::Table();
    const std::vector<uint32_t> columns = table.ShownColumns(f.settings.aModuleColumns, true);
    std::vector<std::string> header;
    for (uint32_t id : columns) header.push_back(StringTable::Load(table.Find(id)->nHeaderString));
    header.push_back("Dynamic");
    header.push_back("Relocated");
    Out(TabText::Row(header));
    for (size_t index : rows) {
        const ModuleItem& item = items[index];
        std::vector<std::string> row;
        for (uint32_t id : columns) row.push_back(TabText::Escape(table.Text(item, id)));
        row.push_back(item.bDynamic ? "Dynamic" : "Static");
        row.push_back(item.bRelocated ? "Relocated" : "Preferred");
        Out(TabText::Row(row));
    }
    return 0;
}
