#pragma once

#include "launchers/UserApplication.h"

#include <windows.h>
#include <string>
#include <vector>

// Starts a user-defined application on a module: console programs in the
// Console window, others as processes of their own.
class ApplicationLauncher {
public:
    enum Outcome { Ignored, Started, RanInConsole, Failed };

    // id: the menu command (1 for the first entry). Nothing happens for a bad
    // id or an empty module path; a failure shows "Failed to start "%s" !".
    static Outcome LaunchApplication(const std::vector<UserApplication>& applications, UINT id,
                                     const std::string& modulePath, HWND owner, bool tooltips);
    // The program's PE headers say console subsystem (3).
    static bool IsConsoleProgram(const std::string& path);
};
