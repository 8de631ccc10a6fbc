// Entry point of tarnwick.exe. For now: the main frame with its title.
#include <windows.h>

#include "../sysinfo/IMAGEHELPWrapper.h"
#include "../sysutils/Orvo_SystemUtilities.h"
#include "../sysinfo/WTSWrapper.h"
#include "res/resource.h"

namespace {
const char kFrameClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    IMAGEHELPWrapper imageHelp;
    WTSWrapper terminalServices;

    if (!commandLine || !strstr(commandLine, "--priority-normal"))
        SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);

    // Without the debug privilege other users' processes stay closed; go on regardless.
    EnableDebugPrivilege();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kFrameClass;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TARNWICK));
    if (!RegisterClassA(&windowClass)) return -1;

    HWND frame = CreateWindowExA(0, kFrameClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 800, 560, nullptr, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU)),
                                 instance, nullptr);
    if (!frame) return -1;
    ShowWindow(frame, showCommand);
    UpdateWindow(frame);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    UnregisterClassA(kFrameClass, instance);
    return static_cast<int>(message.wParam);
}
