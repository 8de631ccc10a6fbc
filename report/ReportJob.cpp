#include "report/ReportJob.h"

#include "report/HtmlReportWriter.h"
#include "report/SnapshotModuleSource.h"
#include "report/TextReportWriter.h"
#include "report/XmlReportWriter.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/MachineDescription.h"
#include "sysinfo/ProcessSnapshot.h"

#include <memory>

bool ReportJob::Write(uint32_t type, const std::vector<ProcessItem>& processes, const std::string& path,
                      const UserSettings& settings, ReportProgress& progress)
{
    ProcessSnapshot snapshot;
    ValueFormatter formatter(settings, !snapshot.Os().Is9xFamily());
    ItemBuilder builder(formatter, FileFactsCache::Shared());
    std::vector<const ProcessItem*> list;
    for (const ProcessItem& item : processes) list.push_back(&item);
    return Write(type, list, path, snapshot, formatter, builder, progress);
}

bool ReportJob::Write(uint32_t type, const std::vector<const ProcessItem*>& processes, const std::string& path,
                      ProcessSnapshot& snapshot, const ValueFormatter& formatter, ItemBuilder& builder,
                      ReportProgress& progress)
{
    SnapshotModuleSource modules(snapshot);
    ReportContext context;
    context.strMachine = MachineDescription::ComputerName();
    context.strUser = MachineDescription::UserName();
    context.strOs = snapshot.Os().strDescription;
    context.StampNow();
    context.modules = &modules;
    context.builder = &builder;
    context.formatter = &formatter;

    std::unique_ptr<ReportWriter> writer;
    if (type == 2)
        writer.reset(new XmlReportWriter);
    else if (type == 3)
        writer.reset(new HtmlReportWriter);
    else
        writer.reset(new TextReportWriter);
    return writer->Write(processes, path, context, progress);
}
