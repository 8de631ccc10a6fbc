#pragma once

#include <windows.h>
#include <string>

// A tw-helper process started by a test and ended with it.
class HelperProcess {
public:
    // extra: arguments after "wait EVENT"; environment: extra "NAME=value"
    // added to the inherited environment; directory: its current directory.
    bool Start(const std::string& extra, const std::string& environmentEntry = std::string(),
               const std::string& directory = std::string());
    ~HelperProcess();

    DWORD Pid() const { return info.dwProcessId; }
    HANDLE Handle() const { return info.hProcess; }
    bool IsRunning() const { return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
    // Terminates the helper now and lets go of it.
    void End();
    const std::string& CommandLine() const { return commandLine; }
    // Waits for the event named in the command line.
    static bool WaitReady(const std::string& eventName, HANDLE event);
    static std::string NewEventName();

    std::string readyEvent;

private:
    PROCESS_INFORMATION info = {};
    std::string commandLine;
};

// The console tool, quoted, under the same Windows version as this test
// program (Wine picks the version by program name: a copy named like ours).
std::string ConsoleTool();

// The Windows version this test program poses as ("winxp", "win98", ...;
// "" under Wine's default version), from its name.
std::string PosedVersion();

// Runs a program to its end and returns what it wrote to standard output
// (and to standard error, when asked for).
bool RunAndCapture(const std::string& commandLine, std::string& output, DWORD& exitCode);
bool RunAndCapture(const std::string& commandLine, std::string& output, std::string& errors, DWORD& exitCode);

// Waits until no process of that id can be opened any more (the system has
// released the id); false after `timeout` milliseconds.
bool WaitForIdReleased(DWORD pid, DWORD timeout);
