#include "app/mainframe/TarnwickMainFrame.h"

#include "app/language/HelpFile.h"
#include "app/mainframe/FrameLayout.h"
#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/pluginhost/PluginMenuFilter.h"
#include "app/res/resource.h"
#include "app/settings/UserSettingsFile.h"
#include "app/startup/TarnwickApp.h"
#include "sysinfo/ProcessIdentity.h"
#include "sysutils/Orvo_SystemUtilities.h"
#include "views/ListSelection.h"
#include "views/ProcessView.h"

#include <windowsx.h>

const char TarnwickMainFrame::kClassName[] = "TarnwickMainFrameWndClass";

namespace {
bool KeyDown(int key)
{
    return GetKeyState(key) < 0;
}
} // namespace

// ---- Construction ----------------------------------------------------------

TarnwickMainFrame::TarnwickMainFrame(TarnwickApp& app)
    : app(app), hwnd(nullptr), settings(), live(LiveSettings::Defaults()), hFullScreenDialog(nullptr), windows(*this, images),
      cycle(*this, windows, images), selection(windows, cycle, snapshot), drag(*this, windows, images),
      launchers(*this, selection), language(*this, plugins), pluginRuns(*this, plugins, selection, language),
      menus(*this, windows, cycle, selection, pluginRuns, launchers),
      options(*this, windows, cycle, launchers, plugins, tray), liveUpdates(*this, windows, cycle),
      commands(*this, selection, cycle, images)
{
    snapshot.SetLocalFilesOnly(true);
    LoadSettings(UserSettingsFile::DefaultPath());
    pluginRuns.Load();
    launchers.Load(strSettingsPath);
}

TarnwickMainFrame::~TarnwickMainFrame()
{
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

void TarnwickMainFrame::UseSettingsFile(const std::string& path)
{
    LoadSettings(path);
    launchers.Load(strSettingsPath);
}

void TarnwickMainFrame::LoadSettings(const std::string& path)
{
    strSettingsPath = path;
    UserSettingsFile::SetDefaults(settings);
    UserSettingsFile::Load(settings, strSettingsPath);
    UserSettingsFile::LoadLive(live, strSettingsPath);
}

ClDebugString& TarnwickMainFrame::Debug()
{
    return app.debugString;
}

bool TarnwickMainFrame::IsNtFamily() const
{
    // Every system outside the 9x family is read and shown the NT way.
    return !app.osVersion.Is9xFamily();
}

bool TarnwickMainFrame::Register()
{
    WNDCLASSA existing;
    if (GetClassInfoA(app.GetInstance(), kClassName, &existing)) return true;
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = app.GetInstance();
    windowClass.hIcon = LoadIconA(app.GetInstance(), MAKEINTRESOURCEA(IDI_TARNWICK));
    // The client area that no child covers is the splitter.
    windowClass.hCursor = LoadCursorA(nullptr, IDC_SIZEWE);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

void TarnwickMainFrame::Unregister()
{
    UnregisterClassA(kClassName, app.GetInstance());
}

bool TarnwickMainFrame::Create(HWND parent, const char* title)
{
    const RECT& stored = settings.wpMainWindow.rcNormalPosition;
    const FrameLayout::Rect place = FrameLayout::InitialPlace({stored.left, stored.top, stored.right, stored.bottom},
                                                              GetSystemMetrics(SM_CXSCREEN),
                                                              GetSystemMetrics(SM_CYSCREEN), CW_USEDEFAULT);
    HMENU menu = ResourceModule::Menu(IDR_MAINMENU);
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, kClassName, title,
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, place.left, place.top,
                                  place.right, place.bottom,
                                  parent, menu, app.GetInstance(), this);
    if (!window) {
        if (menu) DestroyMenu(menu);
        return false;
    }
    cycle.FullRefresh();
    ShowWindow(hwnd, settings.wpMainWindow.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    if (settings.bFullScreen) SendMessageA(hwnd, WM_COMMAND, ID_VIEW_FULLSCREEN, 0);
    return true;
}

// ---- Dispatch ----------------------------------------------------------------

LRESULT CALLBACK TarnwickMainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TarnwickMainFrame* self;
    if (message == WM_NCCREATE) {
        // Attached here: WM_GETMINMAXINFO and WM_NCCALCSIZE come before WM_CREATE.
        self = static_cast<TarnwickMainFrame*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd = window;
    } else {
        self = reinterpret_cast<TarnwickMainFrame*>(GetWindowLongPtrA(window, 0));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, 0, 0);
        self->hwnd = nullptr;
    }
    return result;
}

LRESULT TarnwickMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: if (wParam != SIZE_MINIMIZED) windows.Layout(); return 0;
    case WM_ACTIVATE:
        // Focus back to the view that had it.
        if (LOWORD(wParam) == WA_INACTIVE || !selection.LastFocus() || !IsWindow(selection.LastFocus())) break;
        SetFocus(selection.LastFocus());
        return 0;
    case WM_CLOSE: OnClose(); return 0;
    // The floating full-screen window stays above everything only while the program is active.
    case WM_ACTIVATEAPP: fullScreen.OnActivateApp(wParam != FALSE); break;
    case WM_SYSCOLORCHANGE: windows.OnSysColorChange(); return 0;
    case WM_SETTINGCHANGE: OnSettingChange(); return 0;
    // In full-screen mode the frame may be larger than the screen.
    case WM_GETMINMAXINFO: fullScreen.OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return menus.DrawItem(item) || (item.CtlType == ODT_LISTVIEW && cycle.DrawRow(item)) ? TRUE : FALSE;
    }
    case WM_MEASUREITEM: {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item.CtlType == ODT_LISTVIEW) item.itemHeight = cycle.RowHeight();
        return item.CtlType == ODT_LISTVIEW || menus.MeasureItem(item) ? TRUE : FALSE;
    }
    case WM_MENUCHAR: return menus.OnMenuChar(wParam, lParam);
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_HELP: OnHelp(); return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam), lParam); return 0;
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_INITMENU: if (fullScreen.IsOn()) fullScreen.OnInitMenu(GetSystemMenu(hwnd, FALSE)); return 0;
    case WM_INITMENUPOPUP:
        menus.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        liveUpdates.CheckMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MENUSELECT: menus.OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(); return 0;
    case WM_CONTEXTMENU:
        menus.OnContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case FrameIds::kStoreColumnOrder: cycle.CaptureColumns(true); return 0;
    default:
        if (OnRegisteredMessage(message, lParam)) return 0;
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TarnwickMainFrame::OnCommand(UINT id, HWND control, LPARAM lParam)
{
    switch (id) {
    // File
    case ID_FILE_KILL: commands.Kill(); return;
    case ID_FILE_REPORT: commands.Report(); return;
    case ID_FILE_DEBUG: commands.Debug(); return;
    case ID_FILE_SWITCHTO: commands.SwitchTo(); return;
    case ID_FILE_FINDDLL: commands.FindDll(); return;
    case ID_FILE_QUIT: OnClose(); return;
    // Edit
    case ID_EDIT_COPY: commands.Copy(); return;
    case ID_EDIT_SELECTALL: OnSelectAll(); return;
    // View
    case ID_VIEW_TOOLBAR: windows.ToggleBar(FrameWindows::Bar::Toolbar); return;
    case ID_VIEW_INFOBAR: windows.ToggleBar(FrameWindows::Bar::Infobar); return;
    case ID_VIEW_STATUSBAR: windows.ToggleBar(FrameWindows::Bar::Statusbar); return;
    case ID_VIEW_REFRESH: OnRefreshCommand(lParam == FrameIds::kFullRefreshMark); return;
    case ID_VIEW_FULLSCREEN: OnFullScreen(); return;
    case ID_UPDATE_PAUSED:
    case ID_UPDATE_1S:
    case ID_UPDATE_2S:
    case ID_UPDATE_5S: liveUpdates.SetSpeed(id); return;
    // Properties
    case ID_PROPERTIES_STANDARD: commands.StandardProperties(); return;
    case ID_PROPERTIES_ADVANCED: commands.AdvancedProperties(); return;
    // Process
    case ID_PROCESS_MODULES: OnModules(); return;
    case ID_EXPLORE_FROM_HERE: commands.ExploreFromHere(); return;
    case ID_OPEN_COMMAND_WINDOW: commands.OpenCommandWindow(); return;
    // Module sort
    case ID_SORT_NAME:
    case ID_SORT_EXTENSION:
    case ID_SORT_LOADORDER:
    case ID_SORT_RELOCATED:
    case ID_SORT_DYNAMIC: cycle.SetModuleSortMode(id); return;
    // Options and language
    case ID_EXTRAS_OPTIONS:
    case ID_OPTIONS_VIEW:
    case ID_OPTIONS_COLUMNS:
    case ID_OPTIONS_COLORS:
    case ID_OPTIONS_COPY:
    case ID_OPTIONS_APPLICATIONS:
    case ID_OPTIONS_PLUGINS:
    case ID_OPTIONS_INTERNET_SEARCH: options.Open(id); return;
    case ID_EXTRAS_LANGUAGE: language.Choose(); return;
    // Help
    case ID_HELP_HELP: OnHelp(); return;
    case ID_HELP_ABOUT: commands.About(); return;
    case ID_HELP_HOMEPAGE: commands.WebPage(ShellCommandText::HomePage); return;
    case ID_HELP_PLUGINS: commands.WebPage(ShellCommandText::PluginsPage); return;
    // Internet search
    case ID_SEARCH_INTERNET: launchers.SearchInternet(); return;
    default: break;
    }
    // A plug-in id with a view's window runs on that view, as its menu does.
    const bool fromView = control && (control == windows.Tree() || control == windows.List());
    if (PluginMenuFilter::IsPluginCommand(static_cast<int>(id)) && fromView) {
        pluginRuns.Run(id, control);
        return;
    }
    // Menu items of the launcher and plug-in lists (menus and accelerators send no control).
    if (control && control != windows.Toolbar()) return;
    if (LauncherMenus::IsApplicationCommand(id)) launchers.RunApplication(id);
    else if (PluginMenuFilter::IsPluginCommand(static_cast<int>(id))) pluginRuns.Run(id, selection.FocusedViewWindow());
    else if (LauncherMenus::IsEngineCommand(id)) launchers.SearchWith(id, selection.FocusedViewWindow());
}

LRESULT TarnwickMainFrame::OnNotify(NMHDR& header)
{
    if (header.hwndFrom && header.hwndFrom == windows.List()) return OnListNotify(header);
    if (header.hwndFrom == windows.Tree()) return OnTreeNotify(header);
    if (header.hwndFrom && header.hwndFrom == windows.ListHeader()) {
        // The order is read once the header has finished the drag.
        if (header.code == HDN_ENDDRAG) PostMessageA(hwnd, FrameIds::kStoreColumnOrder, 0, 0);
        return 0;
    }
    if (header.hwndFrom == windows.Toolbar() && header.code == TBN_DROPDOWN) {
        if (const UINT page = menus.OptionsDropDown(reinterpret_cast<NMTOOLBARA&>(header))) options.Open(page);
        return TBDDRET_DEFAULT;
    }
    if (header.hwndFrom == windows.InfobarWindow()) {
        if (header.code == NM_DBLCLK) commands.ListedProcessInformation();
        return 0;
    }
    if (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) return windows.TooltipText(header);
    return 0;
}

LRESULT TarnwickMainFrame::OnTreeNotify(NMHDR& header)
{
    const bool muted = windows.IsTreeMuted();
    switch (header.code) {
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW:
        return muted ? FALSE : cycle.OnSelChanging(reinterpret_cast<NMTREEVIEWA&>(header).action);
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        if (!muted) cycle.OnSelChanged();
        return 0;
    case TVN_GETINFOTIPA:
    case TVN_GETINFOTIPW:
        if (settings.bEnableTooltips) cycle.TreeInfoTip(header);
        return 0;
    case TVN_KEYDOWN:
        if (!muted) OnViewKeyDown(windows.Tree(), reinterpret_cast<NMTVKEYDOWN&>(header).wVKey);
        return 0;
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
        if (!muted) {
            if (const ProcessItem* process = cycle.TreeProcess(reinterpret_cast<NMTREEVIEWA&>(header).itemNew.hItem))
                drag.Begin({*process}, process->nImage);
        }
        return 0;
    case NM_SETFOCUS: selection.NoteFocus(windows.Tree()); return 0;
    case NM_CUSTOMDRAW: return cycle.TreeCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
    default: return 0;
    }
}

LRESULT TarnwickMainFrame::OnListNotify(NMHDR& header)
{
    switch (header.code) {
    case LVN_GETDISPINFOA: cycle.GetDispInfo(reinterpret_cast<NMLVDISPINFOA&>(header)); return 0;
    case LVN_GETINFOTIPA:
        if (settings.bEnableTooltips) cycle.ListInfoTip(reinterpret_cast<NMLVGETINFOTIPA&>(header));
        return 0;
    case LVN_KEYDOWN: OnViewKeyDown(windows.List(), reinterpret_cast<NMLVKEYDOWN&>(header).wVKey); return 0;
    case LVN_BEGINDRAG: {
        const std::vector<ProcessItem> dragged = selection.ProcessesOf(windows.List(), true);
        if (!dragged.empty()) drag.Begin(dragged, dragged.front().nImage);
        return 0;
    }
    case LVN_COLUMNCLICK: cycle.SortByClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem); return 0;
    case LVN_ITEMCHANGED: cycle.OnListItemChanged(reinterpret_cast<NMLISTVIEW&>(header)); return 0;
    case NM_SETFOCUS: selection.NoteFocus(header.hwndFrom); return 0;
    case NM_DBLCLK: OnListDoubleClick(); return 0;
    default: return 0;
    }
}

void TarnwickMainFrame::OnViewKeyDown(HWND view, WORD key)
{
    switch (key) {
    case VK_TAB:
        if (HWND other = view == windows.Tree() ? windows.List() : windows.Tree()) SetFocus(other);
        break;
    case VK_ESCAPE: OnLeaveFullScreen(); break;
    case VK_DELETE: commands.Kill(); break;
    case VK_F5:
        // The tree refreshes at once; the list goes through the command, as the menu does.
        if (view == windows.Tree()) OnRefreshCommand(KeyDown(VK_CONTROL));
        else SendMessageA(hwnd, WM_COMMAND, ID_VIEW_REFRESH, KeyDown(VK_CONTROL) ? FrameIds::kFullRefreshMark : 0);
        break;
    default: break;
    }
}

void TarnwickMainFrame::OnListDoubleClick()
{
    if (app.dwComctlVersion < MAKELONG(71, 4)) {
        Debug().print("You need Internet Explorer 4.0 or higher!\n");
        return;
    }
    if (KeyDown(VK_MENU)) commands.StandardProperties();
    else commands.AdvancedProperties();
}

// ---- Creation, closing and tear-down ---------------------------------------------

LRESULT TarnwickMainFrame::OnCreate()
{
    if (!images.Create(app.GetInstance()) || !windows.Create() || !CreateFullScreenWindow()) return -1;
    selection.NoteFocus(windows.Tree());
    const bool ownerDraw = !app.Switches().bDisableOwnerDrawMenus;
    menus.Setup(ownerDraw);
    launchers.InstallBuiltInEngine(ownerDraw);
    // The information windows search through the same engines.
    commands.SetSearchHost(&launchers.SearchHost());
    pluginRuns.Initialize();
    tray.Attach(hwnd, app.GetInstance(), IDI_TARNWICK, StringTable::Load(1).c_str(), settings.bHideWhenMinimized != 0);
    StartWorkers();
    liveUpdates.Start();
    return 0;
}

void TarnwickMainFrame::OnDestroy()
{
    // Threads first: they may be sending to windows that are about to go.
    StopWorkers();
    liveUpdates.Stop();
    KillTimer(hwnd, FrameIds::kDragScrollTimer);
    windows.Destroy();
    cycle.Clear();
    selection.Forget();
    pluginRuns.Finalize();
    tray.Remove();
    DestroyFullScreenWindow();
    PostQuitMessage(0);
}

void TarnwickMainFrame::OnClose()
{
    if (busy.Defer(BusyCount::kClose)) return;
    // The full-screen mode itself stays on for saving: the next start returns to it.
    fullScreen.HideWindow();
    SaveSettings();
    launchers.Save();
    DestroyWindow(hwnd);
}

bool TarnwickMainFrame::SaveSettings()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(hwnd, &placement)) placement = settings.wpMainWindow;
    fullScreen.Store(settings, placement);
    cycle.CaptureColumns(true);
    if (windows.Tree()) settings.nLeftPaneWidth = static_cast<uint16_t>(windows.TreeWidth());
    const bool saved = UserSettingsFile::Save(settings, strSettingsPath);
    return UserSettingsFile::SaveLive(live, strSettingsPath) && saved;
}

bool TarnwickMainFrame::CreateFullScreenWindow()
{
    // The language module's template when it has one, else the program's own.
    HMODULE resources = ResourceModule::ForDialog(ClTarnwickFullscreenDlg::kTemplateName);
    if (!fullScreen.Create(resources, hwnd, ID_VIEW_FULLSCREEN)) return false;
    hFullScreenDialog = fullScreen.GetDialog();
    app.AddModelessWindow(hFullScreenDialog);
    return true;
}

void TarnwickMainFrame::DestroyFullScreenWindow()
{
    // A window made anew (language change) starts in the mode this one had.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (fullScreen.IsOn() || GetWindowPlacement(hwnd, &placement)) fullScreen.Store(settings, placement);
    fullScreen.Reset();
    app.RemoveModelessWindow(hFullScreenDialog);
    hFullScreenDialog = nullptr;
}

// ---- Busy count ------------------------------------------------------------------

void TarnwickMainFrame::EndBusy()
{
    const unsigned requests = busy.End();
    if (requests && hwnd) RunDeferred(requests);
}

void TarnwickMainFrame::RunDeferred(unsigned requests)
{
    const BusyCount::Plan plan = BusyCount::MakePlan(requests);
    if (requests & BusyCount::kSelection) cycle.CancelPendingSelection();
    if (plan.bClose) {
        OnClose();
        return;
    }
    if (plan.bSettingChange) ApplySettingChange();
    else if (plan.bRefreshFull) cycle.Refresh(true);
    else if (plan.bRefresh) cycle.Refresh(false);
    else if (plan.bSelection) cycle.ShowSelection();
}

void TarnwickMainFrame::ShowSelectProcessMessage()
{
    BusyScope hold(*this);
    MessageBoxA(hwnd, StringTable::Load(77).c_str(), StringTable::Load(1).c_str(), MB_OK | MB_ICONSTOP);
}

bool TarnwickMainFrame::ConfirmRunning(const ProcessItem& process, bool endedToo)
{
    const ProcessIdentity::State state =
        ProcessIdentity::Check(process.dwPid, ProcessIdentity::Value(process.ftCreated));
    if (state != ProcessIdentity::State::Reused && (!endedToo || state != ProcessIdentity::State::Ended)) return true;
    {
        BusyScope hold(*this);
        MessageBoxA(hwnd, StringTable::Load(230).c_str(), StringTable::Load(1).c_str(), MB_OK | MB_ICONINFORMATION);
    }
    if (hwnd) PostMessageA(hwnd, WM_COMMAND, ID_VIEW_REFRESH, FrameIds::kFullRefreshMark);
    return false;
}

// ---- Settings, timers, mouse -------------------------------------------------------

void TarnwickMainFrame::OnSettingChange()
{
    if (busy.Defer(BusyCount::kSettingChange)) return;
    ApplySettingChange();
}

void TarnwickMainFrame::ApplySettingChange()
{
    settings.lfViewFont.lfCharSet = GetAnsiCharset();
    windows.RecreateViewFont();
    cycle.Refresh(true);
    menus.RecreateFonts();
}

LRESULT TarnwickMainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam)
{
    // Hidden instead of minimised only while the tray icon is there to bring it back.
    if ((wParam & 0xFFF0) == SC_MINIMIZE && settings.bHideWhenMinimized && tray.OnMinimize()) return 0;
    return DefWindowProcA(hwnd, WM_SYSCOMMAND, wParam, lParam);
}

bool TarnwickMainFrame::OnRegisteredMessage(UINT message, LPARAM lParam)
{
    if (message == TrayIcon::CallbackMessage()) tray.OnNotify(lParam);
    else if (message == TrayIcon::TaskbarCreatedMessage()) tray.OnTaskbarCreated();
    else return false;
    return true;
}

void TarnwickMainFrame::OnTimer(UINT_PTR id)
{
    if (id == FrameIds::kSelectionTimer) cycle.OnSelectionTimer();
    else if (id == FrameIds::kDragScrollTimer) drag.OnScrollTimer();
    // Not while processes are dragged: the tree is locked for the drag picture.
    else if (id == FrameIds::kLiveTimer && !drag.IsDragging()) liveUpdates.OnTimer();
}

void TarnwickMainFrame::OnLButtonDown()
{
    if (!drag.IsDragging()) windows.BeginSplitterDrag();
}

void TarnwickMainFrame::OnMouseMove(int x, int y)
{
    if (drag.IsDragging()) drag.Move(x, y);
    else windows.SplitterMove(x);
}

void TarnwickMainFrame::OnLButtonUp()
{
    if (drag.IsDragging()) OnEndDrag(true);
    else windows.EndSplitterDrag();
}

void TarnwickMainFrame::OnCaptureChanged()
{
    if (drag.IsDragging()) OnEndDrag(false);
    windows.EndSplitterDrag();
}

void TarnwickMainFrame::OnEndDrag(bool drop)
{
    std::vector<ProcessItem> dropped;
    if (!drag.End(drop, dropped)) return;
    Debug().print("TarnwickMainFrame: %d process(es) dropped on Kill\n", static_cast<int>(dropped.size()));
    commands.KillProcesses(dropped);
}

// ---- Commands kept by the frame ------------------------------------------------------

void TarnwickMainFrame::OnRefreshCommand(bool fullMark)
{
    // The computer and the "Kill" item have nothing to read again.
    const HTREEITEM selected = windows.SelectedTreeItem();
    if (selected == windows.RootItem() || selected == windows.KillItem()) return;
    cycle.Refresh(fullMark);
}

void TarnwickMainFrame::OnSelectAll()
{
    if (!windows.List() || cycle.Content() == ListContent::Empty) return;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(windows.List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void TarnwickMainFrame::OnModules()
{
    if (cycle.Content() != ListContent::Processes) return;
    const std::vector<ProcessItem> selected = selection.ProcessesOf(windows.List(), false);
    if (selected.empty()) {
        ShowSelectProcessMessage();
        return;
    }
    const ProcessItem& process = selected.front();
    if (!selection.IsRealProcess(process) || !process.hTreeNode) return;
    SendMessageA(windows.Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(process.hTreeNode));
    SendMessageA(windows.Tree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(process.hTreeNode));
    if (windows.List()) SetFocus(windows.List());
}

FullScreenMode::Windows TarnwickMainFrame::FullScreenWindows() const
{
    FullScreenMode::Windows handles = {};
    handles.hwndFrame = hwnd;
    handles.hwndRebar = windows.Rebar();
    handles.hwndStatus = windows.Status().Status();
    handles.hwndTree = windows.Tree();
    handles.hwndList = windows.List();
    return handles;
}

void TarnwickMainFrame::OnFullScreen()
{
    HWND focus = selection.FocusedViewWindow();
    if (fullScreen.IsOn())
        fullScreen.Leave(FullScreenWindows(), settings.bShowToolbar != 0, settings.bShowStatusbar != 0, focus);
    else
        fullScreen.Enter(FullScreenWindows(), focus);
    windows.Layout();
}

void TarnwickMainFrame::OnLeaveFullScreen()
{
    if (fullScreen.IsOn()) OnFullScreen();
}

void TarnwickMainFrame::OnHelp()
{
    BusyScope hold(*this);
    HelpFile::Open(hwnd, app.wLanguageId);
}

// ---- Tray icon and background threads --------------------------------------------------

void TarnwickMainFrame::ApplyHideWhenMinimized(bool on)
{
    settings.bHideWhenMinimized = on ? 1 : 0;
    tray.SetShown(on);
}

void TarnwickMainFrame::StartWorkers()
{
    threads.StartFolderWatches(hwnd);
    threads.StartSampler(windows.CpuGraph().GetHwnd(), ClCPUGraph::kSampleMessage);
}

void TarnwickMainFrame::StopWorkers()
{
    // All are asked at once, then each is waited for (or ended); then closed and deleted.
    BackgroundWorker::StopAll(threads.Workers());
    threads.Stop();
}
