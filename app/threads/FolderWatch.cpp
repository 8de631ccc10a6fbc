#include "app/threads/FolderWatch.h"

#include "sysinfo/KERNEL32Wrapper.h"

#include <cstring>

FolderWatch::FolderWatch()
    : hStopEvent(nullptr), hThread(nullptr), dwThreadId(0), hChange(INVALID_HANDLE_VALUE), szPath{}
{
    KERNEL32Wrapper kernel32;
    debugString.enable(kernel32.IsDebuggerPresent());
}

FolderWatch::~FolderWatch()
{
    Stop();
}

void FolderWatch::CloseAll()
{
    if (hThread) CloseHandle(hThread);
    if (hStopEvent) CloseHandle(hStopEvent);
    if (hChange != INVALID_HANDLE_VALUE) FindCloseChangeNotification(hChange);
    hThread = nullptr;
    hStopEvent = nullptr;
    hChange = INVALID_HANDLE_VALUE;
    dwThreadId = 0;
}

bool FolderWatch::Start(const char* path, bool bWatchSubtree, DWORD dwNotifyFilter, HWND hwndOwner)
{
    if (hThread || !path || !*path || !IsWindow(hwndOwner)) return false;
    const size_t length = std::strlen(path);
    if (length >= sizeof(szPath)) return false;
    std::memcpy(szPath, path, length + 1);

    hChange = FindFirstChangeNotificationA(szPath, bWatchSubtree ? TRUE : FALSE, dwNotifyFilter);
    if (hChange == INVALID_HANDLE_VALUE) {
        CloseAll();
        return false;
    }
    hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (hStopEvent) hThread = CreateThread(nullptr, 0, WatchThread, this, CREATE_SUSPENDED, &dwThreadId);
    if (!hThread) {
        CloseAll();
        return false;
    }
    ResumeThread(hThread);
    return true;
}

bool FolderWatch::Stop()
{
    if (!hThread) return false;
    RequestStop();
    if (WaitForSingleObject(hThread, kStopWaitMs) != WAIT_OBJECT_0) ForceStop();
    CloseAll();
    return true;
}

void FolderWatch::RequestStop()
{
    if (hStopEvent) SetEvent(hStopEvent);
}

void FolderWatch::ForceStop()
{
    if (!hThread) return;
    debugString.print("WatchThread(%lu): did not stop within %lu ms, terminating it\n",
                      static_cast<unsigned long>(dwThreadId), static_cast<unsigned long>(kStopWaitMs));
    TerminateThread(hThread, static_cast<DWORD>(-1));
    WaitForSingleObject(hThread, kStopWaitMs);
    CloseAll();
}

DWORD WINAPI FolderWatch::WatchThread(LPVOID parameter)
{
    return static_cast<FolderWatch*>(parameter)->Run();
}

DWORD FolderWatch::Run()
{
    const unsigned long id = GetCurrentThreadId();
    DWORD exitCode = 0;
    HANDLE handles[2] = {hStopEvent, hChange};
    for (;;) {
        const DWORD which = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 + 1) {
            debugString.print("WatchThread(%lu): Received change notification for '%s'!\n", id, szPath);
            if (!FindNextChangeNotification(hChange)) {
                debugString.print("WatchThread(%lu): FindNextChangeNotification on '%s' failed! "
                                  "Terminating thread...\n",
                                  id, szPath);
                exitCode = static_cast<DWORD>(-1);
                SetEvent(hStopEvent);
            }
            continue;
        }
        if (which != WAIT_OBJECT_0) exitCode = static_cast<DWORD>(-1);
        debugString.print("WatchThread(%lu): Terminating watch on '%s'!\n", id, szPath);
        return exitCode;
    }
}
