// tarnwick-cli kill: ends processes as the Kill command does.
#include "cli/CliCommands.h"
#include "cli/ProcessIdText.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "app/menus/StringTable.h"
#include "sysinfo/ProcessSnapshot.h"
#include "tools/TerminationRun.h"

#include <windows.h>
#include <cstdio>

namespace {

const RecordSchema kSchema = {
    "process asked for, in the order processed (tarnwick-cli's own last)",
    {
        {"pid", FieldType::Integer, "process id"},
        {"name", FieldType::Text, "its name in a snapshot taken first; null for an id no process has"},
        {"terminated", FieldType::Boolean, "the process is gone"},
        {"error_code", FieldType::Integer, "the system's error code of the failure; null when terminated"},
        {"error", FieldType::Text, "the system's text for it; null when terminated"},
    },
    {}};

std::string TrimLineEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

struct Printer {
    const std::vector<TerminationEntry>* entries;
    const ProcessTerminator* terminator;
    RecordWriter* records;  // null: the table
    std::vector<std::string> failures;
};

// One row per process as soon as it is done: the own process, last, may not come back.
void PrintRow(size_t index, void* context)
{
    Printer& printer = *static_cast<Printer*>(context);
    const TerminationEntry& entry = (*printer.entries)[index];
    const bool killed = entry.nState == TerminationEntry::Terminated;
    const uint32_t code = printer.terminator->LastErrorCode();
    const std::string text = TrimLineEnd(printer.terminator->LastErrorText());
    if (printer.records) {
        Record record;
        record.Number(entry.dwProcessId).Value(RecordValues::Known(entry.strName, "...")).Flag(killed);
        if (killed)
            record.Missing().Missing();
        else
            record.Number(code).Text(text);
        printer.records->Write(record);
    } else {
        RecordValues::Out(TabText::Row({std::to_string(entry.dwProcessId), TabText::Escape(entry.strName),
                                        killed ? "Terminated" : "Failed", killed ? "0" : std::to_string(code),
                                        killed ? "" : TabText::Escape(text)}));
    }
    std::fflush(stdout);
    if (!killed)
        printer.failures.push_back("process " + std::to_string(entry.dwProcessId) + " (" + entry.strName
                                   + ") could not be terminated: "
                                   + (text.empty() ? CliError::SystemMessage(code) : text) + " (error "
                                   + std::to_string(code) + ")");
}

int Kill(const CliArguments& arguments)
{
    std::vector<uint32_t> pids;
    for (const std::string& operand : arguments.Operands()) {
        uint32_t pid = 0;
        if (!ProcessIdText::Parse(operand, pid)) return CliError::Usage("'" + operand + "' is not a process id");
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

    RecordWriter records = RecordValues::Stdout(arguments.Format(), kSchema);
    ProcessTerminator terminator;
    TerminationRun run(terminator, GetCurrentProcessId(), StringTable::Load(56));
    Printer printer = {&entries, &terminator, nullptr, {}};
    if (arguments.Format() == RecordWriter::Table) {
        RecordValues::Out(TabText::Row({"PID", "Name", "Result", "ErrorCode", "ErrorDescription"}));
    } else {
        printer.records = &records;
        records.Begin();
    }
    run.Run(entries, PrintRow, &printer);
    if (printer.records) records.End();
    for (const std::string& failure : printer.failures) CliError::Failure(failure);
    return printer.failures.empty() ? 0 : 1;
}

} // namespace

const CliCommand CliCommands::kKill = {
    "kill", "PID...", "terminates processes as the Kill command does",
    "Process ids are decimal, or hexadecimal after 0x. The processes are ended\n"
    "in the order given, tarnwick-cli's own last; a process whose creation time\n"
    "differs from a snapshot taken first is another program that reused the id:\n"
    "it is left alone and fails with 87.\n"
    "\n"
    "The table is PID, Name, Result (Terminated or Failed), ErrorCode and\n"
    "ErrorDescription, a row per process as soon as it is done.\n"
    "\n"
    "Exit status 1 when any process could not be terminated (one line each on\n"
    "standard error).\n",
    {}, &kSchema, 1, CliCommand::kAny, Kill};
