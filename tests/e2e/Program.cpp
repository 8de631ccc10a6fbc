#include "tests/e2e/Program.h"

#include "tests/e2e/BoxGuard.h"
#include "tests/e2e/DebugOutputListener.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/E2eLog.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/Wait.h"

#include <cstdio>

Program::Program(const std::string& exeName)
    : strExe(exeName), hProcess(nullptr), dwPid(0), nDebugStart(0)
{
}

Program::~Program()
{
    CheckEnd();
    if (IsRunning()) Kill();
    pDebugger.reset();
    if (hProcess) CloseHandle(hProcess);
}

void Program::CheckEnd()
{
    if (!hProcess) return;
    BoxGuard::Check();
    if (bCrashExpected) return;
    if (pDebugger) {
        for (const DebugException& crash : pDebugger->Crashes())
            E2eLog::Fail(Format("%s crashed: exception 0x%08lX at 0x%08lX (thread %lu)", strExe.c_str(),
                                static_cast<unsigned long>(crash.code), static_cast<unsigned long>(crash.address),
                                static_cast<unsigned long>(crash.threadId)));
    } else if (Crashed()) {
        E2eLog::Fail(Format("%s crashed: exit code 0x%08lX", strExe.c_str(), static_cast<unsigned long>(ExitCode())));
    }
}

bool Program::Crashed() const
{
    if (pDebugger && !pDebugger->Crashes().empty()) return true;
    const DWORD code = ExitCode();
    return !IsRunning() && (code & 0xF0000000) == 0xC0000000;
}

std::string Program::SettingsPath()
{
    return E2ePaths::ProgramPath("Tarnwick.ui");
}

bool Program::InstallSettings(const std::string& sourceFile)
{
    return CopyFileA(sourceFile.c_str(), SettingsPath().c_str(), FALSE) != FALSE;
}

bool Program::WriteSettings(const std::vector<unsigned char>& bytes)
{
    // Known settings start without an earlier test's live settings beside them.
    DeleteFileA((E2ePaths::ProgramFolder() + "\\Tarnwick.live").c_str());
    FILE* file = std::fopen(SettingsPath().c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::vector<unsigned char> Program::ReadSettings()
{
    std::vector<unsigned char> bytes;
    FILE* file = std::fopen(SettingsPath().c_str(), "rb");
    if (!file) return bytes;
    unsigned char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

bool Program::SettingsExist()
{
    return GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Program::RemoveSettings()
{
    return DeleteFileA(SettingsPath().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool Program::Prepare(const std::string& switches, const std::string& settingsFile)
{
    if (hProcess) {
        E2eLog::Fail("Program::Start: " + strExe + " was started already");
        return false;
    }
    if (!settingsFile.empty() && !InstallSettings(settingsFile)) {
        E2eLog::Fail("Program::Start: cannot copy the settings file " + settingsFile);
        return false;
    }
    strCommandLine = "\"" + E2ePaths::ProgramPath(strExe) + "\"" + (switches.empty() ? "" : " ") + switches;
    return true;
}

bool Program::Start(const std::string& switches, const std::string& settingsFile)
{
    if (!Prepare(switches, settingsFile)) return false;
    DebugOutputListener& listener = DebugOutputListener::Instance();
    if (!listener.IsRunning()) listener.Start();
    nDebugStart = listener.Mark();

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string line = strCommandLine;
    const std::string folder = E2ePaths::ProgramFolder();
    BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info);
    // 64-bit Wine posing as a 9x system now and then fails a start with an
    // internal error; a second start then works.
    if (!started && GetLastError() == ERROR_INTERNAL_ERROR) {
        E2eLog::Note(Format("Program::Start: %s: internal error, started again", strCommandLine.c_str()));
        line = strCommandLine;
        started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info);
    }
    if (!started) {
        E2eLog::Fail(Format("Program::Start: cannot start %s (error %lu)", strCommandLine.c_str(), GetLastError()));
        return false;
    }
    CloseHandle(info.hThread);
    hProcess = info.hProcess;
    dwPid = info.dwProcessId;
    return true;
}

bool Program::StartDebugged(const std::string& switches, const std::string& settingsFile)
{
    if (!Prepare(switches, settingsFile)) return false;
    pDebugger.reset(new DebugSession());
    if (!pDebugger->Start(strCommandLine, E2ePaths::ProgramFolder())) {
        E2eLog::Fail("Program::StartDebugged: cannot start " + strCommandLine);
        pDebugger.reset();
        return false;
    }
    DuplicateHandle(GetCurrentProcess(), pDebugger->Process(), GetCurrentProcess(), &hProcess, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    dwPid = pDebugger->Pid();
    nDebugStart = 0;
    return true;
}

bool Program::IsRunning() const
{
    return hProcess && WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitExit(DWORD timeoutMs) const
{
    if (!hProcess) return true;
    return Wait::Until([this] { return !IsRunning(); }, timeoutMs);
}

DWORD Program::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (hProcess) GetExitCodeProcess(hProcess, &code);
    return code;
}

DWORD Program::PriorityClass() const
{
    return hProcess ? GetPriorityClass(hProcess) : 0;
}

bool Program::Close(DWORD timeoutMs)
{
    if (!IsRunning()) return true;
    const DWORD start = GetTickCount();
    Window main = MainWindow();
    if (!main) {
        E2eLog::Note(Format("Program::Close: %s (pid %lu) has no window to close; terminated", strExe.c_str(),
                            static_cast<unsigned long>(dwPid)));
        Kill();
        return false;
    }
    main.Close();
    if (WaitExit(timeoutMs)) return true;
    E2eLog::Note(Format("Program::Close: %s did not end in %lu ms after WM_CLOSE to %s; terminated", strExe.c_str(),
                        static_cast<unsigned long>(GetTickCount() - start), main.Describe().c_str()));
    Kill();
    return false;
}

void Program::Kill(UINT exitCode)
{
    if (!IsRunning()) return;
    TerminateProcess(hProcess, exitCode);
    WaitForSingleObject(hProcess, 5000);
    if (pDebugger) Wait::Until([this] { return pDebugger->Ended(); }, 5000);
}

std::vector<Window> Program::Windows() const
{
    return dwPid ? Desktop::OfProcess(dwPid) : std::vector<Window>();
}

Window Program::MainWindow() const
{
    std::vector<Window> windows = Windows();
    for (const Window& window : windows)
        if (window.ClassName() != "#32770" && !window.Owner()) return window;
    return windows.empty() ? Window() : windows.front();
}

Window Program::WaitForWindow(const std::string& className, const std::string& title, DWORD timeoutMs) const
{
    if (!dwPid) return Window();
    return Desktop::WaitFor(WindowQuery(className, title, dwPid), timeoutMs);
}

std::vector<std::string> Program::DebugLines(size_t since) const
{
    if (pDebugger) return pDebugger->Lines(since);
    std::vector<std::string> texts;
    for (const DebugLine& line : DebugOutputListener::Instance().Lines(dwPid, nDebugStart + since))
        texts.push_back(line.text);
    return texts;
}

std::string Program::DebugText(size_t since) const
{
    std::string text;
    for (const std::string& line : DebugLines(since)) text += line;
    return text;
}

size_t Program::DebugMark() const
{
    if (pDebugger) return pDebugger->Mark();
    return DebugOutputListener::Instance().Mark() - nDebugStart;
}

bool Program::WaitForDebugLine(const std::string& text, DWORD timeoutMs, size_t since) const
{
    return Wait::Until(
        [&] {
            for (const std::string& line : DebugLines(since))
                if (line.find(text) != std::string::npos) return true;
            return false;
        },
        timeoutMs);
}
