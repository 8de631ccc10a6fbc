#include "app/mainframe/FrameMenus.h"

#include "app/commands/FrameCommands.h"
#include "app/language/ResourceModule.h"
#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameWindows.h"
#include "app/mainframe/LauncherRuns.h"
#include "app/mainframe/PluginRuns.h"
#include "app/mainframe/RefreshCycle.h"
#include "app/mainframe/SelectionModel.h"
#include "app/menus/StringTable.h"
#include "app/pluginhost/PluginMenuFilter.h"
#include "app/res/resource.h"
#include "app/settings/UserSettings.h"
#include "sysinfo/TopLevelWindowList.h"
#include "views/ModuleColumns.h"

#include <cstring>

FrameMenus::FrameMenus(FrameHost& host, FrameWindows& windows, RefreshCycle& cycle, SelectionModel& selection,
                       PluginRuns& plugins, LauncherRuns& launchers)
    : host(host), windows(windows), cycle(cycle), selection(selection), plugins(plugins), launchers(launchers),
      bOwnerDraw(true)
{
}

void FrameMenus::Setup(bool ownerDraw)
{
    bOwnerDraw = ownerDraw;
    ownerDrawMenu.SetImages(windows.ToolbarImages(),
                            {{ID_VIEW_REFRESH, FrameWindows::kImageRefresh},
                             {ID_FILE_KILL, FrameWindows::kImageKill},
                             {ID_FILE_REPORT, FrameWindows::kImageReport},
                             {ID_FILE_FINDDLL, FrameWindows::kImageFindDll},
                             {ID_EXTRAS_OPTIONS, FrameWindows::kImageOptions},
                             {ID_PROPERTIES_ADVANCED, FrameWindows::kImageProperties},
                             {ID_PROPERTIES_STANDARD, FrameWindows::kImageProperties},
                             {ID_VIEW_FULLSCREEN, FrameWindows::kImageFullScreen}});
    ownerDrawMenu.AddRadioCommands(ID_SORT_NAME, ID_SORT_LOADORDER);
    ownerDrawMenu.AddRadioCommands(ID_UPDATE_PAUSED, ID_UPDATE_5S);
}

// ---- Enabling ---------------------------------------------------------------------

bool FrameMenus::HasCommand(HMENU menu, UINT command)
{
    return GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

MenuEnabling::State FrameMenus::State(HMENU menu) const
{
    MenuEnabling::State state;
    state.view = selection.FocusedView();
    if (state.view == MenuEnabling::View::ModuleList) {
        ModuleItem module;
        state.bModuleSelected = selection.SelectedModule(module);
        return state;
    }
    const std::vector<ProcessItem> selected = selection.SelectedProcesses(true);
    state.nSelectedProcesses = static_cast<int>(selected.size());
    if (selected.size() == 1) {
        state.bRealProcess = selection.IsRealProcess(selected.front());
        if (HasCommand(menu, ID_FILE_SWITCHTO))
            state.bHasTopLevelWindow = TopLevelWindowList::HasWindowOf(selected.front().dwPid);
        if (HasCommand(menu, ID_FILE_DEBUG)) state.bDebuggerRegistered = FrameCommands::IsDebuggerRegistered();
    }
    return state;
}

void FrameMenus::OnInitMenuPopup(HMENU menu)
{
    // Only pop-ups that hold process or module commands need the selection.
    bool relevant = false;
    const std::map<unsigned, bool> noSelection = MenuEnabling::Compute(MenuEnabling::State());
    for (const auto& entry : noSelection) relevant = relevant || HasCommand(menu, entry.first);
    if (relevant) {
        for (const auto& entry : MenuEnabling::Compute(State(menu)))
            EnableMenuItem(menu, entry.first, MF_BYCOMMAND | (entry.second ? MF_ENABLED : MF_GRAYED));
    }
    const UserSettings& settings = host.Settings();
    CheckMenuItem(menu, ID_VIEW_TOOLBAR, MF_BYCOMMAND | (settings.bShowToolbar ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_VIEW_INFOBAR, MF_BYCOMMAND | (settings.bShowInfobar ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_VIEW_STATUSBAR, MF_BYCOMMAND | (settings.bShowStatusbar ? MF_CHECKED : MF_UNCHECKED));
    if (GetMenuItemID(menu, 0) == ID_SORT_NAME)
        CheckMenuRadioItem(menu, 0, ModuleColumns::kModeCount - 1,
                           static_cast<UINT>(ModuleColumns::MenuPosition(settings.ssModuleSort.nSortMode)),
                           MF_BYPOSITION);
}

void FrameMenus::OnMenuSelect(UINT id, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu) {
        cycle.UpdateStatusCount();
        return;
    }
    if (flags & (MF_POPUP | MF_SEPARATOR)) windows.Status().SetText(std::string());
    else windows.Status().SetText(StringTable::Load(id));
}

// ---- Context menus ------------------------------------------------------------------

UINT FrameMenus::ContextMenuFor(HWND& window, int x, int y) const
{
    const HWND list = windows.List();
    const HWND header = windows.ListHeader();
    // A click on the list's header may arrive as the list's own menu request.
    if (list && window == list && header && !(x == -1 && y == -1)) {
        RECT rect;
        GetWindowRect(header, &rect);
        const POINT point = {x, y};
        if (PtInRect(&rect, point)) window = header;
    }
    if (header && window == header) return cycle.Content() == ListContent::Modules ? IDR_POPUP_MV_SORTMODE : 0;
    if (window == windows.Tree()) return IDR_POPUP_TV_P_CONTEXT;
    if (window == list && cycle.Content() == ListContent::Processes) return IDR_POPUP_PV_CONTEXT;
    if (window == list && cycle.Content() == ListContent::Modules) return IDR_POPUP_MV_CONTEXT;
    return 0;
}

void FrameMenus::OnContextMenu(HWND window, int x, int y)
{
    if (!window) return;
    const UINT menuId = ContextMenuFor(window, x, y);
    if (!menuId) return;
    if (x == -1 && y == -1) {
        // From the keyboard: at the selected item, or the view's corner.
        RECT rect = {0, 0, 8, 8};
        if (window == windows.Tree()) {
            const HTREEITEM selected = windows.SelectedTreeItem();
            std::memcpy(&rect, &selected, sizeof(selected));
            if (!SendMessageA(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect))) SetRect(&rect, 0, 0, 8, 8);
        } else if (window == windows.List()) {
            const int mark = static_cast<int>(SendMessageA(window, LVM_GETSELECTIONMARK, 0, 0));
            rect.left = LVIR_LABEL;
            if (mark < 0 || !SendMessageA(window, LVM_GETITEMRECT, mark, reinterpret_cast<LPARAM>(&rect)))
                SetRect(&rect, 0, 0, 8, 8);
        }
        POINT point = {rect.left + 8, rect.bottom};
        ClientToScreen(window, &point);
        x = point.x;
        y = point.y;
    }
    HMENU resource = ResourceModule::Menu(menuId);
    if (!resource) return;
    HMENU popup = GetSubMenu(resource, 0);
    if (menuId == IDR_POPUP_PV_CONTEXT) {
        SetDefaultCommand(popup, ID_PROPERTIES_ADVANCED);
        plugins.InsertSubmenu(popup, 2, MenuEnabling::View::ProcessList);
        launchers.InsertSearchEngines(popup);
    } else if (menuId == IDR_POPUP_MV_CONTEXT) {
        SetDefaultCommand(popup, ID_PROPERTIES_ADVANCED);
        launchers.InsertOpenWith(popup);
        plugins.InsertSubmenu(popup, 2, MenuEnabling::View::ModuleList);
        launchers.InsertSearchEngines(popup);
    } else if (menuId == IDR_POPUP_TV_P_CONTEXT) {
        plugins.InsertSubmenu(popup, 2, MenuEnabling::View::Tree);
        launchers.InsertSearchEngines(popup);
    }
    Track(popup, window, x, y);
    DestroyMenu(resource);
    ownerDrawMenu.Release();
    launchers.Menus().Release();
}

void FrameMenus::SetDefaultCommand(HMENU menu, UINT command)
{
    // The item may sit in a submenu ("Properties").
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (GetMenuItemID(menu, position) == command) {
            SetMenuDefaultItem(menu, command, FALSE);
            return;
        }
        if (HMENU submenu = GetSubMenu(menu, position)) SetDefaultCommand(submenu, command);
    }
}

void FrameMenus::Track(HMENU popup, HWND view, int x, int y)
{
    // The menu's loop may deliver refreshes and closing: they wait for its end,
    // and so does the command chosen.
    BusyScope hold(host);
    if (bOwnerDraw) ownerDrawMenu.Convert(popup);
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, host.Window(), nullptr));
    RunFromMenu(id, view);
}

void FrameMenus::RunFromMenu(UINT id, HWND view)
{
    if (id == 0 || !host.Window()) return;
    if (PluginMenuFilter::IsPluginCommand(static_cast<int>(id))) plugins.Run(id, view);
    else if (LauncherMenus::IsEngineCommand(id)) launchers.SearchWith(id, view);
    else SendMessageA(host.Window(), WM_COMMAND, id, 0);
}

UINT FrameMenus::OptionsDropDown(const NMTOOLBARA& button)
{
    HMENU resource = ResourceModule::Menu(IDR_POPUP_OPTIONS);
    if (!resource) return 0;
    HWND toolbar = windows.Toolbar();
    RECT rect = {};
    SendMessageA(toolbar, TB_GETRECT, button.iItem, reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    UINT id;
    {
        BusyScope hold(host);
        id = static_cast<UINT>(TrackPopupMenu(GetSubMenu(resource, 0), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                              rect.left, rect.bottom, 0, host.Window(), nullptr));
    }
    DestroyMenu(resource);
    return id;
}

// ---- Owner drawing ----------------------------------------------------------------------

// One renderer for all: the launcher pop-ups' items are drawn like the converted ones.
bool FrameMenus::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU) return false;
    std::string text;
    HICON icon = nullptr;
    if (!launchers.Menus().Lookup(item.itemData, text, icon)) return ownerDrawMenu.Draw(item);
    ownerDrawMenu.DrawLabel(item, text, icon);
    return true;
}

bool FrameMenus::MeasureItem(MEASUREITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU) return false;
    std::string text;
    HICON icon = nullptr;
    if (!launchers.Menus().Lookup(item.itemData, text, icon)) return ownerDrawMenu.Measure(item);
    ownerDrawMenu.MeasureLabel(item, text);
    return true;
}

LRESULT FrameMenus::OnMenuChar(WPARAM wParam, LPARAM lParam)
{
    if (!bOwnerDraw || (HIWORD(wParam) & MF_SYSMENU))
        return DefWindowProcA(host.Window(), WM_MENUCHAR, wParam, lParam);
    const LRESULT result = ownerDrawMenu.MenuChar(static_cast<char>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam));
    if (HIWORD(result) == MNC_IGNORE) return DefWindowProcA(host.Window(), WM_MENUCHAR, wParam, lParam);
    return result;
}

void FrameMenus::RecreateFonts()
{
    ownerDrawMenu.RecreateFonts();
}
