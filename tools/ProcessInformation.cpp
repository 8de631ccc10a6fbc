#include "tools/ProcessInformation.h"

#include "sysinfo/FileVersionInfo.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysinfo/VersionStringTables.h"
#include "views/ValueFormatter.h"

#include <cstring>

const int ProcessInformation::kEditIds[FieldCount] = {1110, 1143, 1148, 1142, 1141, 1144};

namespace {

bool IsUnknown(const std::string& text)
{
    return text == "...";
}

} // namespace

const char* ProcessInformation::Label(Field field)
{
    static const char* const labels[FieldCount] = {"Description",       "ImagePathName", "Commandline",
                                                   "Current Directory", "Dll Path",      "Window Title"};
    return field >= 0 && field < FieldCount ? labels[field] : "";
}

void ProcessInformation::Load(const ProcessRecord& record, ProcessSnapshot& snapshot,
                              const TopLevelWindowList& windows)
{
    const std::string notAvailable = ValueFormatter::NotAvailable();
    for (std::string& value : strValues) value = notAvailable;
    environment.clear();

    if (!IsUnknown(record.strPath) && !record.strPath.empty()) {
        char description[260] = {};
        if (!snapshot.Os().Is9xFamily()) {
            VersionStringTables version;
            if (version.Parse(record.strPath.c_str())) version.Find("FileDescription", description, sizeof(description));
        } else {
            FileVersionInfo version;
            std::string value = version.LoadAndQuery(record.strPath.c_str(), "FileDescription");
            std::strncpy(description, value.c_str(), sizeof(description) - 1);
        }
        if (description[0]) strValues[Description] = description;
        strValues[ImagePathName] = record.strPath;
    }
    if (!IsUnknown(record.strCommandLine)) strValues[CommandLine] = ShowLineFeeds(record.strCommandLine);

    if (!snapshot.Os().Is9xFamily()) {
        if (auto directory = snapshot.GetProcessCurrentDirectory(record.dwProcessId))
            strValues[CurrentDirectory] = *directory;
        if (auto dllPath = snapshot.GetProcessDllPath(record.dwProcessId)) strValues[DllPath] = *dllPath;
        if (auto block = snapshot.GetProcessEnvironment(record.dwProcessId))
            environment = EnvironmentTable::Split(*block);
    }
    strValues[WindowTitle] = PickWindowTitle(windows.Windows(), record.dwProcessId, notAvailable);
}

std::string ProcessInformation::PickWindowTitle(const std::vector<TopLevelWindowRecord>& windows,
                                                uint32_t processId, const std::string& notAvailable)
{
    std::string title = notAvailable;
    for (const TopLevelWindowRecord& window : windows) {
        if (window.dwProcessId != processId) continue;
        const bool visible = (window.dwStyle & WS_VISIBLE) != 0;
        if (visible && window.szTitle[0]) return window.szTitle;
        title = window.szTitle[0] ? window.szTitle : notAvailable;
    }
    return title;
}

std::string ProcessInformation::ShowLineFeeds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}
