#include "tests/HelperProcess.h"

#include "tests/TestPaths.h"

#include <cstdio>
#include <cstring>
#include <vector>

std::string HelperProcess::NewEventName()
{
    static unsigned counter = 0;
    char name[64];
    snprintf(name, sizeof(name), "tw-ready-%lu-%u", GetCurrentProcessId(), ++counter);
    return name;
}

bool HelperProcess::Start(const std::string& extra, const std::string& environmentEntry,
                          const std::string& directory)
{
    readyEvent = NewEventName();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, readyEvent.c_str());
    commandLine = "\"" + TestPaths::BinFolder() + "tw-helper.exe\" wait " + readyEvent + (extra.empty() ? "" : " ")
                + extra;

    std::vector<char> environment;
    if (!environmentEntry.empty()) {
        char* current = GetEnvironmentStringsA();
        for (const char* p = current; *p; p += std::strlen(p) + 1) environment.insert(environment.end(), p, p + std::strlen(p) + 1);
        FreeEnvironmentStringsA(current);
        environment.insert(environment.end(), environmentEntry.begin(), environmentEntry.end());
        environment.push_back('\0');
        environment.push_back('\0');
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string mutableLine = commandLine;
    BOOL ok = CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0,
                             environment.empty() ? nullptr : environment.data(),
                             directory.empty() ? nullptr : directory.c_str(), &startup, &info);
    bool ready = ok && WaitReady(readyEvent, event);
    CloseHandle(event);
    return ready;
}

bool HelperProcess::WaitReady(const std::string&, HANDLE event)
{
    return WaitForSingleObject(event, 20000) == WAIT_OBJECT_0;
}

HelperProcess::~HelperProcess()
{
    End();
}

void HelperProcess::End()
{
    if (!info.hProcess) return;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    info.hProcess = info.hThread = nullptr;
}

bool WaitForIdReleased(DWORD pid, DWORD timeout)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (!process) return true;
        CloseHandle(process);
        if (GetTickCount() - start > timeout) return false;
        Sleep(50);
    }
}

namespace {

bool Run(const std::string& commandLine, std::string& output, std::string* errors, DWORD& exitCode)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    // Standard error goes to a file: two pipes read one after the other could stall.
    HANDLE errorFile = INVALID_HANDLE_VALUE;
    char errorPath[MAX_PATH] = {};
    if (errors) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "twe", 0, errorPath);
        errorFile = CreateFileA(errorPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = errorFile != INVALID_HANDLE_VALUE ? errorFile : GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        if (errorFile != INVALID_HANDLE_VALUE) CloseHandle(errorFile);
        return false;
    }
    CloseHandle(writeEnd);
    output.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got) output.append(buffer, got);
    CloseHandle(readEnd);
    WaitForSingleObject(info.hProcess, 30000);
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    if (errors) {
        errors->clear();
        if (errorFile != INVALID_HANDLE_VALUE) {
            SetFilePointer(errorFile, 0, nullptr, FILE_BEGIN);
            while (ReadFile(errorFile, buffer, sizeof(buffer), &got, nullptr) && got) errors->append(buffer, got);
            CloseHandle(errorFile);
        }
    }
    return true;
}

} // namespace

bool RunAndCapture(const std::string& commandLine, std::string& output, DWORD& exitCode)
{
    return Run(commandLine, output, nullptr, exitCode);
}

bool RunAndCapture(const std::string& commandLine, std::string& output, std::string& errors, DWORD& exitCode)
{
    return Run(commandLine, output, &errors, exitCode);
}

std::string PosedVersion()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string name = std::strrchr(self, '\\') + 1;
    const std::string stem = "tarnwick-tests-";
    if (name.compare(0, stem.size(), stem) != 0 || name.size() < stem.size() + 5) return std::string();
    return name.substr(stem.size(), name.size() - stem.size() - 4);
}

std::string ConsoleTool()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string name = std::strrchr(self, '\\') + 1;
    std::string suffix;
    const std::string stem = "tarnwick-tests";
    if (name.compare(0, stem.size(), stem) == 0) suffix = name.substr(stem.size());  // "-win98.exe" or ".exe"
    const std::string original = TestPaths::BinFolder() + "tarnwick-cli.exe";
    if (suffix.empty() || suffix == ".exe") return "\"" + original + "\"";
    const std::string copy = TestPaths::BinFolder() + "tarnwick-cli" + suffix;
    CopyFileA(original.c_str(), copy.c_str(), FALSE);
    const std::string version = suffix.substr(1, suffix.size() - 5);
    HKEY key;
    const std::string keyName = "Software\\Wine\\AppDefaults\\tarnwick-cli" + suffix;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        == ERROR_SUCCESS) {
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>(version.size() + 1));
        RegCloseKey(key);
    }
    return "\"" + copy + "\"";
}

