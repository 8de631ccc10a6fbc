#include "tools/ClTarnwickShowErrorsDlg.h"

#include "app/language/ResourceModule.h"
#include "app/res/resource.h"

namespace {
const char kTemplate[] = "CLTARNWICKSHOWERRORSDLG";
const COLORREF kErrorText = RGB(0, 0, 160);
} // namespace

int ClTarnwickShowErrorsDlg::Show(HWND owner, const std::string& text)
{
    strText = text;
    DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner, DialogProcedure<ClTarnwickShowErrorsDlg>, reinterpret_cast<LPARAM>(this));
    return 1;
}

INT_PTR ClTarnwickShowErrorsDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        // "&Close", Escape and the close box.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hWnd, 1);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SIZE:
        resizer.Layout();
        return TRUE;
    case WM_GETMINMAXINFO:
        resizer.LimitSize(reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL ClTarnwickShowErrorsDlg::OnInitDialog()
{
    HICON icon = LoadIconA(nullptr, IDI_HAND);
    SendMessageA(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetDlgItemTextA(hWnd, IDC_ERROR_TEXT, strText.c_str());
    resizer.Attach(hWnd);
    resizer.Add(IDC_ERROR_TEXT, DialogResizer::SizeX | DialogResizer::SizeY);
    resizer.Add(IDOK, DialogResizer::MoveX | DialogResizer::MoveY);
    // The focus on "&Close", so that the text is not shown selected.
    SetFocus(GetDlgItem(hWnd, IDOK));
    return FALSE;
}

INT_PTR ClTarnwickShowErrorsDlg::OnCtlColorStatic(HDC dc, HWND control)
{
    // A read-only edit asks for its colours as a static does.
    if (GetDlgCtrlID(control) != IDC_ERROR_TEXT) return FALSE;
    SetTextColor(dc, kErrorText);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}
