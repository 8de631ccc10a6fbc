#include "app/commands/ClAboutDlg.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "TarnwickVersion.h"

#include <cstring>

INT_PTR ClAboutDlg::show(HWND owner)
{
    HINSTANCE module = ResourceModule::ForDialog("CLABOUTDLG");
    return DialogBoxParamA(module, "CLABOUTDLG", owner, &ClAboutDlg::DialogProc, reinterpret_cast<LPARAM>(this));
}

void ClAboutDlg::ShowVersion(HWND window)
{
    // The template's text (language module or program) with "%s" where the
    // version goes, "Version %s"; a text without it stays as it is.
    char text[128] = {};
    GetDlgItemTextA(window, IDC_ABOUT_VERSION, text, sizeof(text));
    const char* marker = std::strstr(text, "%s");
    if (!marker) return;
    std::string shown(text, static_cast<size_t>(marker - text));
    shown += TARNWICK_VERSION_TEXT;
    shown += marker + 2;
    SetDlgItemTextA(window, IDC_ABOUT_VERSION, shown.c_str());
}

INT_PTR CALLBACK ClAboutDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        const std::string product = StringTable::Load(1);
        if (!product.empty()) SetDlgItemTextA(window, IDC_ABOUT_PRODUCT, product.c_str());
        ShowVersion(window);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(window, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
