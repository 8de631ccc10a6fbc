#include "ClAboutDlg.h"

#include "ResourceModule.h"
#include "StringTable.h"
#include "res/resource.h"

INT_PTR ClAboutDlg::show(HWND owner)
{
    HINSTANCE module = ResourceModule::ForDialog("CLABOUTDLG");
    return DialogBoxParamA(module, "CLABOUTDLG", owner, &ClAboutDlg::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ClAboutDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        const std::string product = StringTable::Load(1);
        if (!product.empty()) SetDlgItemTextA(window, IDC_ABOUT_PRODUCT, product.c_str());
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(window, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
