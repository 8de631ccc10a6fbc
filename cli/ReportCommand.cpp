// tarnwick-cli report: the text, XML or HTML report of processes.
#include "cli/CliCommands.h"
#include "cli/ConsoleReportProgress.h"
#include "cli/ProcessIdText.h"

#include "app/settings/UserSettingsFile.h"
#include "report/ReportJob.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysinfo/ServiceList.h"
#include "views/ItemBuilder.h"

namespace {

int Run(const CliArguments& arguments)
{
    std::vector<uint32_t> pids;
    for (const std::string& operand : arguments.Operands()) {
        uint32_t pid = 0;
        if (!ProcessIdText::Parse(operand, pid)) return CliError::Usage("'" + operand + "' is not a process id");
        pids.push_back(pid);
    }
    const std::string format = arguments.Value("format");
    const std::string out = arguments.Value("out");
    if (format.empty()) return CliError::Usage("missing --format text, xml or html");
    if (out.empty()) return CliError::Usage("missing --out FILE");

    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcesses(nullptr, 0)) return CliError::Failure("the process list could not be read");
    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    const bool nt = !snapshot.Os().Is9xFamily();
    ValueFormatter formatter(settings, nt);
    ItemBuilder builder(formatter, FileFactsCache::Shared());
    ServiceList services;
    services.Collect(0x30, 1);

    // The processes asked for, in the snapshot's order.
    std::vector<ProcessItem> items;
    for (const ProcessRecord& record : snapshot.Processes()) {
        bool wanted = pids.empty();
        for (uint32_t pid : pids) wanted = wanted || pid == record.dwProcessId;
        if (!wanted) continue;
        items.emplace_back();
        builder.BuildProcessItem(items.back(), record, services, false);
    }
    for (uint32_t pid : pids) {
        bool found = false;
        for (const ProcessItem& item : items) found = found || item.dwPid == pid;
        if (!found) return CliError::Failure("no process with id " + std::to_string(pid));
    }
    std::vector<const ProcessItem*> processes;
    for (const ProcessItem& item : items) processes.push_back(&item);

    const uint32_t type = format == "xml" ? 2 : format == "html" ? 3 : 1;
    ConsoleReportProgress progress;
    if (!ReportJob::Write(type, processes, out, snapshot, formatter, builder, progress)) {
        // A failure was already said through `progress`.
        if (progress.IsAborted()) return CliError::Failure("aborted; every file is as it was");
        return 1;
    }
    return 0;
}

} // namespace

const CliCommand CliCommands::kReport = {
    "report", "[PID...]", "a text, XML or HTML report of the processes, as the program writes it",
    "Without process ids every process is reported. The report is written under\n"
    "a temporary name and takes the place of FILE only when it is complete;\n"
    "Ctrl+C aborts it and leaves everything as it was. Progress is shown on\n"
    "standard error.\n"
    "\n"
    "Encodings: the text report in the system's ANSI code page, XML in UTF-8, the\n"
    "HTML pages in the ANSI code page (their charset says which).\n"
    "\n"
    "Exit status 1 when a process id is not running, the report cannot be\n"
    "written (the line names the file and the system's reason) or it was aborted.\n",
    {
        {"format", "FORMAT", "text|xml|html", "the report's format: text, xml or html", nullptr},
        {"out", "FILE", nullptr, "the report file (an HTML report puts its pages in FILE's folder, in "
                                 "<name>_files)", nullptr},
    },
    nullptr, 0, CliCommand::kAny, Run};
