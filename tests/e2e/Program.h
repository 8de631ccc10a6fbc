#pragma once

#include "tests/e2e/DebugSession.h"
#include "tests/e2e/Window.h"

#include <memory>
#include <string>
#include <vector>

// A program under test, started from the program folder (build/e2e/VER/).
// The object ends the program when it goes (terminated, so nothing is saved)
// and checks there for unexpected message boxes and, when debugged, crashes.
class Program {
public:
    explicit Program(const std::string& exeName = "tarnwick.exe");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The settings file "Tarnwick.ui" in the program folder.
    static std::string SettingsPath();
    static bool InstallSettings(const std::string& sourceFile);   // copies it there
    static bool WriteSettings(const std::vector<unsigned char>& bytes);
    static std::vector<unsigned char> ReadSettings();             // empty when there is none
    static bool SettingsExist();
    static bool RemoveSettings();

    // Starts "<folder>\<exe>" with the switches (current folder: the program
    // folder). settingsFile, when given, is copied to Tarnwick.ui first.
    bool Start(const std::string& switches = std::string(), const std::string& settingsFile = std::string());
    // The same, with this process as the program's debugger (see DebugSession).
    bool StartDebugged(const std::string& switches = std::string(),
                       const std::string& settingsFile = std::string());

    DWORD Pid() const { return dwPid; }
    HANDLE Handle() const { return hProcess; }
    const std::string& CommandLine() const { return strCommandLine; }
    bool IsRunning() const;
    bool WaitExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;                   // STILL_ACTIVE while running
    DWORD PriorityClass() const;

    // WM_CLOSE to its main window; true when the program ended by itself in
    // time, else it is terminated (exit code 1) and the answer is false.
    bool Close(DWORD timeoutMs = 10000);
    void Kill(UINT exitCode = 1);

    // Visible top-level windows of the program.
    std::vector<Window> Windows() const;
    // Its first visible top-level window that is not a dialog.
    Window MainWindow() const;
    Window WaitForWindow(const std::string& className, const std::string& title = std::string(),
                         DWORD timeoutMs = 15000) const;

    // Debug output: from the debugger when started debugged, else from DBWIN.
    std::vector<std::string> DebugLines(size_t since = 0) const;
    std::string DebugText(size_t since = 0) const;
    size_t DebugMark() const;
    bool WaitForDebugLine(const std::string& text, DWORD timeoutMs = 10000, size_t since = 0) const;
    // The debugger when started debugged, else null.
    DebugSession* Debugger() const { return pDebugger.get(); }
    // Ended by an exception: a second-chance exception seen by the debugger,
    // or an exit code like 0xC0000005 (Wine's crash handler ends it so).
    bool Crashed() const;
    // A test that makes the program crash on purpose: no failure for it at the end.
    void ExpectCrash() { bCrashExpected = true; }

private:
    bool Prepare(const std::string& switches, const std::string& settingsFile);
    void CheckEnd();

    std::string strExe;
    std::string strCommandLine;
    HANDLE hProcess;
    DWORD dwPid;
    size_t nDebugStart;
    bool bCrashExpected = false;
    std::unique_ptr<DebugSession> pDebugger;
};
