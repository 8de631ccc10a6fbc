#pragma once

#include <windows.h>

#include "app/threads/BackgroundWorker.h"
#include "app/startup/ClDebugString.h"

// Waits on its own thread for change notifications of one folder and
// reports them on the debug channel; it takes no other action.
class FolderWatch : public BackgroundWorker {
public:
    // The trace is on when a debugger is attached.
    FolderWatch();
    ~FolderWatch() override;

    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    void EnableTrace(bool enabled) { debugString.enable(enabled); }

    // False (and nothing left open) for an empty path or one longer than 259
    // characters, an owner that is not a window, a missing folder, or when the
    // event or the thread cannot be made.
    bool Start(const char* path, bool bWatchSubtree, DWORD dwNotifyFilter, HWND hwndOwner);
    // Signals the thread, waits at most 2000 ms, terminates it as a last
    // resort. False when no thread runs.
    bool Stop();

    // The main window's stop protocol (all workers at once).
    void RequestStop() override;
    HANDLE ThreadHandle() const override { return hThread; }
    void ForceStop() override;

    const char* GetPath() const { return szPath; }

    static const DWORD kStopWaitMs = 2000;

private:
    static DWORD WINAPI WatchThread(LPVOID parameter);
    DWORD Run();
    void CloseAll();

    HANDLE hStopEvent;
    HANDLE hThread;
    DWORD dwThreadId;
    HANDLE hChange;
    char szPath[MAX_PATH];
    ClDebugString debugString;
};
