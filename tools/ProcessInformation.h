#pragma once

#include "tools/EnvironmentTable.h"
#include "sysinfo/ProcessRecord.h"
#include "sysinfo/TopLevelWindowList.h"

#include <string>
#include <vector>

class ProcessSnapshot;

// What the process information window shows of one process: six values and
// the environment. The console tool prints the same.
class ProcessInformation {
public:
    enum Field { Description, ImagePathName, CommandLine, CurrentDirectory, DllPath, WindowTitle, FieldCount };

    // The window's edit controls, by field.
    static const int kEditIds[FieldCount];
    // The window's labels without the colon.
    static const char* Label(Field field);

    // Reads everything once. The remote values (current directory, DLL path,
    // environment) are read on the NT family (and on later systems); on the 9x family and for a
    // process that cannot be read they stay "Not Available" and empty.
    void Load(const ProcessRecord& record, ProcessSnapshot& snapshot, const TopLevelWindowList& windows);

    // The title of the process's windows, walked in list order: a visible window
    // with a title ends the walk; any other window leaves its title (or
    // `notAvailable`) and the walk goes on.
    static std::string PickWindowTitle(const std::vector<TopLevelWindowRecord>& windows, uint32_t processId,
                                       const std::string& notAvailable);
    // Each line feed as the two characters "\n".
    static std::string ShowLineFeeds(const std::string& text);

    std::string strValues[FieldCount];
    std::vector<EnvironmentTable::Row> environment;
};
