#include "ClTarnwickFullscreenDlg.h"

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
    SetWindowPos(hWnd, nullptr, desktop.left + 10, desktop.bottom - 10 - height, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ClTarnwickFullscreenDlg::Hide()
{
    if (hWnd) ShowWindow(hWnd, SW_HIDE);
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
    case WM_DESTROY:
        if (self) self->hWnd = nullptr;
        return FALSE;
    default: return FALSE;
    }
}
