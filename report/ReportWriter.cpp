#include "report/ReportWriter.h"

#include "app/menus/StringTable.h"
#include "image/ImportClosure.h"
#include "sysinfo/DebugOutput.h"
#include "sysinfo/NativeProcessList.h"

#include <windows.h>
#include <ctime>  // _strdate, _strtime

void ReportContext::StampNow()
{
    char date[16] = {}, time[16] = {};
    _strdate(date);
    _strtime(time);
    strDate = date;
    strTime = time;
}

FILE* ReportWriter::OpenReport(const std::string& path, StagedFiles& files, ReportProgress& progress)
{
    const std::string temporary = files.Stage(path);
    FILE* file = temporary.empty() ? nullptr : std::fopen(temporary.c_str(), "wt");
    if (!file) {
        const unsigned long error = temporary.empty() ? files.LastError() : GetLastError();
        files.Discard();
        progress.ShowFileError(StringTable::LoadOwn(79), path, error);
    }
    return file;
}

bool ReportWriter::Finish(FILE* file, StagedFiles& files, ReportProgress& progress)
{
    const bool writeFailed = std::ferror(file) != 0;
    const bool closeFailed = std::fclose(file) != 0;
    const unsigned long writeError = writeFailed || closeFailed ? GetLastError() : 0;
    const std::string report = files.FirstTarget();
    if (progress.IsAborted()) {
        files.Discard();
        return false;
    }
    if (writeFailed || closeFailed || !files.Commit()) {
        const bool committing = !writeFailed && !closeFailed;
        const unsigned long error = committing ? files.LastError() : writeError;
        const std::string path = committing ? files.FailedTarget() : report;
        files.Discard();
        progress.ShowFileError(StringTable::LoadOwn(79), path, error);
        return false;
    }
    return true;
}

void ReportWriter::BeginProgress(size_t processCount, ReportProgress& progress)
{
    notAvailable = StringTable::Load(19);
    progress.Begin();
    progress.SetRange(ReportProgress::Processes, 0, static_cast<uint32_t>(processCount));
    progress.SetStep(ReportProgress::Processes, 1);
    progress.SetPosition(ReportProgress::Processes, 0);
}

bool ReportWriter::IsMissing(const std::string& text) const
{
    return !notAvailable.empty() && text == notAvailable;
}

void ReportWriter::Put(FILE* file, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), file);
}

bool ReportWriter::EnumerateModules(const ProcessItem& process, ReportContext& context,
                                    std::vector<ModuleRecord>& records)
{
    records.clear();
    return context.modules && context.modules->Enumerate(process.dwPid, (static_cast<uint64_t>(process.ftCreated.dwHighDateTime) << 32)
                                                                   | process.ftCreated.dwLowDateTime,
                                                               records) && !records.empty();
}

void ReportWriter::WalkModules(const ProcessItem& process, const std::vector<ModuleRecord>& records,
                               ReportContext& context, ReportProgress& progress,
                               void (*writeModule)(void*, FILE*, const ModuleItem&), void* self, FILE* file)
{
    progress.SetRange(ReportProgress::Modules, 0, static_cast<uint32_t>(records.size()));
    progress.SetStep(ReportProgress::Modules, 1);
    progress.SetPosition(ReportProgress::Modules, 0);
    if (context.formatter) progress.SetProcessText(context.formatter->ProcessCaption(process.strName, process.dwPid));

    ImportClosure closure;
    bool closureLoaded = false;
    for (const ModuleRecord& record : records)
        if (NativeProcessList::LooksExecutable(record.strName)) {
            closureLoaded = closure.walk(record.strPath.c_str());
            if (!closureLoaded) DebugOutput::Write("Loading dependency-list failed!\n");
            break;
        }

    for (const ModuleRecord& record : records) {
        if (progress.IsAborted()) break;
        progress.SetModuleText(record.strName);
        ModuleItem item;
        context.builder->BuildModuleItem(item, record, &closure, closureLoaded, false);
        writeModule(self, file, item);
        progress.Step(ReportProgress::Modules);
        progress.Pump();
    }
}

bool ReportWriter::Write(const std::vector<const ProcessItem*>& processes, const std::string& path,
                         ReportContext& context, ReportProgress& progress)
{
    StagedFiles files;
    FILE* file = OpenReport(path, files, progress);
    if (!file) return false;
    BeginProgress(processes.size(), progress);

    WriteHeader(file, context);
    for (const ProcessItem* process : processes) {
        if (progress.IsAborted()) break;
        if (!process) continue;
        WriteProcess(file, *process);
        std::vector<ModuleRecord> records;
        if (EnumerateModules(*process, context, records))
            WalkModules(
                *process, records, context, progress,
                [](void* self, FILE* out, const ModuleItem& module) {
                    static_cast<ReportWriter*>(self)->WriteModule(out, module);
                },
                this, file);
        else
            WriteModulesNotAvailable(file);
        WriteProcessEnd(file);
        progress.Step(ReportProgress::Processes);
        progress.Pump();
    }
    WriteTrailer(file);
    progress.End();
    return Finish(file, files, progress);
}
