#pragma once

#include <windows.h>
#include <string>
#include <vector>

// Starts a program the way an attacker would: an exact command line (any
// characters, line breaks included), environment and current directory,
// through CreateProcessW so that characters outside the ANSI code page
// survive. The program is a copy of tw-helper, which signals when it is
// ready (TW_READY) after loading the DLL named in TW_LOAD. Ended with the test.
class CraftedProcess {
public:
    // `environment`: extra "NAME=value" entries added to this process's own.
    bool Start(const std::wstring& program, const std::wstring& commandLine,
               const std::wstring& directory = std::wstring(),
               const std::vector<std::wstring>& environment = std::vector<std::wstring>());
    ~CraftedProcess();

    DWORD Pid() const { return info.dwProcessId; }

    // Copies tw-helper.exe to `path` (creating its folders); false on failure.
    static bool PlaceHelper(const std::wstring& path);
    // Copies a file, creating the target's folders.
    static bool PlaceFile(const std::wstring& from, const std::wstring& to);
    static std::wstring Wide(const std::string& ansi);

private:
    PROCESS_INFORMATION info = {};
};
