#pragma once

#include <windows.h>

// What the entry function hands the splash thread; owned by the entry
// function for the whole run, read-only for the thread except the fields the
// dialog fills (memory device context).
struct SplashDescriptor {
    HBITMAP hBitmap;
    int nWidth;
    int nHeight;
    HINSTANCE hInstance;
    const char* pszTemplate;
    char szFrameClass[260];
    char szFrameTitle[260];
    DWORD dwDisplayTime;
    HDC hMemoryDC;
    HANDLE hThread;
    DWORD dwThreadId;
};

// The splash window: the picture, topmost and centred on the desktop, for
// the display time; afterwards the main window of this process is brought
// to the foreground. Runs on its own thread while the program starts.
class ClSplashScreen {
public:
    // Starts the splash thread; false when it could not be started.
    static bool Start(SplashDescriptor& descriptor);
    // The thread: exit code 0, or -1 without a descriptor.
    static DWORD WINAPI ThreadProc(LPVOID descriptor);
    // The visible main window of process `processId` with that class and title.
    static HWND FindMainWindow(const char* className, const char* title, DWORD processId);

private:
    static const UINT_PTR kKeepOnTopTimer = 1;
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static void OnInitDialog(HWND dialog, SplashDescriptor& descriptor);
    static void OnPaint(HWND dialog, const SplashDescriptor& descriptor);
    static void OnKeepOnTop(HWND dialog);
    static void OnTimer(HWND dialog, SplashDescriptor& descriptor);
};
