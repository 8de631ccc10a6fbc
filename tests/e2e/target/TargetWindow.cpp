#include "tests/e2e/target/TargetWindow.h"

#include "tests/e2e/target/TargetDialog.h"
#include "tests/e2e/target/TargetIds.h"

#include <cstdio>
#include <cstring>

namespace {
struct Row {
    const char* name;
    const char* size;
    const char* kind;
    int image;
    int indent;
};

const Row kRows[] = {
    {"alpha.dll", "12 Kb", "Library", 0, 0},
    {"beta.exe", "340 Kb", "Program", 1, 0},
    {"gamma.dll", "8 Kb", "Library", 0, 1},
    {"delta.sys", "96 Kb", "Driver", 2, 0},
    {"epsilon.ocx", "1.024 Kb", "Control", 0, 0},
};
const int kRowCount = sizeof(kRows) / sizeof(kRows[0]);
const char* const kColumns[] = {"Name", "Size", "Kind"};

HTREEITEM AddItem(HWND tree, HTREEITEM parent, const char* text, int image)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// A 14 x 14 arrow: up (ascending) or down on a grey background.
HBITMAP ArrowBitmap(bool up)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 14, 14);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 14, 14};
    HBRUSH grey = CreateSolidBrush(RGB(192, 192, 192));
    FillRect(dc, &all, grey);
    DeleteObject(grey);
    POINT points[3];
    if (up) {
        points[0] = {7, 3}; points[1] = {11, 10}; points[2] = {3, 10};
    } else {
        points[0] = {3, 4}; points[1] = {11, 4}; points[2] = {7, 11};
    }
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, black);
    Polygon(dc, points, 3);
    SelectObject(dc, oldBrush);
    DeleteObject(black);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}
} // namespace

TargetWindow::TargetWindow(HINSTANCE instance)
    : hInstance(instance), hWnd(nullptr), hTree(nullptr), hList(nullptr), hStatus(nullptr), hToolbar(nullptr), hImages(nullptr),
      hArrows(nullptr), nExitCode(0), nCount(0), nFullCount(0), nSortColumn(1), bAscending(false)
{
}

bool TargetWindow::Create(const char* title, int exitCode)
{
    nExitCode = exitCode;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = TARGET_CLASS;
    if (!RegisterClassA(&windowClass)) return false;
    HWND window = CreateWindowExA(0, TARGET_CLASS, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 720, 480,
                                  nullptr, LoadMenuA(hInstance, MAKEINTRESOURCEA(IDR_TARGET_MENU)), hInstance, this);
    if (!window) return false;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}

LRESULT CALLBACK TargetWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        TargetWindow* self = static_cast<TargetWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hWnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    TargetWindow* self = reinterpret_cast<TargetWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return self->OnCreate();
    case WM_SIZE:
        self->OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        self->OnCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return self->OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DESTROY:
        PostQuitMessage(self->nExitCode);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT TargetWindow::OnCreate()
{
    hImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0);
    ImageList_AddIcon(hImages, LoadIcon(nullptr, IDI_APPLICATION));
    ImageList_AddIcon(hImages, LoadIcon(nullptr, IDI_WARNING));
    ImageList_AddIcon(hImages, LoadIcon(nullptr, IDI_INFORMATION));

    hToolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST, 0, 0,
                               0, 0, hWnd, reinterpret_cast<HMENU>(IDC_TARGET_TOOLBAR), hInstance, nullptr);
    SendMessageA(hToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(hToolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hImages));
    TBBUTTON buttons[4] = {};
    const char* const labels[] = {"Count", "", "Lines", "Box"};
    const int commands[] = {IDM_TARGET_COUNT, 0, IDM_TARGET_DEBUG, IDM_TARGET_BOX};
    for (int i = 0; i < 4; ++i) {
        buttons[i].idCommand = commands[i];
        buttons[i].iBitmap = commands[i] ? i % 3 : 0;
        buttons[i].fsStyle = commands[i] ? BTNS_BUTTON | BTNS_AUTOSIZE : BTNS_SEP;
        buttons[i].fsState = commands[i] == IDM_TARGET_BOX ? 0 : TBSTATE_ENABLED;
        buttons[i].iString = reinterpret_cast<INT_PTR>(labels[i]);
    }
    SendMessageA(hToolbar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(hToolbar, TB_AUTOSIZE, 0, 0);

    hTree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT
                                | TVS_SHOWSELALWAYS,
                            0, 0, 10, 10, hWnd, reinterpret_cast<HMENU>(IDC_TARGET_TREE), hInstance, nullptr);
    SendMessageA(hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(hImages));
    HTREEITEM root = AddItem(hTree, TVI_ROOT, "Root", 0);
    HTREEITEM alpha = AddItem(hTree, root, "Alpha", 1);
    AddItem(hTree, alpha, "Alpha 1", 2);
    AddItem(hTree, alpha, "Alpha 2", 2);
    AddItem(hTree, root, "Beta", 1);
    HTREEITEM second = AddItem(hTree, TVI_ROOT, "Second root", 0);
    AddItem(hTree, second, "Hidden child", 2);
    SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(alpha));

    RECT bar = {0, 0, 10, 10};
    infobar.Create(0, WS_CHILD | WS_VISIBLE, "Target ready", bar, hWnd, IDC_TARGET_INFOBAR);
    infobar.SetGradient(RGB(0, 0, 128), RGB(0, 128, 255));
    infobar.SetMargins(6, 4, 4, 4);
    infobar.SetIcon(LoadIcon(nullptr, IDI_INFORMATION), 0);

    hList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 10, 10, hWnd,
                            reinterpret_cast<HMENU>(IDC_TARGET_LIST), hInstance, nullptr);
    SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    SendMessageA(hList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(hImages));
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        info.fmt = column == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        info.cx = 120 + 10 * column;
        info.pszText = const_cast<char*>(kColumns[column]);
        SendMessageA(hList, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
    }
    for (int row = 0; row < kRowCount; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = LPSTR_TEXTCALLBACKA;
        item.iImage = kRows[row].image;
        item.iIndent = kRows[row].indent;
        item.lParam = row;
        SendMessageA(hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 3; ++column) {
            LVITEMA sub = {};
            sub.iSubItem = column;
            sub.pszText = LPSTR_TEXTCALLBACKA;
            SendMessageA(hList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
        }
    }
    // Shown as Name, Kind, Size.
    int order[3] = {0, 2, 1};
    SendMessageA(hList, LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order));
    hArrows = ImageList_Create(14, 14, ILC_COLOR24 | ILC_MASK, 2, 0);
    for (bool up : {true, false}) {
        HBITMAP arrow = ArrowBitmap(up);
        ImageList_AddMasked(hArrows, arrow, RGB(192, 192, 192));
        DeleteObject(arrow);
    }
    HWND header = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hArrows));
    SetSortArrow(nSortColumn, bAscending);

    hStatus = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBT_TOOLTIPS, 0, 0, 0,
                              0, hWnd, reinterpret_cast<HMENU>(IDC_TARGET_STATUS), hInstance, nullptr);
    int parts[3] = {300, 400, -1};
    SendMessageA(hStatus, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    SetStatus(0, "Ready");
    SetStatus(1, "Count : 0");
    return 0;
}

void TargetWindow::OnSize(int width, int height)
{
    SendMessageA(hStatus, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(hStatus, &bar);
    const int statusHeight = bar.bottom - bar.top;
    int parts[3] = {width - 260, width - 100, -1};
    SendMessageA(hStatus, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    SendMessageA(hStatus, SB_SETTIPTEXTA, 0, reinterpret_cast<LPARAM>("Ready tip"));
    SendMessageA(hToolbar, TB_AUTOSIZE, 0, 0);
    RECT tools;
    GetWindowRect(hToolbar, &tools);
    const int top = tools.bottom - tools.top;
    const int treeWidth = 200;
    MoveWindow(hTree, 0, top, treeWidth, height - statusHeight - top, TRUE);
    MoveWindow(infobar.GetHwnd(), treeWidth + 6, top, width - treeWidth - 6, 32, TRUE);
    MoveWindow(hList, treeWidth + 6, top + 32, width - treeWidth - 6, height - statusHeight - top - 32, TRUE);
}

void TargetWindow::SetStatus(int part, const std::string& text)
{
    SendMessageA(hStatus, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
}

void TargetWindow::OnCommand(int id)
{
    switch (id) {
    case IDM_TARGET_BOX:
        MessageBoxA(hWnd, "Something unexpected happened.", "Tarnwick 2.6", MB_OK | MB_ICONWARNING);
        break;
    case IDM_TARGET_DIALOG:
        ShowDialog();
        break;
    case IDM_TARGET_DEBUG:
        OutputDebugStringA("target: line one\n");
        OutputDebugStringA("target: line two\n");
        break;
    case IDM_TARGET_COPY:
        CopyToClipboard();
        break;
    case IDM_TARGET_CRASH:
        *static_cast<volatile int*>(nullptr) = 1;
        break;
    case IDM_TARGET_COUNT:
        SetStatus(1, "Count : " + std::to_string(++nCount));
        break;
    case IDM_TARGET_FULL:
        SetStatus(1, "Full : " + std::to_string(++nFullCount));
        break;
    case IDM_TARGET_EXIT:
        DestroyWindow(hWnd);
        break;
    default:
        break;
    }
}

LRESULT TargetWindow::OnNotify(NMHDR* header)
{
    if (header->idFrom == IDC_TARGET_TREE && header->code == TVN_SELCHANGEDA) {
        OnTreeSelection(reinterpret_cast<NMTREEVIEWA*>(header));
    } else if (header->idFrom == IDC_TARGET_LIST) {
        switch (header->code) {
        case LVN_GETDISPINFOA:
            OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
            break;
        case LVN_ITEMCHANGED:
            OnListItemChanged(reinterpret_cast<NMLISTVIEW*>(header));
            break;
        case LVN_COLUMNCLICK:
            OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            break;
        default:
            break;
        }
    }
    return 0;
}

void TargetWindow::OnTreeSelection(const NMTREEVIEWA* change)
{
    char text[260] = {};
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = change->itemNew.hItem;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const std::string line = std::string("Tree: ") + text;
    SetWindowTextA(infobar.GetHwnd(), line.c_str());
    OutputDebugStringA(("target: tree " + std::string(text) + "\n").c_str());
}

void TargetWindow::OnListItemChanged(const NMLISTVIEW* change)
{
    if (!(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED)
        || (change->uOldState & LVIS_SELECTED))
        return;
    const int row = change->iItem;
    if (row >= 0 && row < kRowCount) SetStatus(0, std::string("Row: ") + kRows[row].name);
}

void TargetWindow::OnGetDispInfo(NMLVDISPINFOA* info)
{
    if (!(info->item.mask & LVIF_TEXT)) return;
    const int row = info->item.iItem;
    if (row < 0 || row >= kRowCount || !info->item.pszText || info->item.cchTextMax <= 0) return;
    const char* text = info->item.iSubItem == 0 ? kRows[row].name
                     : info->item.iSubItem == 1 ? kRows[row].size
                                                : kRows[row].kind;
    lstrcpynA(info->item.pszText, text, info->item.cchTextMax);
}

void TargetWindow::SetSortArrow(int column, bool ascending)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    for (int index = 0; index < 3; ++index) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        item.mask = HDI_FORMAT | HDI_IMAGE;
        item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
        if (index == column) {
            item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
            item.iImage = ascending ? 0 : 1;
        }
        SendMessageA(header, HDM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
}

void TargetWindow::OnColumnClick(int column)
{
    bAscending = column == nSortColumn ? !bAscending : true;
    nSortColumn = column;
    SetSortArrow(column, bAscending);
    SetStatus(2, std::string("By ") + kColumns[column] + (bAscending ? " up" : " down"));
}

void TargetWindow::ShowDialog()
{
    TargetDialog dialog(hInstance);
    if (dialog.Run(hWnd)) SetStatus(0, "Dialog OK: " + dialog.Result());
    else SetStatus(0, "Dialog cancelled");
}

void TargetWindow::CopyToClipboard()
{
    std::string text = "Copied from target";
    const int row = static_cast<int>(SendMessageA(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row >= 0 && row < kRowCount) text += std::string(": ") + kRows[row].name;
    text += "\r\nsecond line";
    if (!OpenClipboard(hWnd)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}
