#pragma once

#include <windows.h>
#include <string>
#include <vector>

// An exception the debuggee raised.
struct DebugException {
    DWORD code = 0;
    DWORD address = 0;
    DWORD threadId = 0;
    bool firstChance = true;
};

// Runs a program as the debugger of it (DEBUG_ONLY_THIS_PROCESS). Windows
// ties the debug loop to the thread that created the process, so the session
// creates it on a thread of its own, which runs the loop until the debuggee
// ends: the test thread stays free to act on the program meanwhile.
// The loop collects OUTPUT_DEBUG_STRING_EVENT lines, passes every exception
// on to the program (DBG_EXCEPTION_NOT_HANDLED; only the loader's initial
// breakpoint is swallowed) and keeps second-chance exceptions as crashes.
class DebugSession {
public:
    DebugSession();
    ~DebugSession();   // ends a debuggee still running
    DebugSession(const DebugSession&) = delete;
    DebugSession& operator=(const DebugSession&) = delete;

    bool Start(const std::string& commandLine, const std::string& directory);
    DWORD Pid() const { return dwPid; }
    // Process handle owned by the session.
    HANDLE Process() const { return hProcess; }

    std::vector<std::string> Lines(size_t since = 0) const;
    std::string Text(size_t since = 0) const;
    size_t Mark() const;
    bool WaitForLine(const std::string& text, DWORD timeoutMs, size_t since = 0) const;
    std::vector<DebugException> Exceptions() const;
    // Second-chance exceptions: the program crashed.
    std::vector<DebugException> Crashes() const;
    // Exit codes of the threads that ended before the process (not its last thread).
    std::vector<DWORD> ThreadExitCodes() const;
    bool Ended() const;

private:
    static DWORD WINAPI ThreadProc(void* context);
    void Run();
    void Record(const DEBUG_EVENT& event, DWORD& continueStatus);

    mutable CRITICAL_SECTION csData;
    std::vector<std::string> lines;
    std::vector<DebugException> exceptions;
    std::vector<DWORD> threadExitCodes;
    std::string strCommandLine;
    std::string strDirectory;
    HANDLE hThread;
    HANDLE hStarted;
    HANDLE hStop;
    HANDLE hProcess;
    HANDLE hDebuggeeProcess;   // the loop thread's own handle
    DWORD dwPid;
    bool bStartFailed;
    bool bInitialBreakpointSeen;
    volatile LONG nEnded;
};
