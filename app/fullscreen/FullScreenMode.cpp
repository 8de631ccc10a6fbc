#include "app/fullscreen/FullScreenMode.h"

#include <initializer_list>

namespace {
void Show(HWND window, bool show)
{
    if (window) ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

RECT DesktopRect()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    return desktop;
}
} // namespace

FullScreenMode::FullScreenMode() : bFullScreenOn(false), wpBeforeFullScreen(), rcFullScreenFrame() {}

bool FullScreenMode::Create(HINSTANCE resources, HWND frame, UINT command)
{
    return dialog.Create(resources, frame, command);
}

void FullScreenMode::Destroy()
{
    dialog.Destroy();
}

RECT FullScreenMode::FrameForDesktop(const RECT& desktop, DWORD style, DWORD exStyle)
{
    RECT frame = desktop;
    AdjustWindowRectEx(&frame, style, TRUE, exStyle);
    return frame;
}

// The views are hidden while the frame changes size so that they are laid
// out once, not redrawn at every intermediate size.
void FullScreenMode::Place(const Windows& windows, const WINDOWPLACEMENT& placement, HWND focus)
{
    Show(windows.hwndTree, false);
    Show(windows.hwndList, false);
    SetWindowPlacement(windows.hwndFrame, &placement);
    Show(windows.hwndTree, true);
    Show(windows.hwndList, true);
    if (focus && IsWindow(focus)) SetFocus(focus);
}

void FullScreenMode::Enter(const Windows& windows, HWND focus)
{
    if (bFullScreenOn || !windows.hwndFrame) return;
    bFullScreenOn = true;
    wpBeforeFullScreen = WINDOWPLACEMENT();
    wpBeforeFullScreen.length = sizeof(wpBeforeFullScreen);
    GetWindowPlacement(windows.hwndFrame, &wpBeforeFullScreen);

    const RECT desktop = DesktopRect();
    rcFullScreenFrame = FrameForDesktop(desktop, static_cast<DWORD>(GetWindowLongA(windows.hwndFrame, GWL_STYLE)),
                                        static_cast<DWORD>(GetWindowLongA(windows.hwndFrame, GWL_EXSTYLE)));
    Show(windows.hwndRebar, false);
    Show(windows.hwndStatus, false);

    WINDOWPLACEMENT placement = wpBeforeFullScreen;
    placement.flags = 0;
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = rcFullScreenFrame;
    // The normal position of an application window is in work-area coordinates.
    if (!(GetWindowLongA(windows.hwndFrame, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        RECT work;
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
            OffsetRect(&placement.rcNormalPosition, desktop.left - work.left, desktop.top - work.top);
    }
    Place(windows, placement, focus);
    // Shown after the frame took its new place, so that it stays above it.
    dialog.ShowAt(desktop);
}

void FullScreenMode::Leave(const Windows& windows, bool bShowToolbar, bool bShowStatusbar, HWND focus)
{
    if (!bFullScreenOn) return;
    bFullScreenOn = false;
    dialog.Hide();
    Show(windows.hwndRebar, bShowToolbar);
    Show(windows.hwndStatus, bShowStatusbar);
    Place(windows, wpBeforeFullScreen, focus);
}

void FullScreenMode::OnActivateApp(bool active)
{
    if (!bFullScreenOn) return;
    if (active) dialog.ShowAt(DesktopRect());
    else dialog.Hide();
}

bool FullScreenMode::OnGetMinMaxInfo(MINMAXINFO* info) const
{
    if (!bFullScreenOn || !info) return false;
    const LONG width = rcFullScreenFrame.right - rcFullScreenFrame.left;
    const LONG height = rcFullScreenFrame.bottom - rcFullScreenFrame.top;
    info->ptMaxSize.x = width;
    info->ptMaxSize.y = height;
    info->ptMaxTrackSize.x = width;
    info->ptMaxTrackSize.y = height;
    return true;
}

void FullScreenMode::OnInitMenu(HMENU systemMenu) const
{
    if (!bFullScreenOn || !systemMenu) return;
    for (UINT command : {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_RESTORE})
        EnableMenuItem(systemMenu, command, MF_BYCOMMAND | MF_GRAYED);
}

void FullScreenMode::Store(UserSettings& settings, const WINDOWPLACEMENT& current) const
{
    settings.bFullScreen = bFullScreenOn ? 1 : 0;
    settings.wpMainWindow = bFullScreenOn ? wpBeforeFullScreen : current;
}
