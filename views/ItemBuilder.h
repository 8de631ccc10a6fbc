#pragma once

#include "views/ModuleItem.h"
#include "views/ProcessItem.h"
#include "views/ValueFormatter.h"
#include "sysinfo/KERNEL32Wrapper.h"
#include "sysinfo/ModuleRecord.h"
#include "sysinfo/ProcessRecord.h"

#include <commctrl.h>
#include <vector>

class FileFactsCache;
class FileIconSource;
class ImportClosure;
class ServiceList;

// Turns process and module records into the display records.
class ItemBuilder {
public:
    // Icons go into `imageList` when one is given (positions 4 to 7 hold the
    // stock process, module, relocated module and service pictures).
    ItemBuilder(const ValueFormatter& formatter, FileFactsCache& cache, HIMAGELIST imageList = nullptr);
    // Icons from `icons` (which may keep them between refreshes).
    ItemBuilder(const ValueFormatter& formatter, FileFactsCache& cache, FileIconSource& icons);

    // `previous`: the item of the same process (same id and creation time)
    // from the last build, whose file facts are taken over: a running
    // program's file cannot change.
    void BuildProcessItem(ProcessItem& item, const ProcessRecord& record, const ServiceList& services,
                          bool withIcon, const ProcessItem* previous = nullptr);
    // The figures that change while a process runs, from a newer record of
    // the same process (and its load since the last sample, or kNone): only
    // threads, handles, priority, load, processor time and memory are
    // touched. Returns the process column ids whose text or order changed.
    std::vector<uint32_t> UpdateProcessItem(ProcessItem& item, const ProcessRecord& record, int32_t loadTenths) const;

    // `closureLoaded`: the import closure of the process's executable was built without error.
    void BuildModuleItem(ModuleItem& item, const ModuleRecord& record, const ImportClosure* closure,
                         bool closureLoaded, bool withIcon);

    // The service rule: a service's lower-cased, unquoted binary path occurs in
    // the lower-cased, unquoted command line.
    static bool IsServiceCommandLine(const std::string& commandLine, const ServiceList& services);

    // The window's thread reads no file over the network: version texts,
    // icons and long names of such files stay missing.
    void SetLocalFilesOnly(bool on) { bLocalFilesOnly = on; }

private:
    void SetFigures(ProcessItem& item, const ProcessRecord& record, int32_t loadTenths) const;
    int AddFileIcon(const std::string& path);
    bool Skips(const std::string& path) const;

    const ValueFormatter& formatter;
    FileFactsCache& cache;
    HIMAGELIST imageList;
    FileIconSource* icons;
    KERNEL32Wrapper kernel32;
    bool bLocalFilesOnly = false;
};
