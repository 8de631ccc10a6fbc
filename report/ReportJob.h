#pragma once

#include "report/ReportProgress.h"
#include "app/settings/UserSettings.h"
#include "views/ProcessItem.h"

#include <cstdint>
#include <string>
#include <vector>

class ItemBuilder;
class ProcessSnapshot;
class ValueFormatter;

// One report as the program writes it: the machine facts and a snapshot for
// the modules around the writer of the chosen type.
class ReportJob {
public:
    // `type`: 2 XML, 3 HTML, any other value text (the save dialog's filter,
    // never the file name's extension). True when the report was written.
    // Takes a snapshot of its own: the window's may be replaced while the
    // writer pumps messages.
    static bool Write(uint32_t type, const std::vector<ProcessItem>& processes, const std::string& path,
                      const UserSettings& settings, ReportProgress& progress);
    // The same over the caller's snapshot, formatter and item builder.
    static bool Write(uint32_t type, const std::vector<const ProcessItem*>& processes, const std::string& path,
                      ProcessSnapshot& snapshot, const ValueFormatter& formatter, ItemBuilder& builder,
                      ReportProgress& progress);
};
