#include "controls/OptionsPage.h"

#include "app/menus/StringTable.h"

OptionsPage::OptionsPage() : hWnd(nullptr), bFilling(false), bTooltips(true), bChanged(false) {}

OptionsPage::~OptionsPage()
{
    Destroy();
}

bool OptionsPage::Create(HMODULE resources, HWND parent, const RECT& rect, bool tooltips)
{
    if (hWnd) return true;
    bTooltips = tooltips;
    HWND created = CreateDialogParamA(resources, TemplateName(), parent, DialogProcedure<OptionsPage>,
                                      reinterpret_cast<LPARAM>(this));
    if (!created) return false;
    SetWindowPos(created, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void OptionsPage::Destroy()
{
    if (hWnd && IsWindow(hWnd)) DestroyWindow(hWnd);
    hWnd = nullptr;
}

void OptionsPage::Show(bool show)
{
    if (hWnd) ShowWindow(hWnd, show ? SW_SHOW : SW_HIDE);
}

HWND OptionsPage::Owner() const
{
    HWND parent = hWnd ? GetParent(hWnd) : nullptr;
    return parent ? parent : hWnd;
}

void OptionsPage::AddTip(int id, unsigned stringId)
{
    if (stringId && Item(id)) tooltips.AddTool(Item(id), StringTable::Load(stringId));
}

bool OptionsPage::IsChecked(int id) const
{
    return IsDlgButtonChecked(hWnd, id) == BST_CHECKED;
}

void OptionsPage::SetChecked(int id, bool checked)
{
    CheckDlgButton(hWnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR OptionsPage::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        tooltips.Create(hWnd);
        bFilling = true;
        OnInitPage();
        bFilling = false;
        tooltips.Activate(bTooltips);
        return FALSE;
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            // Enter and Esc inside the page belong to the dialog.
            SendMessageA(GetParent(hWnd), WM_COMMAND, wParam, lParam);
            return TRUE;
        }
        return OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return FALSE;
        SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_DESTROY:
        OnDestroyPage();
        return FALSE;
    default: {
        INT_PTR result = 0;
        return OnMessage(message, wParam, lParam, result) ? result : FALSE;
    }
    }
}
