#include "ReportJob.h"

#include "HtmlReportWriter.h"
#include "SnapshotModuleSource.h"
#include "TextReportWriter.h"
#include "XmlReportWriter.h"
#include "../sysinfo/FileFactsCache.h"
#include "../sysinfo/MachineDescription.h"
#include "../sysinfo/ProcessSnapshot.h"

#include <memory>

bool ReportJob::Write(uint32_t type, const std::vector<ProcessItem>& processes, const std::string& path,
                      const UserSettings& settings, ReportProgress& progress)
{
    // A snapshot of our own: the views' snapshot may be replaced while the
    // writer pumps messages.
    ProcessSnapshot snapshot;
    SnapshotModuleSource modules(snapshot);
    ValueFormatter formatter(settings, !snapshot.Os().Is9xFamily());
    ItemBuilder builder(formatter, FileFactsCache::Shared());

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

    std::vector<const ProcessItem*> list;
    for (const ProcessItem& item : processes) list.push_back(&item);
    return writer->Write(list, path, context, progress);
}
