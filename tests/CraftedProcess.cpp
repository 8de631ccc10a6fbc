#include "tests/CraftedProcess.h"

#include "tests/TestPaths.h"

#include <cstdio>

std::wstring CraftedProcess::Wide(const std::string& ansi)
{
    if (ansi.empty()) return std::wstring();
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], units);
    return wide;
}

bool CraftedProcess::PlaceFile(const std::wstring& from, const std::wstring& to)
{
    // Every folder on the way, from the drive down.
    for (size_t at = to.find(L'\\', 3); at != std::wstring::npos; at = to.find(L'\\', at + 1))
        CreateDirectoryW(to.substr(0, at).c_str(), nullptr);
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool CraftedProcess::PlaceHelper(const std::wstring& path)
{
    return PlaceFile(Wide(TestPaths::BinFolder() + "tw-helper.exe"), path);
}

bool CraftedProcess::Start(const std::wstring& program, const std::wstring& commandLine,
                           const std::wstring& directory, const std::vector<std::wstring>& environment)
{
    static unsigned counter = 0;
    wchar_t eventName[64];
    swprintf(eventName, 64, L"tw-crafted-%lu-%u", GetCurrentProcessId(), ++counter);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName);

    std::vector<wchar_t> block;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p; p += wcslen(p) + 1) block.insert(block.end(), p, p + wcslen(p) + 1);
    FreeEnvironmentStringsW(current);
    std::vector<std::wstring> entries = environment;
    entries.push_back(std::wstring(L"TW_READY=") + eventName);
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                                        CREATE_UNICODE_ENVIRONMENT, block.data(),
                                        directory.empty() ? nullptr : directory.c_str(), &startup, &info);
    const bool ok = started && WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
    CloseHandle(ready);
    return ok;
}

CraftedProcess::~CraftedProcess()
{
    if (info.hProcess) {
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, 5000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
}
