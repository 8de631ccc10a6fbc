#include "tests/e2e/target/TargetDialog.h"

#include "tests/e2e/target/TargetIds.h"

#include <commctrl.h>

bool TargetDialog::Run(HWND owner)
{
    return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_TARGET_DIALOG), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this)) == IDOK;
}

INT_PTR CALLBACK TargetDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<TargetDialog*>(lParam)->OnInit(dialog);
        return TRUE;
    }
    TargetDialog* self = reinterpret_cast<TargetDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_COMMAND && self) {
        if (LOWORD(wParam) == IDOK) {
            self->OnOk(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
    }
    return FALSE;
}

void TargetDialog::OnInit(HWND dialog)
{
    HWND colours = GetDlgItem(dialog, IDC_DIALOG_COLOURS);
    for (const char* colour : {"Red", "Green", "Blue"})
        SendMessageA(colours, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(colour));
    SendMessageA(colours, LB_SETCURSEL, 1, 0);

    HWND list = GetDlgItem(dialog, IDC_DIALOG_LIST);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 150;
    column.pszText = const_cast<char*>("Entry");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int row = 0; row < 2; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(row == 0 ? "first entry" : "second entry");
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void TargetDialog::OnOk(HWND dialog)
{
    char colour[64] = {};
    HWND colours = GetDlgItem(dialog, IDC_DIALOG_COLOURS);
    const LRESULT selection = SendMessageA(colours, LB_GETCURSEL, 0, 0);
    if (selection >= 0) SendMessageA(colours, LB_GETTEXT, selection, reinterpret_cast<LPARAM>(colour));
    char text[128] = {};
    GetDlgItemTextA(dialog, IDC_DIALOG_EDIT, text, sizeof(text));
    const bool checked = IsDlgButtonChecked(dialog, IDC_DIALOG_CHECK) == BST_CHECKED;
    strResult = std::string(colour) + " / " + text + " / " + (checked ? "checked" : "unchecked");
}
