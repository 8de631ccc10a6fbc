#pragma once

#include <windows.h>
#include <string>
#include <vector>

// One line a process wrote with OutputDebugString.
struct DebugLine {
    DWORD pid = 0;
    std::string text;
};

// Collects OutputDebugString lines of all processes through the DBWIN_BUFFER
// shared memory, on a thread of its own. Wine allows one such listener per
// wineserver, and a program only reaches one that existed before its first
// OutputDebugString: tw-e2e starts it at start-up, before any target.
// Programs run under DebugSession send their lines to it instead.
class DebugOutputListener {
public:
    static DebugOutputListener& Instance();

    // Creates the DBWIN objects and the thread; false when another listener
    // already holds them.
    bool Start();
    void Stop();
    bool IsRunning() const { return hThread != nullptr; }

    // Lines of one process (pid 0: of all), from the line with number `since` on.
    std::vector<DebugLine> Lines(DWORD pid = 0, size_t since = 0) const;
    std::string Text(DWORD pid, size_t since = 0) const;   // the lines joined
    // Number of lines so far: pass as `since` to look only at later lines.
    size_t Mark() const;
    // Waits for a line of the process containing the text.
    bool WaitFor(DWORD pid, const std::string& text, DWORD timeoutMs, size_t since = 0) const;

private:
    DebugOutputListener();
    ~DebugOutputListener();
    static DWORD WINAPI ThreadProc(void* context);
    void Run();

    mutable CRITICAL_SECTION csLines;
    std::vector<DebugLine> lines;
    HANDLE hBufferReady;
    HANDLE hDataReady;
    HANDLE hMapping;
    HANDLE hStop;
    HANDLE hThread;
    const char* pView;
};
