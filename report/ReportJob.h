#pragma once

#include "ReportProgress.h"
#include "../app/UserSettings.h"
#include "../views/ProcessItem.h"

#include <cstdint>
#include <string>
#include <vector>

// One report as the program writes it: the machine facts and a private
// snapshot for the modules around the writer of the chosen type.
class ReportJob {
public:
    // `type`: 2 XML, 3 HTML, any other value text (the save dialog's filter,
    // never the file name's extension). True when the report was written.
    static bool Write(uint32_t type, const std::vector<ProcessItem>& processes, const std::string& path,
                      const UserSettings& settings, ReportProgress& progress);
};
