#include "launchers/ClTarnwickApplicationPropertiesDlg.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"

#include <commdlg.h>

namespace {

const char kTemplate[] = "CLTARNWICKAPPLICATIONPROPERTIESDLG";
const int kFields[4] = {IDC_APP_DESCRIPTION, IDC_APP_APPLICATION, IDC_APP_STARTPATH, IDC_APP_ARGUMENTS};
const UINT kFieldTips[4] = {84, 85, 86, 87};

} // namespace

ClTarnwickApplicationPropertiesDlg::ClTarnwickApplicationPropertiesDlg()
    : hWnd(nullptr), pEntry(nullptr), bTooltips(true), bModified(false)
{
}

INT_PTR ClTarnwickApplicationPropertiesDlg::Show(HWND owner, UserApplication& entry, bool showTooltips)
{
    pEntry = &entry;
    bTooltips = showTooltips;
    bModified = false;
    const INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner,
                                           DialogProcedure<ClTarnwickApplicationPropertiesDlg>, reinterpret_cast<LPARAM>(this));
    return result < 0 ? 0 : result;
}

INT_PTR ClTarnwickApplicationPropertiesDlg::Dispatch(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return TRUE;
    default: return FALSE;
    }
}

void ClTarnwickApplicationPropertiesDlg::OnInitDialog()
{
    const char* texts[4] = {pEntry->szDescription, pEntry->szApplication, pEntry->szStartPath, pEntry->szArguments};
    for (int i = 0; i < 4; ++i) {
        SendDlgItemMessageA(hWnd, kFields[i], EM_LIMITTEXT, 259, 0);
        SetDlgItemTextA(hWnd, kFields[i], texts[i]);
        SendDlgItemMessageA(hWnd, kFields[i], EM_SETMODIFY, FALSE, 0);
    }
    if (tooltips.Create(hWnd)) {
        for (int i = 0; i < 4; ++i) tooltips.AddTool(GetDlgItem(hWnd, kFields[i]), StringTable::Load(kFieldTips[i]));
        tooltips.AddTool(GetDlgItem(hWnd, IDC_APP_BROWSE), StringTable::Load(143));
        tooltips.AddTool(GetDlgItem(hWnd, IDOK), StringTable::Load(88));
        tooltips.AddTool(GetDlgItem(hWnd, IDCANCEL), StringTable::Load(89));
        tooltips.Activate(bTooltips);
    }
}

void ClTarnwickApplicationPropertiesDlg::OnCommand(WORD id)
{
    switch (id) {
    case IDOK: OnOk(); break;
    case IDCANCEL: EndDialog(hWnd, 0); break;
    case IDC_APP_BROWSE: OnBrowse(); break;
    default: break;
    }
}

std::string ClTarnwickApplicationPropertiesDlg::FieldText(int id) const
{
    char text[260] = {};
    GetDlgItemTextA(hWnd, id, text, sizeof(text));
    return text;
}

void ClTarnwickApplicationPropertiesDlg::OnOk()
{
    bModified = false;
    for (int id : kFields)
        if (SendDlgItemMessageA(hWnd, id, EM_GETMODIFY, 0, 0)) bModified = true;
    const std::string before = pEntry->szApplication;
    pEntry->SetTexts(FieldText(IDC_APP_DESCRIPTION), FieldText(IDC_APP_APPLICATION), FieldText(IDC_APP_STARTPATH),
                     FieldText(IDC_APP_ARGUMENTS));
    // Another program: its icon, not the old one's (the page and "Open with" copy it from here).
    if (before != pEntry->szApplication) pEntry->LoadIcon(GetModuleHandleA(nullptr));
    EndDialog(hWnd, 1);
}

void ClTarnwickApplicationPropertiesDlg::OnBrowse()
{
    std::string chosen;
    if (!BrowseForProgram(hWnd, FieldText(IDC_APP_APPLICATION), chosen)) return;
    SetDlgItemTextA(hWnd, IDC_APP_APPLICATION, chosen.c_str());
    SendDlgItemMessageA(hWnd, IDC_APP_APPLICATION, EM_SETMODIFY, TRUE, 0);
}

std::string ClTarnwickApplicationPropertiesDlg::ProgramFilter()
{
    std::string filter = StringTable::Load(50) + " (*.exe)";
    filter += '\0';
    filter += "*.exe";
    filter += '\0';
    filter += '\0';
    return filter;
}

bool ClTarnwickApplicationPropertiesDlg::BrowseForProgram(HWND owner, const std::string& current,
                                                         std::string& chosen)
{
    const std::string filter = ProgramFilter();
    std::string folder;
    const size_t slash = current.find_last_of('\\');
    if (slash != std::string::npos) folder = current.substr(0, slash + 1);
    char path[MAX_PATH] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the size Windows 95 and NT 4 know
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof(path);
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return false;
    chosen = path;
    return true;
}
