#include "report/ClTarnwickReportDlg.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "controls/ButtonEx.h"
#include "controls/ListRowLook.h"
#include "views/ValueFormatter.h"

#include <commdlg.h>
#include <shellapi.h>

namespace {
const char kTemplate[] = "CLTARNWICKREPORTDLG";
const int kPathSize = 260;

// The filter list of the save dialog: descriptions and patterns, NUL-separated.
std::string SaveFilter()
{
    std::string filter = StringTable::Load(57) + " (*.txt)";
    filter += '\0';
    filter += "*.txt";
    filter += '\0';
    filter += "XML (*.xml)";
    filter += '\0';
    filter += "*.xml";
    filter += '\0';
    filter += "HTML (*.html)";
    filter += '\0';
    filter += "*.html";
    filter += '\0';
    filter += '\0';
    return filter;
}

// A small folder picture for the browse button.
HICON FolderIcon()
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(windows, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) return info.hIcon;
    return nullptr;
}
} // namespace

ClTarnwickReportDlg::~ClTarnwickReportDlg()
{
    FreeRows();
    if (hBrowseIcon) DestroyIcon(hBrowseIcon);
    if (hSmallIcon) DestroyIcon(hSmallIcon);
}

void ClTarnwickReportDlg::FreeRows()
{
    for (Row& row : rows)
        if (row.hIcon) DestroyIcon(row.hIcon);
    rows.clear();
}

int ClTarnwickReportDlg::Show(HWND owner, const std::vector<ProcessItem>& processes, HIMAGELIST images,
                              bool tooltips, uint32_t type, const ValueFormatter& formatter)
{
    hOwner = owner;
    bTooltips = tooltips;
    bThemed = ListRowLook::ThemedNow();
    nType = type >= Text && type <= Html ? type : static_cast<uint32_t>(Text);
    strPath.clear();
    FreeRows();
    for (const ProcessItem& item : processes) {
        Row row;
        row.item = item;
        row.item.hTreeNode = nullptr;  // belongs to the view, which may be rebuilt
        row.strCaption = formatter.ProcessCaption(item.strName, item.dwPid);
        row.hIcon = images && item.nImage >= 0 ? ImageList_GetIcon(images, item.nImage, ILD_NORMAL) : nullptr;
        rows.push_back(row);
    }
    ButtonEx::Register();
    const INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner, DialogProcedure<ClTarnwickReportDlg>,
                                           reinterpret_cast<LPARAM>(this));
    return result == IDOK ? IDOK : IDCANCEL;
}

std::vector<ProcessItem> ClTarnwickReportDlg::Processes() const
{
    std::vector<ProcessItem> items;
    for (const Row& row : rows) items.push_back(row.item);
    return items;
}

INT_PTR ClTarnwickReportDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_VKEYTOITEM:
        return OnVKeyToItem(wParam);
    case WM_MEASUREITEM:
        OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
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

BOOL ClTarnwickReportDlg::OnInitDialog()
{
    hList = GetDlgItem(hWnd, IDC_PROCESS_LIST);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    SendMessageA(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_TARNWICK))));
    if (!hSmallIcon)
        hSmallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_TARNWICK), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hSmallIcon));

    for (const Row& row : rows)
        SendMessageA(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.strCaption.c_str()));

    if (!hBrowseIcon) hBrowseIcon = FolderIcon();
    if (ButtonEx* browse = ButtonEx::FromWindow(GetDlgItem(hWnd, IDC_REPORT_BROWSE))) browse->SetIcon(hBrowseIcon);

    if (tooltip.Create(hWnd)) {
        for (int id : {IDOK, IDC_REPORT_BROWSE, IDC_BUTTON_HELP}) tooltip.AddTool(GetDlgItem(hWnd, id));
        tooltip.Activate(bTooltips);
    }

    resizer.Attach(hWnd);
    resizer.Add(IDC_PROCESS_LIST, DialogResizer::SizeX | DialogResizer::SizeY);
    resizer.Add(IDC_REPORT_FILE_LABEL, DialogResizer::MoveY);
    resizer.Add(IDC_REPORT_FILE, DialogResizer::SizeX | DialogResizer::MoveY);
    for (int id : {IDC_REPORT_BROWSE, IDOK, IDCANCEL, IDC_BUTTON_HELP})
        resizer.Add(id, DialogResizer::MoveX | DialogResizer::MoveY);
    return TRUE;
}

void ClTarnwickReportDlg::OnCommand(int id)
{
    switch (id) {
    case IDOK:
        OnOk();
        break;
    case IDCANCEL:
        EndDialog(hWnd, IDCANCEL);
        break;
    case IDC_REPORT_BROWSE:
        OnBrowse();
        break;
    case IDC_BUTTON_HELP:
        if (hOwner) SendMessageA(hOwner, WM_COMMAND, ID_HELP_HELP, 0);
        break;
    }
}

UINT_PTR CALLBACK ClTarnwickReportDlg::SaveHook(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        // `window` is the hook's child dialog; the icon goes on the save dialog itself.
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TARNWICK));
        SendMessageA(GetParent(window), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }
    return 0;
}

void ClTarnwickReportDlg::OnBrowse()
{
    const std::string filter = SaveFilter();
    char path[kPathSize] = {};
    OPENFILENAMEA dialog = {};
    // Windows 95, 98, ME and NT 4 know only the short record; 2000 and later
    // show their newer dialog for the full one.
    const DWORD version = GetVersion();
    const bool newer = !(version & 0x80000000) && LOBYTE(LOWORD(version)) >= 5;
    dialog.lStructSize = newer ? sizeof(OPENFILENAMEA) : OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = hWnd;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = nType;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof(path);
    dialog.lpstrDefExt = "html";
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST
                 | OFN_NOCHANGEDIR;
    dialog.lpfnHook = SaveHook;
    if (!GetSaveFileNameA(&dialog)) return;
    path[kPathSize - 1] = '\0';
    strPath = path;
    nType = dialog.nFilterIndex >= Text && dialog.nFilterIndex <= Html ? static_cast<uint32_t>(dialog.nFilterIndex) : static_cast<uint32_t>(Text);
    SetDlgItemTextA(hWnd, IDC_REPORT_FILE, strPath.c_str());
}

void ClTarnwickReportDlg::Message(UINT textId)
{
    // Owned by this dialog, which stays open and blocked while it shows.
    MessageBoxA(hWnd, StringTable::Load(textId).c_str(), StringTable::Load(1).c_str(), MB_OK | MB_ICONHAND);
}

void ClTarnwickReportDlg::OnOk()
{
    if (rows.empty() && strPath.empty())
        Message(60);
    else if (rows.empty())
        Message(58);
    else if (strPath.empty())
        Message(59);
    else
        EndDialog(hWnd, IDOK);
}

INT_PTR ClTarnwickReportDlg::OnVKeyToItem(WPARAM wParam)
{
    if (LOWORD(wParam) != VK_DELETE) return -1;
    const LRESULT caret = SendMessageA(hList, LB_GETCARETINDEX, 0, 0);
    if (caret >= 0 && static_cast<size_t>(caret) < rows.size()) {
        SendMessageA(hList, LB_DELETESTRING, caret, 0);
        if (rows[caret].hIcon) DestroyIcon(rows[caret].hIcon);
        rows.erase(rows.begin() + caret);
        const LRESULT count = SendMessageA(hList, LB_GETCOUNT, 0, 0);
        if (count > 0) SendMessageA(hList, LB_SETCURSEL, caret < count ? caret : count - 1, 0);
    }
    return -2;
}

void ClTarnwickReportDlg::OnMeasureItem(MEASUREITEMSTRUCT* measure)
{
    if (measure->CtlID == IDC_PROCESS_LIST) measure->itemHeight = GetSystemMetrics(SM_CYSMICON) + 4;
}

void ClTarnwickReportDlg::OnDrawItem(const DRAWITEMSTRUCT* draw)
{
    if (draw->CtlID != IDC_PROCESS_LIST) return;
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    const ListRowLook look(bThemed);
    const COLORREF text = look.Background(*draw);
    if (draw->itemID < rows.size()) {
        const Row& row = rows[draw->itemID];
        const int iconWidth = GetSystemMetrics(SM_CXSMICON), iconHeight = GetSystemMetrics(SM_CYSMICON);
        if (row.hIcon)
            DrawIconEx(dc, rect.left + 2, rect.top + (rect.bottom - rect.top - iconHeight) / 2, row.hIcon, iconWidth,
                       iconHeight, 0, nullptr, DI_NORMAL);
        RECT textRect = rect;
        textRect.left += iconWidth + 6;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, text);
        DrawTextA(dc, row.strCaption.c_str(), -1, &textRect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (draw->itemAction != ODA_SELECT) look.Focus(*draw);
}

bool ClTarnwickReportDlg::OnNotify(NMHDR* header)
{
    if (header->code != TTN_GETDISPINFOA) return false;
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
    UINT text = id == IDOK ? 96 : id == IDC_REPORT_BROWSE ? 97 : id == IDC_BUTTON_HELP ? 68 : 0;
    strTip = text ? StringTable::Load(text) : std::string();
    info->lpszText = const_cast<char*>(strTip.c_str());
    info->hinst = nullptr;
    return true;
}
