#include "app/fullscreen/ClTarnwickFullscreenDlg.h"

const char ClTarnwickFullscreenDlg::kTemplateName[] = "CLTARNWICKFULLSCREENDLG";

ClTarnwickFullscreenDlg::ClTarnwickFullscreenDlg() : hWnd(nullptr), hOwner(nullptr), uCommand(0) {}

ClTarnwickFullscreenDlg::~ClTarnwickFullscreenDlg()
{
    Destroy();
}

bool ClTarnwickFullscreenDlg::Create(HINSTANCE resources, HWND owner, UINT command)
{
    if (hWnd) return true;
    hOwner = owner;
    uCommand = command;
    return CreateDialogParamA(resources, kTemplateName, owner, DialogProc, reinterpret_cast<LPARAM>(this)) !=
           nullptr;
}

void ClTarnwickFullscreenDlg::Destroy()
{
    if (hWnd && IsWindow(hWnd)) DestroyWindow(hWnd);
    hWnd = nullptr;
}

void ClTarnwickFullscreenDlg::ShowAt(const RECT& desktop)
{
    if (!hWnd) return;
    RECT own;
    GetWindowRect(hWnd, &own);
    const int height = own.bottom - own.top;
    SetWindowPos(hWnd, HWND_TOPMOST, desktop.left + 10, desktop.bottom - 10 - height, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetTimer(hWnd, kShowAgainTimer, kShowAgainDelay, nullptr);
}

void ClTarnwickFullscreenDlg::Hide()
{
    if (!hWnd) return;
    KillTimer(hWnd, kShowAgainTimer);
    SetWindowPos(hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

// A frame shown just before may still be put over this window on the screen
// (Wine does so with a frame that has only just appeared): shown once more
// a moment later, it is on top there as well.
void ClTarnwickFullscreenDlg::OnShowAgain()
{
    KillTimer(hWnd, kShowAgainTimer);
    if (!IsWindowVisible(hWnd)) return;
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, keep | SWP_NOZORDER | SWP_HIDEWINDOW);
    SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
}

void ClTarnwickFullscreenDlg::OnClose()
{
    if (hOwner) SendMessageA(hOwner, WM_COMMAND, MAKEWPARAM(uCommand, 0), 0);
}

INT_PTR CALLBACK ClTarnwickFullscreenDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ClTarnwickFullscreenDlg* self =
        reinterpret_cast<ClTarnwickFullscreenDlg*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        self = reinterpret_cast<ClTarnwickFullscreenDlg*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        self->hWnd = dialog;
        return FALSE; // created hidden: leave the focus where it is
    case WM_COMMAND:
        if (self && LOWORD(wParam) == IDCANCEL) {
            self->OnClose();
            return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        if (self && wParam == kShowAgainTimer) self->OnShowAgain();
        return TRUE;
    case WM_DESTROY:
        if (self) self->hWnd = nullptr;
        return FALSE;
    default: return FALSE;
    }
}
