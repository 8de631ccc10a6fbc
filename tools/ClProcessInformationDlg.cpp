#include "tools/ClProcessInformationDlg.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "launchers/SearchMenuHost.h"
#include "report/ClipboardCopy.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysinfo/TopLevelWindowList.h"

#include <windowsx.h>

namespace {

const size_t kSearchTermLength = 1024;

bool IsSearchCommand(UINT id)
{
    return id == ID_SEARCH_INTERNET || (id >= 2003 && id <= 4003);
}

RECT ClientRectOf(HWND control, HWND parent)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

ClProcessInformationDlg::ClProcessInformationDlg()
    : hWnd(nullptr), pRecord(nullptr), hIcon(nullptr), pSearch(nullptr), hFont(nullptr), szStartClient{0, 0},
      szStartWindow{0, 0}
{
}

INT_PTR ClProcessInformationDlg::show(HWND owner, const ProcessRecord& record, HICON icon)
{
    pRecord = &record;
    hIcon = icon;
    HINSTANCE module = ResourceModule::ForDialog("CLPROCESSINFORMATIONDLG");
    return DialogBoxParamA(module, "CLPROCESSINFORMATIONDLG", owner, DialogProcedure<ClProcessInformationDlg>,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR ClProcessInformationDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, OnNotify(reinterpret_cast<NMHDR*>(lParam)));
        return TRUE;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SIZE: Layout(); return TRUE;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_MEASUREITEM:
        PropertyListView::MeasureRow(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), hFont);
        return TRUE;
    case WM_DRAWITEM: list.DrawRow(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
    }
}

BOOL ClProcessInformationDlg::OnInitDialog()
{
    SetWindowTextA(hWnd, pRecord->strName.c_str());
    if (hIcon) {
        SendMessageA(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
        SendMessageA(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
    }
    hFont = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));

    RECT client, window;
    GetClientRect(hWnd, &client);
    GetWindowRect(hWnd, &window);
    szStartClient = {client.right, client.bottom};
    szStartWindow = {window.right - window.left, window.bottom - window.top};

    const std::string notAvailable = StringTable::Load(19);
    for (int id : ProcessInformation::kEditIds) {
        SetDlgItemTextA(hWnd, id, notAvailable.c_str());
        anchors.push_back({GetDlgItem(hWnd, id), ClientRectOf(GetDlgItem(hWnd, id), hWnd), false});
    }
    CreateEnvironmentList();

    ProcessSnapshot snapshot;
    TopLevelWindowList windows;
    windows.Collect();
    ProcessInformation information;
    information.Load(*pRecord, snapshot, windows);
    for (int field = 0; field < ProcessInformation::FieldCount; ++field)
        SetDlgItemTextA(hWnd, ProcessInformation::kEditIds[field], information.strValues[field].c_str());

    SendMessageA(list.GetHwnd(), WM_SETREDRAW, FALSE, 0);
    for (const EnvironmentTable::Row& row : information.environment) list.AddRow({row.first, row.second}, 0);
    SendMessageA(list.GetHwnd(), WM_SETREDRAW, TRUE, 0);
    list.FitColumns({true, true});
    InvalidateRect(list.GetHwnd(), nullptr, TRUE);
    SetFocus(list.GetHwnd());
    return FALSE;
}

void ClProcessInformationDlg::CreateEnvironmentList()
{
    HWND placeholder = GetDlgItem(hWnd, IDC_PROCINFO_ENVIRONMENT);
    RECT rect = {7, 118, 259, 263};
    if (placeholder) {
        rect = ClientRectOf(placeholder, hWnd);
        DestroyWindow(placeholder);
    } else {
        MapDialogRect(hWnd, &rect);
    }
    list.Create(hWnd, IDC_PROCINFO_ENVIRONMENT, rect, hFont, StringTable::Load(140));
    list.SetColors(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
    list.SetColumns({StringTable::Load(151), StringTable::Load(22)}, 50);
    anchors.push_back({list.GetHwnd(), rect, true});
}

void ClProcessInformationDlg::OnCommand(UINT id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL: EndDialog(hWnd, static_cast<INT_PTR>(id)); break;
    case ID_MODPROP_COPY: CopySelection(); break;
    case ID_MODPROP_SELECTALL: list.SelectAll(); break;
    default:
        if (IsSearchCommand(id)) Search(id);
        break;
    }
}

LRESULT ClProcessInformationDlg::OnNotify(const NMHDR* header)
{
    if (!list.GetHwnd() || header->hwndFrom != list.GetHwnd() || header->code != LVN_KEYDOWN) return 0;
    const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (control && key == 'C') CopySelection();
    if (control && key == 'A') list.SelectAll();
    return 0;
}

void ClProcessInformationDlg::OnContextMenu(HWND source, int x, int y)
{
    if (source != list.GetHwnd() || list.RowCount() == 0) return;
    POINT point = {x, y};
    if (x == -1 && y == -1) point = list.MenuPoint();
    HMENU menu = ResourceModule::Menu(IDR_POPUP_MODULE_PROPERTIES);
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    const std::string title = StringTable::Load(158);
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    HMENU engines = pSearch ? pSearch->CreateEngineMenu() : nullptr;
    if (engines)
        AppendMenuA(popup, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(engines), title.c_str());
    else
        AppendMenuA(popup, MF_STRING, ID_SEARCH_INTERNET, title.c_str());
    UINT id = static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x,
                                               point.y, 0, hWnd, nullptr));
    DestroyMenu(menu);
    if (id) OnCommand(id);
}

INT_PTR ClProcessInformationDlg::OnCtlColorStatic(HDC dc, HWND control)
{
    for (int id : ProcessInformation::kEditIds) {
        if (GetDlgItem(hWnd, id) != control) continue;
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }
    return FALSE;
}

void ClProcessInformationDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (szStartWindow.cx <= 0) return;
    info->ptMinTrackSize.x = szStartWindow.cx;
    info->ptMinTrackSize.y = szStartWindow.cy;
}

void ClProcessInformationDlg::OnDestroy()
{
    list.Destroy();
    anchors.clear();
}

void ClProcessInformationDlg::Layout()
{
    if (szStartClient.cx <= 0) return;
    RECT client;
    GetClientRect(hWnd, &client);
    const int dx = client.right - szStartClient.cx;
    const int dy = client.bottom - szStartClient.cy;
    for (const Anchor& anchor : anchors) {
        const RECT& r = anchor.rcStart;
        const int width = r.right - r.left + dx;
        const int height = r.bottom - r.top + (anchor.bStretchDown ? dy : 0);
        MoveWindow(anchor.hControl, r.left, r.top, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
    }
}

void ClProcessInformationDlg::CopySelection()
{
    std::vector<std::vector<std::string>> rows = list.SelectedCells();
    if (rows.empty()) return;
    ClipboardCopy::SetClipboardText(hWnd, ClipboardCopy::TableText(rows));
}

void ClProcessInformationDlg::Search(UINT commandId)
{
    std::vector<int> selected = list.SelectedRows();
    if (selected.empty()) return;
    std::string term = list.CellText(selected[0], 0);
    if (term.size() > kSearchTermLength - 1) term.resize(kSearchTermLength - 1);
    if (term.empty() || !pSearch) return;
    pSearch->Search(commandId, term);
}
