#include "CliCommands.h"
#include "ProcessIdText.h"
#include "TabText.h"

#include "../app/StringTable.h"
#include "../sysinfo/ProcessSnapshot.h"
#include "../tools/TerminationRun.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <cstdio>

namespace {

std::string TrimLineEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

struct Printer {
    const std::vector<TerminationEntry>* entries;
    const ProcessTerminator* terminator;
};

// One row per process as soon as it is done: the own process, last, may not come back.
void PrintRow(size_t index, void* context)
{
    const Printer& printer = *static_cast<const Printer*>(context);
    const TerminationEntry& entry = (*printer.entries)[index];
    const bool killed = entry.nState == TerminationEntry::Terminated;
    const std::string row = TabText::Row(
        {std::to_string(entry.dwProcessId), TabText::Escape(entry.strName), killed ? "Terminated" : "Failed",
         killed ? "0" : std::to_string(printer.terminator->LastErrorCode()),
         killed ? "" : TabText::Escape(TrimLineEnd(printer.terminator->LastErrorText()))});
    std::fwrite(row.data(), 1, row.size(), stdout);
    std::fflush(stdout);
}

} // namespace

int CliCommands::Kill(const Args& args)
{
    if (args.empty()) return UsageError("'kill' needs at least one process id");
    std::vector<uint32_t> pids;
    for (const std::string& arg : args) {
        uint32_t pid = 0;
        if (!ProcessIdText::Parse(arg, pid)) return UsageError("'" + arg + "' is not a process id");
        pids.push_back(pid);
    }

    // Names and creation times as a snapshot sees them now.
    ProcessSnapshot snapshot;
    snapshot.EnumProcesses(nullptr, 0);
    std::vector<TerminationEntry> entries;
    for (uint32_t pid : pids) {
        TerminationEntry entry;
        entry.dwProcessId = pid;
        entry.strName = "...";
        for (const ProcessRecord& record : snapshot.Processes())
            if (record.dwProcessId == pid) {
                entry.strName = record.strName;
                entry.qwCreationTime = record.ftCreationTime.Value();
                break;
            }
        entries.push_back(entry);
    }

    const std::string header = TabText::Row({"PID", "Name", "Result", "ErrorCode", "ErrorDescription"});
    std::fwrite(header.data(), 1, header.size(), stdout);
    ProcessTerminator terminator;
    TerminationRun run(terminator, GetCurrentProcessId(), StringTable::Load(56));
    Printer printer = {&entries, &terminator};
    const size_t failures = run.Run(entries, PrintRow, &printer);

    // The errors dialog's text, byte for byte.
    const std::string errors = run.JoinedErrors();
    std::fflush(stderr);
    _setmode(_fileno(stderr), _O_BINARY);
    std::fwrite(errors.data(), 1, errors.size(), stderr);
    return failures ? 1 : 0;
}
