#include "launchers/ApplicationLauncher.h"

#include "launchers/ApplicationCommandLine.h"

#include "app/menus/StringTable.h"
#include "image/MappedImageFile.h"
#include "tools/ClTarnwickConsolePipeDlg.h"

#include <vector>

namespace {

const uint16_t kConsoleSubsystem = 3;

void ReportFailure(HWND owner, const char* description)
{
    const std::string text = StringTable::Format(55, {description});
    MessageBoxA(owner, text.c_str(), StringTable::Load(1).c_str(), MB_OK | MB_ICONSTOP);
}

} // namespace

bool ApplicationLauncher::IsConsoleProgram(const std::string& path)
{
    MappedImageFile file;
    file.open(path.c_str());
    uint16_t subsystem = 0;
    return file.IsPE() && file.View().Subsystem(subsystem) && subsystem == kConsoleSubsystem;
}

ApplicationLauncher::Outcome ApplicationLauncher::LaunchApplication(const std::vector<UserApplication>& applications,
                                                                    UINT id, const std::string& modulePath,
                                                                    HWND owner, bool tooltips)
{
    if (id < 1 || id > applications.size() || modulePath.empty()) return Ignored;
    const UserApplication entry = applications[id - 1];

    if (IsConsoleProgram(entry.szApplication)) {
        std::string commandLine;
        if (!ApplicationCommandLine::ForConsole(entry.szApplication, entry.szArguments, modulePath, commandLine)) {
            ReportFailure(owner, entry.szDescription);
            return Failed;
        }
        ClTarnwickConsolePipeDlg console;
        console.Show(owner, commandLine, entry.szStartPath, tooltips);
        return RanInConsole;
    }

    std::string commandLine;
    if (!ApplicationCommandLine::ForProcess(entry.szApplication, entry.szArguments, modulePath, commandLine)) {
        ReportFailure(owner, entry.szDescription);
        return Failed;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(entry.szApplication, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        entry.szStartPath[0] ? entry.szStartPath : nullptr, &startup, &process)) {
        ReportFailure(owner, entry.szDescription);
        return Failed;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return Started;
}
