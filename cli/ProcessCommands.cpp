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
    for (const std::string& arg : args) {
        if (arg == "--raw")
            raw = true;
        else
            return UsageError("unknown argument '" + arg + "' for 'ps'");
    }
    if (!raw) return PsFormatted();

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
    std::string pidText;
    for (const std::string& arg : args) {
        if (arg == "--raw")
            raw = true;
        else if (pidText.empty() && !arg.empty() && arg[0] != '-')
            pidText = arg;
        else
            return UsageError("unknown argument '" + arg + "' for 'modules'");
    }
    uint32_t pid = 0;
    if (pidText.empty()) return UsageError("'modules' needs a process id");
    if (!ProcessIdText::Parse(pidText, pid)) return UsageError("'" + pidText + "' is not a process id");
    if (!raw) return ModulesFormatted(pid);

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

// The process view's columns of this family: string number and text.
struct ProcessColumn {
    unsigned stringId;
    std::string ProcessItem::*text;
};

const ProcessColumn kNtColumns[] = {
    {8, &ProcessItem::strName},         {9, &ProcessItem::strPid},         {17, &ProcessItem::strParentPid},
    {14, &ProcessItem::strVersion},     {167, &ProcessItem::strDescription}, {168, &ProcessItem::strCompany},
    {41, &ProcessItem::strOwner},       {149, &ProcessItem::strThreads},   {47, &ProcessItem::strHandles},
    {166, &ProcessItem::strPriority},   {63, &ProcessItem::strCreated},    {18, &ProcessItem::strCommandLine},
};
const ProcessColumn k9xColumns[] = {
    {8, &ProcessItem::strName},     {9, &ProcessItem::strPid},       {17, &ProcessItem::strParentPid},
    {149, &ProcessItem::strThreads}, {166, &ProcessItem::strPriority}, {14, &ProcessItem::strVersion},
    {167, &ProcessItem::strDescription}, {168, &ProcessItem::strCompany},
};

struct Formatting {
    UserSettings settings;
    Formatting() { UserSettingsFile::SetDefaults(settings); }
};

} // namespace

int CliCommands::PsFormatted()
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

    const ProcessColumn* columns = nt ? kNtColumns : k9xColumns;
    const size_t count = nt ? sizeof(kNtColumns) / sizeof(kNtColumns[0]) : sizeof(k9xColumns) / sizeof(k9xColumns[0]);
    std::vector<std::string> header;
    for (size_t i = 0; i < count; ++i) header.push_back(StringTable::Load(columns[i].stringId));
    header.push_back("Path");
    header.push_back("Service");
    Out(TabText::Row(header));
    for (const ProcessRecord& record : snapshot.Processes()) {
        ProcessItem item;
        builder.BuildProcessItem(item, record, services, false);
        std::vector<std::string> row;
        for (size_t i = 0; i < count; ++i) row.push_back(TabText::Escape(item.*(columns[i].text)));
        row.push_back(TabText::Escape(item.strPath));
        row.push_back(item.bService ? "Yes" : "No");
        Out(TabText::Row(row));
    }
    return 0;
}

int CliCommands::ModulesFormatted(uint32_t pid)
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

    Out(TabText::Row({StringTable::Load(11), StringTable::Load(12), StringTable::Load(13), StringTable::Load(14),
                      StringTable::Load(167), StringTable::Load(168), StringTable::Load(15), StringTable::Load(10),
                      StringTable::Load(16), "Dynamic", "Relocated"}));
    for (const ModuleRecord& record : snapshot.Modules()) {
        ModuleItem item;
        builder.BuildModuleItem(item, record, &closure, closureLoaded, false);
        Out(TabText::Row({TabText::Escape(item.strName), TabText::Escape(item.strLocation), item.strBaseAddress,
                          TabText::Escape(item.strVersion), TabText::Escape(item.strDescription),
                          TabText::Escape(item.strCompany), item.strSize, TabText::Escape(item.strCreated),
                          TabText::Escape(item.strModified), item.bDynamic ? "Dynamic" : "Static",
                          item.bRelocated ? "Relocated" : "Preferred"}));
    }
    return 0;
}
