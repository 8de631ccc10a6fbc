#pragma once

#include <string>

// Folders and the Windows version pose of the current run. The programs under
// test run from the folder of tw-e2e.exe (build/e2e/VER/, a fresh copy of
// build/bin made by run-e2e.sh).
class E2ePaths {
public:
    // Folder of tw-e2e.exe, with a trailing "\".
    static std::string ProgramFolder();
    static std::string ProgramPath(const std::string& fileName);
    // Where screenshots go (created on demand), with a trailing "\".
    static std::string ScreenshotFolder();
    // The pose run-e2e.sh was started with ("winxp", "win98", ...), from the
    // environment variable TW_E2E_VER; empty when run by hand without it.
    static std::string Version();
    // True when this process (and so the programs under test) poses as 9x.
    static bool IsNineX();
};
