#include "image/ClModuleInformationDlg.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "launchers/SearchMenuHost.h"
#include "report/ClipboardCopy.h"

#include <windowsx.h>

namespace {

const size_t kSearchTermLength = 1024;

bool IsSearchCommand(UINT id)
{
    return id == ID_SEARCH_INTERNET || (id >= 2003 && id <= 4003);
}

} // namespace

ClModuleInformationDlg::ClModuleInformationDlg(bool nineXFamily)
    : hWnd(nullptr), hTree(nullptr), information(nineXFamily), nNodeType(0), pSearch(nullptr), nIconId(0),
      hIconBig(nullptr), hIconSmall(nullptr), hSortImages(nullptr), hListFont(nullptr),
      crText(GetSysColor(COLOR_WINDOWTEXT)), crBackground(RGB(255, 255, 255)), nTreeWidth(0), bDragging(false),
      bGrabbed(false), nGrabOffset(0)
{
}

ClModuleInformationDlg::~ClModuleInformationDlg()
{
    if (hSortImages) ImageList_Destroy(hSortImages);
    if (hIconBig) DestroyIcon(hIconBig);
    if (hIconSmall) DestroyIcon(hIconSmall);
}

void ClModuleInformationDlg::SetListLook(HFONT font, COLORREF text, COLORREF background)
{
    hListFont = font;
    crText = text;
    crBackground = background;
}

INT_PTR ClModuleInformationDlg::show(HWND owner, const std::string& path, UINT iconId)
{
    strPath = path;
    nIconId = iconId;
    HINSTANCE module = ResourceModule::ForDialog("CLMODULEINFORMATIONDLG");
    INT_PTR result = DialogBoxParamA(module, "CLMODULEINFORMATIONDLG", owner, DialogProcedure<ClModuleInformationDlg>,
                                     reinterpret_cast<LPARAM>(this));
    if (hSortImages) {
        ImageList_Destroy(hSortImages);
        hSortImages = nullptr;
    }
    return result;
}

INT_PTR ClModuleInformationDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
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
    case WM_SIZE: Layout(); return TRUE;
    case WM_SETCURSOR: return OnSetCursor(reinterpret_cast<HWND>(wParam));
    case WM_LBUTTONDOWN: OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam)); return TRUE;
    case WM_LBUTTONUP: OnLButtonUp(); return TRUE;
    case WM_CAPTURECHANGED: bDragging = false; return TRUE;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_MEASUREITEM:
        PropertyListView::MeasureRow(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), hListFont);
        return TRUE;
    case WM_DRAWITEM: list.DrawRow(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
    }
}

BOOL ClModuleInformationDlg::OnInitDialog()
{
    HINSTANCE program = GetModuleHandleA(nullptr);
    hIconBig = static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(nIconId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    hIconSmall = static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(nIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIconBig));
    SendMessageA(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIconSmall));
    hSortImages = ImageList_LoadImageA(program, MAKEINTRESOURCEA(IDB_SORTARROWS), 14, 0, RGB(192, 192, 192),
                                       IMAGE_BITMAP, 0);

    information.Load(strPath);
    if (!information.DisplayName().empty()) SetWindowTextA(hWnd, information.DisplayName().c_str());

    if (!hListFont) hListFont = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
    hTree = GetDlgItem(hWnd, IDC_MODINFO_TREE);
    SendMessageA(hTree, WM_SETFONT, reinterpret_cast<WPARAM>(hListFont), FALSE);
    SendMessageA(hTree, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(crText));
    SendMessageA(hTree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(crBackground));
    RECT treeRect;
    GetWindowRect(hTree, &treeRect);
    nTreeWidth = treeRect.right - treeRect.left;
    Layout();
    BuildTree();
    return FALSE;  // the tree took the focus with its selection
}

void ClModuleInformationDlg::BuildTree()
{
    const std::vector<ModuleInformation::Node> nodes = information.Nodes();
    std::vector<HTREEITEM> items(nodes.size(), nullptr);
    for (size_t i = 0; i < nodes.size(); ++i) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = nodes[i].nParent < 0 ? TVI_ROOT : items[static_cast<size_t>(nodes[i].nParent)];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        insert.item.pszText = const_cast<char*>(nodes[i].strText.c_str());
        insert.item.lParam = static_cast<LPARAM>(nodes[i].dwValue);
        insert.item.stateMask = TVIS_BOLD;
        insert.item.state = nodes[i].nParent < 0 ? TVIS_BOLD : 0;
        items[i] = reinterpret_cast<HTREEITEM>(
            SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        uint16_t type = ModuleInformation::NodeTypeOf(nodes[i].dwValue);
        if (type == ModuleInformation::ModuleNode || type == ModuleInformation::ImportsNode)
            SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[i]));
    }
    if (!items.empty()) {
        SendMessageA(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[0]));
        // Some tree views report no change for the first selection of a fresh tree.
        if (!list.GetHwnd()) ShowNode(nodes[0].dwValue);
    }
    SetFocus(hTree);
}

void ClModuleInformationDlg::ShowNode(uint32_t value)
{
    nNodeType = ModuleInformation::NodeTypeOf(value);
    list.Destroy();
    RECT rect = {0, 0, 0, 0};
    list.Create(hWnd, IDC_MODINFO_LIST, rect, hListFont, StringTable::Load(140));
    list.SetColors(crText, crBackground);
    Layout();

    information.Fill(value, table);
    list.SetColumns(table.columns, nNodeType == ModuleInformation::ResourcesNode ? 100 : 50);
    SendMessageA(list.GetHwnd(), WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < table.rows.size(); ++i) list.AddRow(table.rows[i].cells, static_cast<LPARAM>(i));
    SendMessageA(list.GetHwnd(), WM_SETREDRAW, TRUE, 0);
    list.FitColumns({true, true});
    list.AttachSortImages(hSortImages);
    InvalidateRect(list.GetHwnd(), nullptr, TRUE);
}

void ClModuleInformationDlg::OnCommand(UINT id)
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

LRESULT ClModuleInformationDlg::OnNotify(const NMHDR* header)
{
    if (header->idFrom == IDC_MODINFO_TREE && header->code == TVN_SELCHANGEDA) {
        const NMTREEVIEWA* change = reinterpret_cast<const NMTREEVIEWA*>(header);
        ShowNode(static_cast<uint32_t>(change->itemNew.lParam));
        return 0;
    }
    if (header->hwndFrom != list.GetHwnd() || !list.GetHwnd()) return 0;
    switch (header->code) {
    case LVN_COLUMNCLICK: SortList(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem); break;
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
        const bool control = GetKeyState(VK_CONTROL) < 0;
        if (control && key == 'C') CopySelection();
        if (control && key == 'A') list.SelectAll();
        break;
    }
    default: break;
    }
    return 0;
}

void ClModuleInformationDlg::OnContextMenu(HWND source, int x, int y)
{
    if (source != list.GetHwnd() || list.RowCount() == 0) return;
    POINT point = {x, y};
    if (x == -1 && y == -1) point = list.MenuPoint();
    HMENU menu = ResourceModule::Menu(IDR_POPUP_MODULE_PROPERTIES);
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    HMENU engines = nullptr;
    if (nNodeType == ModuleInformation::ImportsNode || nNodeType == ModuleInformation::ImportedModuleNode ||
        nNodeType == ModuleInformation::ExportsNode) {
        const std::string title = StringTable::Load(158);
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        engines = pSearch ? pSearch->CreateEngineMenu() : nullptr;
        if (engines)
            AppendMenuA(popup, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(engines), title.c_str());
        else
            AppendMenuA(popup, MF_STRING, ID_SEARCH_INTERNET, title.c_str());
    }
    UINT id = static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x,
                                               point.y, 0, hWnd, nullptr));
    DestroyMenu(menu);  // takes the engine popup with it
    if (id) OnCommand(id);
}

BOOL ClModuleInformationDlg::OnSetCursor(HWND over)
{
    if (over != hWnd) return FALSE;
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hWnd, &point);
    if (!InGap(point.x, point.y)) return FALSE;
    SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
    SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

bool ClModuleInformationDlg::InGap(int x, int y) const
{
    RECT client;
    GetClientRect(hWnd, &client);
    const int treeRight = kMargin + nTreeWidth;
    return x >= treeRight && x < treeRight + kGap && y >= kMargin && y < client.bottom - kMargin;
}

void ClModuleInformationDlg::OnLButtonDown(int x, int y)
{
    if (!InGap(x, y)) return;
    SetCapture(hWnd);
    bDragging = true;
    bGrabbed = false;
    nGrabOffset = 0;
}

void ClModuleInformationDlg::OnMouseMove(int x)
{
    if (!bDragging) return;
    RECT client;
    GetClientRect(hWnd, &client);
    if (x < kMinPane || x > client.right - kMinPane) return;
    const int treeRight = kMargin + nTreeWidth;
    if (!bGrabbed) {
        nGrabOffset = x - treeRight;
        bGrabbed = true;
    }
    nTreeWidth = x - nGrabOffset - kMargin;
    Layout();
}

void ClModuleInformationDlg::OnLButtonUp()
{
    if (!bDragging) return;
    bDragging = false;
    ReleaseCapture();
}

void ClModuleInformationDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = 2 * kMinPane + 4 * kMargin + GetSystemMetrics(SM_CXFRAME) * 2;
    info->ptMinTrackSize.y = 120;
}

void ClModuleInformationDlg::OnDestroy()
{
    list.Destroy();
}

void ClModuleInformationDlg::Layout()
{
    if (!hTree) return;
    RECT client;
    GetClientRect(hWnd, &client);
    const int height = client.bottom - 2 * kMargin;
    const int treeRight = kMargin + nTreeWidth;
    MoveWindow(hTree, kMargin, kMargin, nTreeWidth, height > 0 ? height : 0, TRUE);
    if (list.GetHwnd()) {
        const int left = treeRight + kGap;
        const int width = client.right - kMargin - left;
        MoveWindow(list.GetHwnd(), left, kMargin, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
    }
}

int CALLBACK ClModuleInformationDlg::CompareRows(LPARAM first, LPARAM second, LPARAM context)
{
    const ClModuleInformationDlg* self = reinterpret_cast<const ClModuleInformationDlg*>(context);
    const std::vector<ModuleInformation::Row>& rows = self->table.rows;
    if (static_cast<size_t>(first) >= rows.size() || static_cast<size_t>(second) >= rows.size()) return 0;
    int result = ModuleInformation::Compare(self->nNodeType, self->sortOrder.nColumn,
                                            rows[static_cast<size_t>(first)], rows[static_cast<size_t>(second)]);
    return self->sortOrder.bAscending ? result : -result;
}

void ClModuleInformationDlg::SortList(int column)
{
    sortOrder.Click(column);
    SendMessageA(list.GetHwnd(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                 reinterpret_cast<LPARAM>(&ClModuleInformationDlg::CompareRows));
    list.ShowSortArrow(sortOrder.nColumn, sortOrder.bAscending);
}

void ClModuleInformationDlg::CopySelection()
{
    std::vector<std::vector<std::string>> rows = list.SelectedCells();
    if (rows.empty()) return;
    ClipboardCopy::SetClipboardText(hWnd, ClipboardCopy::TableText(rows));
}

void ClModuleInformationDlg::Search(UINT commandId)
{
    std::vector<int> selected = list.SelectedRows();
    if (selected.empty()) return;
    int column;
    switch (nNodeType) {
    case ModuleInformation::ImportsNode: column = 0; break;
    case ModuleInformation::ImportedModuleNode:
    case ModuleInformation::ExportsNode: column = 1; break;
    default: return;
    }
    std::string term = list.CellText(selected[0], column);
    if (term.size() > kSearchTermLength - 1) term.resize(kSearchTermLength - 1);
    if (term.empty() || !pSearch) return;
    pSearch->Search(commandId, term);
}
