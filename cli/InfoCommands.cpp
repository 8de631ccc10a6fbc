// tarnwick-cli params and modinfo: what the process and module information
// windows show, through the same code.
#include "CliCommands.h"
#include "TabText.h"

#include "../image/ModuleInformation.h"
#include "../sysinfo/ProcessSnapshot.h"
#include "../sysutils/OsVersion.h"
#include "../sysinfo/TopLevelWindowList.h"
#include "../tools/ProcessInformation.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>

namespace {

void Out(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

bool ParseProcessId(const std::string& text, uint32_t& pid)
{
    if (text.empty()) return false;
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (*end || value > 0xFFFFFFFFul) return false;
    pid = static_cast<uint32_t>(value);
    return true;
}

std::vector<std::string> Escaped(const std::vector<std::string>& cells)
{
    std::vector<std::string> out;
    for (const std::string& cell : cells) out.push_back(TabText::Escape(cell));
    return out;
}

} // namespace

int CliCommands::Params(const Args& args)
{
    uint32_t pid = 0;
    if (args.size() != 1 || !ParseProcessId(args[0], pid)) return UsageError("'params' needs one process id");

    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcesses(nullptr, 0)) {
        std::fprintf(stderr, "tarnwick-cli: the process list could not be read\n");
        return 1;
    }
    const ProcessRecord* record = nullptr;
    for (const ProcessRecord& candidate : snapshot.Processes())
        if (candidate.dwProcessId == pid) record = &candidate;
    if (!record) {
        std::fprintf(stderr, "tarnwick-cli: there is no process %lu\n", static_cast<unsigned long>(pid));
        return 1;
    }

    TopLevelWindowList windows;
    windows.Collect();
    ProcessInformation information;
    information.Load(*record, snapshot, windows);
    for (int field = 0; field < ProcessInformation::FieldCount; ++field)
        Out(TabText::Row({ProcessInformation::Label(static_cast<ProcessInformation::Field>(field)),
                          TabText::Escape(information.strValues[field])}));
    for (const EnvironmentTable::Row& row : information.environment)
        Out(TabText::Row({"Environment", TabText::Escape(row.first), TabText::Escape(row.second)}));
    return 0;
}

int CliCommands::ModInfo(const Args& args)
{
    if (args.size() != 1 || args[0].empty()) return UsageError("'modinfo' needs one FILE");
    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(args[0].c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || GetFileAttributesA(full) == INVALID_FILE_ATTRIBUTES ||
        (GetFileAttributesA(full) & FILE_ATTRIBUTE_DIRECTORY)) {
        std::fprintf(stderr, "tarnwick-cli: cannot open '%s'\n", args[0].c_str());
        return 1;
    }

    ModuleInformation information(OsVersion().Is9xFamily());
    information.Load(full);
    ModuleInformation::Table table;
    for (const ModuleInformation::Node& node : information.Nodes()) {
        Out("== " + TabText::Escape(node.strText) + "\n");
        information.Fill(node.dwValue, table);
        if (!table.columns.empty()) Out(TabText::Row(Escaped(table.columns)));
        for (const ModuleInformation::Row& row : table.rows) Out(TabText::Row(Escaped(row.cells)));
    }
    return 0;
}
