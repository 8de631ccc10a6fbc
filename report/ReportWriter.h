#pragma once

#include "report/ModuleSource.h"
#include "report/ReportProgress.h"
#include "views/ItemBuilder.h"
#include "views/ModuleItem.h"
#include "views/ProcessItem.h"

#include "sysutils/StagedFiles.h"

#include <cstdio>
#include <string>
#include <vector>

// Everything a report needs besides the processes: the machine facts, the
// time stamp, the module source and the item builder.
struct ReportContext {
    std::string strMachine;
    std::string strUser;
    std::string strOs;
    std::string strDate;  // MM/DD/YY
    std::string strTime;  // HH:MM:SS
    ModuleSource* modules = nullptr;
    ItemBuilder* builder = nullptr;
    const ValueFormatter* formatter = nullptr;

    // Date and time as the C runtime's _strdate and _strtime give them.
    void StampNow();
};

// The frame every report format shares: opening the file, the walk over the
// processes and their modules, progress, abort and clean-up. The formats
// fill in the bytes.
class ReportWriter {
public:
    virtual ~ReportWriter() {}
    // True when the report was written completely; false after a failure
    // (already shown through `progress`) or an abort. The report is written
    // under a temporary name and takes the place of `path` only when it is
    // complete: after a failure or an abort every file that was there before
    // is left as it was.
    virtual bool Write(const std::vector<const ProcessItem*>& processes, const std::string& path,
                       ReportContext& context, ReportProgress& progress);

protected:
    virtual void WriteHeader(FILE* file, const ReportContext& context) = 0;
    virtual void WriteProcess(FILE* file, const ProcessItem& process) = 0;
    virtual void WriteModulesNotAvailable(FILE* file) = 0;
    virtual void WriteModule(FILE* file, const ModuleItem& module) = 0;
    virtual void WriteProcessEnd(FILE* file) = 0;
    virtual void WriteTrailer(FILE* file) = 0;

    // The modules of a process, enumerated afresh; false when there are none.
    static bool EnumerateModules(const ProcessItem& process, ReportContext& context,
                                 std::vector<ModuleRecord>& records);
    // Writes the enumerated modules of one process (import closure, items, progress).
    void WalkModules(const ProcessItem& process, const std::vector<ModuleRecord>& records, ReportContext& context,
                     ReportProgress& progress, void (*writeModule)(void* self, FILE* file, const ModuleItem& module),
                     void* self, FILE* file);

    // Opens a temporary file beside the report (text mode) and stages it for
    // `path`; on failure tells the user and returns null.
    static FILE* OpenReport(const std::string& path, StagedFiles& files, ReportProgress& progress);
    // Closes the report file and settles the staged files: moved into place
    // when the report is complete, removed after a failure or an abort.
    // True when the report is in place.
    static bool Finish(FILE* file, StagedFiles& files, ReportProgress& progress);
    // Loads the word for missing values and starts the progress over the processes.
    void BeginProgress(size_t processCount, ReportProgress& progress);

    // A field in its form for missing values when its text is that word.
    bool IsMissing(const std::string& text) const;
    static void Put(FILE* file, const std::string& text);

    std::string notAvailable;
};
