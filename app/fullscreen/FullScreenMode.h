#pragma once

#include <windows.h>

#include "app/fullscreen/ClTarnwickFullscreenDlg.h"
#include "app/settings/UserSettings.h"

// The main window's full-screen mode: the client area covers the desktop,
// the rebar and the status bar are hidden, and the floating "Full Screen"
// window offers a way back. Leaving restores the placement from before.
class FullScreenMode {
public:
    // The windows involved; a null handle is skipped.
    struct Windows {
        HWND hwndFrame;
        HWND hwndRebar;
        HWND hwndStatus;
        HWND hwndTree;
        HWND hwndList;
    };

    FullScreenMode();

    // Creates the floating window (hidden); its Close sends command to the frame.
    bool Create(HINSTANCE resources, HWND frame, UINT command);
    void Destroy();

    // Off without touching any window (the frame's windows are gone).
    void Reset() { bFullScreenOn = false; }
    // While on: the floating window is shown while the program is active and
    // hidden while another program is.
    void OnActivateApp(bool active);
    // Hides the floating window; the mode stays as it is.
    void HideWindow() { dialog.Hide(); }

    bool IsOn() const { return bFullScreenOn; }
    // The one writer of the stored placement: in full-screen mode the
    // placement from before it (the next window starts in the mode again),
    // otherwise the window's current one.
    void Store(UserSettings& settings, const WINDOWPLACEMENT& current) const;
    // The placement stored when the mode was entered.
    const WINDOWPLACEMENT& GetPlacementBefore() const { return wpBeforeFullScreen; }
    const RECT& GetFrameRect() const { return rcFullScreenFrame; }
    HWND GetDialog() const { return dialog.GetHwnd(); }

    // focus: the view that has the focus and gets it back afterwards.
    void Enter(const Windows& windows, HWND focus);
    void Leave(const Windows& windows, bool bShowToolbar, bool bShowStatusbar, HWND focus);

    // While on: the window may be as large as the full-screen frame.
    bool OnGetMinMaxInfo(MINMAXINFO* info) const;
    // While on: size, move, maximise and restore are grayed in the system menu.
    void OnInitMenu(HMENU systemMenu) const;

    // The window rectangle whose client area is exactly the desktop, for a
    // window of the given styles with a menu bar.
    static RECT FrameForDesktop(const RECT& desktop, DWORD style, DWORD exStyle);

private:
    static void Place(const Windows& windows, const WINDOWPLACEMENT& placement, HWND focus);

    bool bFullScreenOn;
    WINDOWPLACEMENT wpBeforeFullScreen;
    RECT rcFullScreenFrame;
    ClTarnwickFullscreenDlg dialog;
};
