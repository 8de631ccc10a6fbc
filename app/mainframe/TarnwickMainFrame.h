#pragma once

#include "app/threads/BackgroundThreads.h"
#include "app/threads/BackgroundWorker.h"
#include "app/mainframe/BusyCount.h"
#include "app/cpugraph/ClCPUGraph.h"
#include "app/startup/ClDebugString.h"
#include "app/menus/MenuEnabling.h"
#include "app/menus/OwnerDrawMenu.h"
#include "app/pluginhost/PluginHost.h"
#include "app/pluginhost/PluginRequest.h"
#include "app/mainframe/StatusDisplay.h"
#include "app/fullscreen/FullScreenMode.h"
#include "app/tray/TrayIcon.h"
#include "app/settings/UserSettings.h"
#include "controls/GridView.h"
#include "controls/Infobar.h"
#include "controls/TreeViewEx.h"
#include "launchers/LauncherLists.h"
#include "launchers/LauncherMenus.h"
#include "launchers/LauncherSearchHost.h"
#include "sysinfo/ProcessSnapshot.h"
#include "views/ModuleItem.h"
#include "views/ProcessItem.h"

#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>

class ClTarnwickOptionsDlg;
class FrameCommands;
class ModuleView;
class ProcessView;
class TarnwickApp;
class ValueFormatter;
class ViewImages;

// The program's main window: the process tree on the left, the infobar and
// the process or module list on the right, the toolbar in a rebar on top and
// the status bar below. It owns the settings, the snapshot and the views, and
// turns menus, toolbar, keys, mouse and notifications into commands.
//
// The window procedure is a dispatch table: each message and each command
// goes to one short handler below. Handlers of later features are in place
// and empty until those features exist.
class TarnwickMainFrame {
public:
    static const char kClassName[];
    // Child control ids.
    enum ChildId : UINT {
        kRebarId = 300, kToolbarId = 301, kTreeId = 302, kInfobarId = 303, kListId = 304,
        kStatusId = StatusDisplay::kStatusId, kProgressId = StatusDisplay::kProgressId, kCpuGraphId = 307
    };
    // What the list shows (nListKind).
    enum ListKind : uint32_t { kProcessList = 0, kModuleList = 1, kEmptyList = 2 };
    // lParam of WM_COMMAND 40056 that asks for a full refresh (Ctrl+F5).
    static const LPARAM kFullRefreshMark = 1;
    // Posted after a header drag: store the list's column order.
    static const UINT kStoreColumnOrder = WM_USER + 1;
    static const UINT_PTR kSelectionTimer = 1;
    static const UINT_PTR kDragScrollTimer = 2;
    static const UINT kSelectionDelay = 500;

    explicit TarnwickMainFrame(TarnwickApp& app);
    ~TarnwickMainFrame();
    TarnwickMainFrame(const TarnwickMainFrame&) = delete;
    TarnwickMainFrame& operator=(const TarnwickMainFrame&) = delete;

    // Loads the settings from `path` instead of "Tarnwick.ui" in the program's
    // folder (and saves them there); before Create.
    void UseSettingsFile(const std::string& path);

    bool Register();
    void Unregister();
    bool Create(HWND parent, const char* title);
    HWND GetHwnd() const { return hwnd; }

    TarnwickApp& App() { return app; }
    UserSettings& Settings() { return settings; }
    const UserSettings& Settings() const { return settings; }
    ProcessSnapshot& Snapshot() { return snapshot; }
    ClDebugString& Debug();
    bool IsNtFamily() const;

    // ---- Refresh -------------------------------------------------------
    // full: a new process snapshot, the tree refilled and "Processes"
    // selected; otherwise the list is rebuilt for the tree's selection (the
    // modules of a selected process are read again). Held back while busy.
    void Refresh(bool full);
    // How many refreshes ran (full and partial); for tests and the bench.
    unsigned RefreshCount() const { return nRefreshCount; }

    // ---- Selection lookup ----------------------------------------------
    // The view with the keyboard focus (the last one focused when neither has it).
    MenuEnabling::View FocusedView() const;
    HWND FocusedViewWindow() const;
    // Copies of the selected processes of the focused view: the tree's
    // selected process, or in the process list all selected rows (allSelected,
    // Kill and Report) or the row with the selection mark. Empty for a fixed
    // tree item and for the module list. Copies stay valid through modal
    // loops and refreshes.
    std::vector<ProcessItem> SelectedProcesses(bool allSelected) const;
    // The module with the selection mark in the module list.
    bool SelectedModule(ModuleItem& module) const;
    // The process whose modules the list shows.
    bool ListedProcess(ProcessItem& process) const;
    // String 77 "Please select a process!" in a box owned by the main window.
    void ShowSelectProcessMessage();
    // The right-hand list and what it shows (nListKind), for Copy.
    HWND ListWindow() const;
    uint32_t ListKind() const { return nListKind; }

    // ---- Busy count ----------------------------------------------------
    // Held by modal flows (context menus, dialogs, reports, plug-in runs)
    // while they keep items or lists of the views: refreshes, setting
    // changes, the selection timer and closing wait and run once at the end.
    class BusyScope {
    public:
        explicit BusyScope(TarnwickMainFrame& frame);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        TarnwickMainFrame& frame;
    };
    bool IsBusy() const { return busy.IsBusy(); }

    // ---- Plug-ins ----------------------------------------------------------
    // The loaded plug-ins (the Options dialog's Plugins page works on them).
    PluginHost& Plugins() { return plugins; }

    // ---- Background threads --------------------------------------------
    // Workers are stopped first when the window is torn down.
    void AddWorker(BackgroundWorker* worker);
    void RemoveWorker(BackgroundWorker* worker);

    // ---- CPU graph, tray icon, full screen -----------------------------
    // "Hide When Minimized" switched during a run (Options): on adds the
    // tray icon at once, off removes it.
    void ApplyHideWhenMinimized(bool on);
    // The graph's three colours from the settings (after Options).
    void ApplyCpuGraphColors();
    bool IsFullScreen() const { return fullScreen.IsOn(); }
    TrayIcon& Tray() { return tray; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // ---- Messages ------------------------------------------------------
    LRESULT OnCreate();
    void OnDestroy();
    void OnSize();
    void OnActivate(WPARAM wParam);
    void OnClose();
    void OnActivateApp(bool active);
    void OnSysColorChange();
    void OnSettingChange();
    void OnGetMinMaxInfo(MINMAXINFO& info);
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnMeasureItem(MEASUREITEMSTRUCT& item);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR& header);
    void OnCommand(UINT id, UINT code, HWND control, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnInitMenu(HMENU menu);
    void OnInitMenuPopup(HMENU menu);
    void OnMenuSelect(UINT id, UINT flags, HMENU menu);
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnCaptureChanged();
    void OnContextMenu(HWND window, int x, int y);
    void OnStoreColumnOrder();
    // Registered messages of later features (tray icon); true when handled.
    bool OnRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // ---- Notifications -------------------------------------------------
    LRESULT OnTreeNotify(NMHDR& header);
    LRESULT OnListNotify(NMHDR& header);
    LRESULT OnToolbarNotify(NMHDR& header);
    LRESULT OnInfobarNotify(NMHDR& header);
    LRESULT OnTooltipText(NMHDR& header);
    LRESULT OnTreeSelChanging(const NMTREEVIEWA& change);
    void OnTreeKeyDown(WORD key);
    void OnListKeyDown(WORD key);
    void OnListDoubleClick();
    void OnOptionsDropDown(const NMTOOLBARA& button);

    // ---- Commands: file ------------------------------------------------
    void OnKill();
    void OnReport();
    void OnDebug();
    void OnSwitchTo();
    void OnFindDll();
    void OnQuit();
    // Processes dropped on the tree's "Kill" item.
    void OnKillProcesses(const std::vector<ProcessItem>& processes);
    // The termination dialog for the processes (string 77 for none); a full refresh after a run.
    void RunTermination(const std::vector<ProcessItem>& processes);

    // ---- Commands: edit ------------------------------------------------
    void OnCopy();
    void OnSelectAll();

    // ---- Commands: view ------------------------------------------------
    void OnToggleToolbar();
    void OnToggleInfobar();
    void OnToggleStatusbar();
    void OnRefreshCommand(bool fullMark);
    void OnFullScreen();
    // Esc in a view: leave full-screen mode.
    void OnLeaveFullScreen();
    // The full-screen window, if open, before the main window closes.
    void CloseFullScreenWindow();

    // ---- Commands: properties ------------------------------------------
    void OnStandardProperties();
    void OnAdvancedProperties();
    void OnInfobarDoubleClick();

    // ---- Commands: process ---------------------------------------------
    void OnModules();
    void OnExploreFromHere();
    void OnOpenCommandWindow();

    // ---- Commands: module sort -----------------------------------------
    void OnModuleSortMode(UINT command);

    // ---- Commands: options and language --------------------------------
    // pageCommand: 40054 (the dialog's default page) or the page's command
    // of menu 113 (40057 View ... 40097 Internet Search).
    void OnOptions(UINT pageCommand);
    // After OK: the new values into the settings and the lists, and onto the window.
    void ApplyOptions(const ClTarnwickOptionsDlg& dialog);
    void OnLanguage();

    // ---- Commands: help ------------------------------------------------
    void OnHelp();
    void OnAbout();
    void OnHomePage();
    void OnDownloadPlugins();

    // ---- Commands: user applications (ids 1 to 1000) -------------------
    void OnUserApplication(UINT id);

    // ---- Commands: plug-ins (ids 1003 to 2001) -------------------------
    void OnPluginCommand(UINT id, HWND view);

    // What a plug-in gets from a view: its source and the selected processes or modules.
    bool PluginTargets(HWND view, PluginRequest::Source& source, std::vector<PluginRequest::Item>& items) const;
    // A language chosen while a plug-in runs is applied when it has returned.
    void RequestLanguage(HMODULE module);
    void ApplyPendingLanguage();

    // ---- Commands: internet search (40094, ids 2004 to 4002) -----------
    void OnSearchInternet();
    void OnSearchEngine(UINT id, HWND view);
    // The name of the selected process or module of a view ("" for none).
    std::string SearchTerm(HWND view) const;
    void RunSearch(const SearchEngine& engine, HWND view);
    // Both lists to "Tarnwick.lists" beside the settings file.
    void SaveLauncherLists();

    // ---- Creation and tear-down hooks of later features -----------------
    void LoadPlugins();
    void LoadSearchPlugins();
    void InstallBuiltInSearchEngine();
    void InitPlugins();
    void FinalizePlugins();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void StartWorkers();
    void StopWorkers();
    // Where the CPU graph goes (status-bar part 1 shrunk by one pixel).
    void PlaceCpuGraph(const RECT& rect);
    bool CreateCpuGraph();
    bool CreateFullScreenWindow();
    // Ends full-screen mode with the window, keeping it for the next window.
    void DestroyFullScreenWindow();
    FullScreenMode::Windows FullScreenWindows() const;
    // Width of status-bar part 1.
    int CpuPartWidth() const;

    // ---- Context-menu hooks ----------------------------------------------
    // "Plugins" submenu (string 64) at `position`, followed by a separator,
    // when plug-ins apply to the view.
    void InsertPluginsSubmenu(HMENU menu, int position, MenuEnabling::View view);
    // "Open with" submenu (string 35) of the user applications at position 0.
    void InsertOpenWithSubmenu(HMENU menu);
    // "Search The &Internet" (40094) becomes a submenu of the search engines.
    void InsertSearchSubmenu(HMENU menu);

    // ---- Building blocks -------------------------------------------------
    bool CreateChildren();
    bool CreateRebar();
    bool CreateTree();
    void InsertFixedTreeItems();
    HFONT CreateViewFont();
    void ApplyViewFont();
    void ApplyInfobarColors();
    void Layout();
    void ShowBar(HWND bar, uint32_t& setting, UINT command);
    // A bar shown or hidden as its setting says, with its View-menu check
    // (in full-screen mode the toolbar and status bar stay hidden until it ends).
    void ApplyBar(HWND bar, uint32_t setting, UINT command);
    // Tooltips of the toolbar and the views on or off (bEnableTooltips).
    void ApplyTooltips();
    void FullRefresh();
    void HandleSelectionChange();
    void RecreateList();
    void ShowProcessList();
    void ShowModuleList(ProcessItem& process);
    void ShowEmptyList();
    void UpdateInfobar(HTREEITEM item);
    void UpdateStatusCount();
    HTREEITEM SelectedTreeItem() const;
    ProcessItem* TreeProcess(HTREEITEM item) const;
    bool IsFixedTreeItem(HTREEITEM item) const;
    bool IsRealProcess(const ProcessItem& process) const;
    std::vector<ProcessItem*> SelectedListProcesses(bool allSelected) const;
    MenuEnabling::State MenuState() const;
    bool IsDebuggerRegistered() const;
    void ApplyMenuEnabling(HMENU menu);
    static void SetDefaultCommand(HMENU menu, UINT command);
    void TrackContextMenu(HMENU popup, HWND view, int x, int y);
    void RunCommandFromMenu(UINT id, HWND view);
    void EndBusy();
    void RunDeferred(unsigned requests);
    void ApplySettingChange();
    bool SaveSettings();
    void CaptureListColumns(bool withOrder);
    void BeginDrag(const std::vector<ProcessItem>& processes, int image);
    void EndDrag(bool drop);
    void UpdateDropTarget(POINT screen);
    static void ProgressCallback(uint32_t phase, uint32_t count, uint32_t frame);

    TarnwickApp& app;
    HWND hwnd;
    UserSettings settings;
    std::string strSettingsPath;
    ProcessSnapshot snapshot;
    std::unique_ptr<ValueFormatter> formatter;
    std::unique_ptr<ViewImages> images;
    std::unique_ptr<ProcessView> processView;
    std::unique_ptr<ModuleView> moduleView;
    // Debug, Switch to, Explore, Command Window, properties, Copy, About, web pages.
    std::unique_ptr<FrameCommands> commands;
    HFONT hViewFont;

    FullScreenMode fullScreen;
    HWND hFullScreenDialog;
    ClCPUGraph cpuGraph;
    TrayIcon tray;

    HWND hRebar;
    HWND hToolbar;
    HIMAGELIST hToolbarImages;
    TreeViewEx tree;
    Infobar infobar;
    std::unique_ptr<GridView> list;
    StatusDisplay status;
    HTREEITEM hRootItem;
    HTREEITEM hProcessesItem;
    HTREEITEM hKillItem;

    uint32_t nListKind;
    // The process whose modules the list shows (a copy).
    ProcessItem listedProcess;
    HWND hLastFocus;
    bool bSelectionPending;
    bool bMuteTreeNotifications;
    bool bSplitterDrag;
    bool bTreeDrag;
    bool bListDrag;
    uint16_t nGrabOffset;
    bool bGrabRecorded;
    std::vector<ProcessItem> draggedProcesses;
    HTREEITEM hDropTarget;
    bool bNoOwnerDrawMenus;
    OwnerDrawMenu ownerDrawMenu;
    // User-defined applications, search engines, and their menu items.
    LauncherLists launcherLists;
    LauncherMenus launcherMenus;
    LauncherSearchHost searchHost{launcherLists};
    // A user-defined application's Console window is open (its modal loop can
    // still deliver a posted command).
    bool bApplicationRunning = false;
    // The Options dialog is open (its modal loop can still deliver a posted command).
    bool bOptionsOpen = false;
    BusyCount busy;
    std::vector<BackgroundWorker*> workers;
    // The folder watches and the CPU sampler (stopped before the graph goes).
    BackgroundThreads threads;
    unsigned nRefreshCount;
    PluginHost plugins;
    HMODULE hPendingLanguage = nullptr;
    bool bLanguagePending = false;
    char szTooltip[1024];
    wchar_t wszTooltip[1024];
};
