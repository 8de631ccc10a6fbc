#pragma once

#include <windows.h>

// The small floating "Full Screen" window shown while full-screen mode is
// on: a modeless dialog owned by the main window whose Close button (id 2)
// sends the full-screen command back to its owner.
class ClTarnwickFullscreenDlg {
public:
    static const char kTemplateName[];

    ClTarnwickFullscreenDlg();
    ~ClTarnwickFullscreenDlg();
    ClTarnwickFullscreenDlg(const ClTarnwickFullscreenDlg&) = delete;
    ClTarnwickFullscreenDlg& operator=(const ClTarnwickFullscreenDlg&) = delete;

    // Creates the dialog hidden; command is what Close sends to the owner.
    bool Create(HINSTANCE resources, HWND owner, UINT command);
    void Destroy();
    HWND GetHwnd() const { return hWnd; }

    // Shows it with its left edge 10 pixels right of the desktop's left edge
    // and its bottom edge 10 pixels above the desktop's bottom, not activated,
    // above every other window (Wine may otherwise raise the owner over it;
    // the frame hides it while another program is active).
    void ShowAt(const RECT& desktop);
    void Hide();

private:
    static const UINT_PTR kShowAgainTimer = 1;
    static const UINT kShowAgainDelay = 300;

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnShowAgain();

    HWND hWnd;
    HWND hOwner;
    UINT uCommand;
};
