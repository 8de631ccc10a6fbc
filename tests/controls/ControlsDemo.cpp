// Shows the five controls in one window: the infobar, the grid view (with rows
// and empty), the tree view, the hyperlink and icon buttons.
#include <windows.h>
#include <commctrl.h>

#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "controls/ButtonEx.h"
#include "controls/GridView.h"
#include "controls/HyperLink.h"
#include "controls/Infobar.h"
#include "controls/TreeViewEx.h"

namespace {

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HTREEITEM AddItem(HWND tree, HTREEITEM parent, const char* text)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void AddRow(HWND list, int index, const char* name, const char* location)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(name);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(location);
    SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

HICON SmallIcon(HINSTANCE instance, int id)
{
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DemoProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TARNWICK));
    windowClass.lpszClassName = "TarnwickControlsDemo";
    RegisterClassA(&windowClass);
    HWND frame = CreateWindowExA(0, windowClass.lpszClassName, StringTable::Load(1).c_str(),
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 760, 460, nullptr,
                                 LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU)), instance, nullptr);

    TreeViewEx tree;
    RECT treeRect = {8, 8, 208, 330};
    tree.Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                      TVS_SHOWSELALWAYS, treeRect, frame, 302);
    HTREEITEM root = AddItem(tree.GetHwnd(), TVI_ROOT, StringTable::Load(2).c_str());
    HTREEITEM explorer = AddItem(tree.GetHwnd(), root, "explorer.exe");
    AddItem(tree.GetHwnd(), explorer, "notepad.exe");
    AddItem(tree.GetHwnd(), explorer, "tarnwick.exe");
    AddItem(tree.GetHwnd(), root, "services.exe");
    AddItem(tree.GetHwnd(), TVI_ROOT, StringTable::Load(3).c_str());
    SendMessageA(tree.GetHwnd(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    SendMessageA(tree.GetHwnd(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(explorer));
    SendMessageA(tree.GetHwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(explorer));

    Infobar infobar;
    RECT barRect = {214, 8, 744, 40};
    infobar.Create(0, WS_CHILD | WS_VISIBLE, "explorer.exe - [PID: 1234] - Modules of the selected process",
                   barRect, frame, 303);
    infobar.SetMargins(6, 4, 4, 4);
    infobar.SetGradient(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    infobar.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    infobar.SetIcon(SmallIcon(instance, IDI_PROCESS), 0);

    GridView grid;
    RECT gridRect = {214, 44, 744, 200};
    grid.Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, gridRect, frame, 304);
    grid.InsertColumn(0, StringTable::Load(11).c_str(), 150);
    grid.InsertColumn(1, StringTable::Load(12).c_str(), 300);
    AddRow(grid.GetHwnd(), 0, "ntdll.dll", "C:\\windows\\system32");
    AddRow(grid.GetHwnd(), 1, "kernel32.dll", "C:\\windows\\system32");
    AddRow(grid.GetHwnd(), 2, "user32.dll", "C:\\windows\\system32");
    SendMessageA(grid.GetHwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

    GridView empty;
    RECT emptyRect = {214, 206, 744, 330};
    empty.Create(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | LVS_REPORT, emptyRect, frame, 305);
    empty.InsertColumn(0, StringTable::Load(8).c_str(), 150);
    empty.InsertColumn(1, StringTable::Load(9).c_str(), 80);
    SetWindowTextA(empty.GetHwnd(), StringTable::Load(140).c_str());

    HyperLink link;
    RECT linkRect = {8, 345, 200, 365};
    link.Create(0, WS_CHILD | WS_VISIBLE, "Download Plugins", linkRect, frame, 1042);
    HyperLink visited;
    RECT visitedRect = {8, 370, 200, 390};
    visited.Create(0, WS_CHILD | WS_VISIBLE, "Tarnwick Home Page", visitedRect, frame, 1043);
    SendMessageA(visited.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(visited.GetHwnd(), WM_LBUTTONUP, 0, 0);

    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    ButtonEx ok, cancel, help, pressed;
    struct {
        ButtonEx* button;
        const char* text;
        int icon;
        int x;
        UINT id;
        DWORD style;
    } buttons[] = {{&ok, "OK", IDI_OK, 434, IDOK, BS_DEFPUSHBUTTON},
                   {&cancel, "Cancel", IDI_CANCEL, 538, IDCANCEL, BS_PUSHBUTTON},
                   {&help, "Help", IDI_HELP, 642, 1087, BS_PUSHBUTTON},
                   {&pressed, "Pressed", IDI_MODULE, 330, 1100, BS_PUSHBUTTON}};
    for (auto& entry : buttons) {
        RECT rect = {entry.x, 350, entry.x + 96, 376};
        entry.button->Create(0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | entry.style, entry.text, rect, frame, entry.id);
        SendMessageA(entry.button->GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        entry.button->SetIcon(SmallIcon(instance, entry.icon));
    }
    // One button shown held down, one hot, one disabled.
    SendMessageA(pressed.GetHwnd(), BM_SETSTATE, TRUE, 0);
    SendMessageA(cancel.GetHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ButtonEx disabled;
    RECT disabledRect = {226, 350, 322, 376};
    disabled.Create(0, WS_CHILD | WS_VISIBLE | WS_DISABLED, "Remove", disabledRect, frame, 1107);
    SendMessageA(disabled.GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    disabled.SetIcon(SmallIcon(instance, IDI_CANCEL));

    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    SetFocus(tree.GetHwnd());

    // "--seconds N" closes the window after N seconds (for screenshots).
    const char* seconds = commandLine ? strstr(commandLine, "--seconds ") : nullptr;
    if (seconds) SetTimer(nullptr, 0, static_cast<UINT>(atoi(seconds + 10)) * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
