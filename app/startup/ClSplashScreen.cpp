#include "app/startup/ClSplashScreen.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <cstring>

namespace {
struct WindowSearch {
    const char* className;
    const char* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId) return TRUE;
    char name[260] = {};
    char title[260] = {};
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, title, sizeof(title));
    if (std::strcmp(name, search.className) != 0 || std::strcmp(title, search.title) != 0) return TRUE;
    search.found = window;
    return FALSE;
}
} // namespace

bool ClSplashScreen::Start(SplashDescriptor& descriptor)
{
    descriptor.hThread = CreateThread(nullptr, 0, ThreadProc, &descriptor, 0, &descriptor.dwThreadId);
    return descriptor.hThread != nullptr;
}

HWND ClSplashScreen::FindMainWindow(const char* className, const char* title, DWORD processId)
{
    WindowSearch search = {className, title, processId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD WINAPI ClSplashScreen::ThreadProc(LPVOID parameter)
{
    SplashDescriptor* descriptor = static_cast<SplashDescriptor*>(parameter);
    if (!descriptor) return static_cast<DWORD>(-1);
    DialogBoxParamA(descriptor->hInstance, descriptor->pszTemplate, nullptr, DialogProc,
                    reinterpret_cast<LPARAM>(descriptor));
    // Only this copy's window: a second running copy must not raise the first one.
    HWND main = FindMainWindow(descriptor->szFrameClass, descriptor->szFrameTitle, GetCurrentProcessId());
    if (main) SwitchToWindow(main);
    return 0;
}

INT_PTR CALLBACK ClSplashScreen::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    SplashDescriptor* descriptor = reinterpret_cast<SplashDescriptor*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        OnInitDialog(dialog, *reinterpret_cast<SplashDescriptor*>(lParam));
        return FALSE;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        if (descriptor) OnPaint(dialog, *descriptor);
        return TRUE;
    case WM_TIMER:
        if (descriptor && wParam == reinterpret_cast<WPARAM>(dialog)) OnTimer(dialog, *descriptor);
        else if (wParam == kKeepOnTopTimer) OnKeepOnTop(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

void ClSplashScreen::OnInitDialog(HWND dialog, SplashDescriptor& descriptor)
{
    SetTimer(dialog, reinterpret_cast<UINT_PTR>(dialog), descriptor.dwDisplayTime, nullptr);
    SetTimer(dialog, kKeepOnTopTimer, 200, nullptr);
    descriptor.hMemoryDC = CreateCompatibleDC(nullptr);
    if (descriptor.hMemoryDC && descriptor.hBitmap) SelectObject(descriptor.hMemoryDC, descriptor.hBitmap);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int left = (desktop.right - desktop.left) / 2 - descriptor.nWidth / 2;
    const int top = (desktop.bottom - desktop.top) / 2 - descriptor.nHeight / 2;
    SetWindowPos(dialog, HWND_TOPMOST, left, top, descriptor.nWidth, descriptor.nHeight, SWP_SHOWWINDOW);
}

void ClSplashScreen::OnKeepOnTop(HWND dialog)
{
    // Wine's virtual desktop can stack the main window above the topmost
    // splash on screen while its own order says otherwise; placing the splash
    // anew (a real change of position) puts the screen right again.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

void ClSplashScreen::OnPaint(HWND dialog, const SplashDescriptor& descriptor)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (descriptor.hMemoryDC)
        BitBlt(dc, 0, 0, descriptor.nWidth, descriptor.nHeight, descriptor.hMemoryDC, 0, 0, SRCCOPY);
    EndPaint(dialog, &paint);
}

void ClSplashScreen::OnTimer(HWND dialog, SplashDescriptor& descriptor)
{
    KillTimer(dialog, reinterpret_cast<UINT_PTR>(dialog));
    KillTimer(dialog, kKeepOnTopTimer);
    if (descriptor.hMemoryDC) DeleteDC(descriptor.hMemoryDC);
    if (descriptor.hBitmap) DeleteObject(descriptor.hBitmap);
    descriptor.hMemoryDC = nullptr;
    descriptor.hBitmap = nullptr;
    EndDialog(dialog, 0);
}
