#include "CliCommands.h"
#include "TabText.h"

#include "../sysinfo/MachineDescription.h"
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

bool ParsePid(const std::string& text, uint32_t& pid)
{
    if (text.empty()) return false;
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (*end || value > 0xFFFFFFFFul) return false;
    pid = static_cast<uint32_t>(value);
    return true;
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
    if (!ParsePid(pidText, pid)) return UsageError("'modules' needs a process id");
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
        Out(hit.strProcessName + " [" + Decimal(hit.dwProcessId) + "]\n");
        for (const DllSearchHit::Module& module : hit.modules)
            Out("\t" + module.strName + "\t" + module.strPath + "\n");
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
        MachineDescription::ComputerName(), os.strDescription, MachineDescription::UserName(), netWare);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    Out(out + "\n");
    return 0;
}

int CliCommands::PsFormatted()
{
    return UsageError("'ps' needs --raw");
}

int CliCommands::ModulesFormatted(uint32_t)
{
    return UsageError("'modules' needs --raw");
}
