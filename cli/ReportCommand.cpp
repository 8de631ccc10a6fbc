#include "CliCommands.h"
#include "ConsoleReportProgress.h"
#include "ProcessIdText.h"

#include "../app/UserSettingsFile.h"
#include "../report/HtmlReportWriter.h"
#include "../report/SnapshotModuleSource.h"
#include "../report/TextReportWriter.h"
#include "../report/XmlReportWriter.h"
#include "../sysinfo/FileFactsCache.h"
#include "../sysinfo/MachineDescription.h"
#include "../sysinfo/ProcessSnapshot.h"
#include "../sysinfo/ServiceList.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

int CliCommands::Report(const Args& args)
{
    std::string format, out;
    std::vector<uint32_t> pids;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--format" && i + 1 < args.size()) {
            format = args[++i];
        } else if (arg == "--out" && i + 1 < args.size()) {
            out = args[++i];
        } else if (!arg.empty() && arg[0] != '-') {
            uint32_t pid = 0;
            if (!ProcessIdText::Parse(arg, pid)) return UsageError("'" + arg + "' is not a process id");
            pids.push_back(pid);
        } else {
            return UsageError("unknown argument '" + arg + "' for 'report'");
        }
    }
    if (format != "text" && format != "xml" && format != "html")
        return UsageError("'report' needs --format text, xml or html");
    if (out.empty()) return UsageError("'report' needs --out FILE");

    ProcessSnapshot snapshot;
    if (!snapshot.EnumProcesses(nullptr, 0)) {
        std::fprintf(stderr, "tarnwick-cli: the process list could not be read\n");
        return 1;
    }
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
        if (!found) {
            std::fprintf(stderr, "tarnwick-cli: no process with id %lu\n", static_cast<unsigned long>(pid));
            return 1;
        }
    }
    std::vector<const ProcessItem*> processes;
    for (const ProcessItem& item : items) processes.push_back(&item);

    SnapshotModuleSource modules(snapshot);
    ReportContext context;
    char netWare[261] = {};
    MachineDescription::GetNetWareUserName(netWare, sizeof(netWare));
    context.strMachine = MachineDescription::ComputerName();
    context.strUser = MachineDescription::UserName();
    context.strOs = snapshot.Os().strDescription;
    context.StampNow();
    context.modules = &modules;
    context.builder = &builder;
    context.formatter = &formatter;

    std::unique_ptr<ReportWriter> writer;
    if (format == "xml")
        writer.reset(new XmlReportWriter);
    else if (format == "html")
        writer.reset(new HtmlReportWriter);
    else
        writer.reset(new TextReportWriter);
    ConsoleReportProgress progress;
    if (!writer->Write(processes, out, context, progress)) {
        if (progress.IsAborted()) std::fprintf(stderr, "tarnwick-cli: report aborted\n");
        return 1;
    }
    return 0;
}
