#pragma once

#include "app/commands/FrameCommands.h"
#include "app/fullscreen/FullScreenMode.h"
#include "app/mainframe/BusyCount.h"
#include "app/mainframe/DragToKill.h"
#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameIds.h"
#include "app/mainframe/FrameMenus.h"
#include "app/mainframe/FrameWindows.h"
#include "app/mainframe/LanguageSwitch.h"
#include "app/mainframe/LauncherRuns.h"
#include "app/mainframe/LiveUpdates.h"
#include "app/mainframe/OptionsApplier.h"
#include "app/mainframe/PluginRuns.h"
#include "app/mainframe/RefreshCycle.h"
#include "app/mainframe/SelectionModel.h"
#include "app/pluginhost/PluginHost.h"
#include "app/settings/LiveSettings.h"
#include "app/settings/UserSettings.h"
#include "app/threads/BackgroundThreads.h"
#include "app/tray/TrayIcon.h"
#include "sysinfo/ProcessSnapshot.h"
#include "views/ViewImages.h"

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

class TarnwickApp;

// The program's main window: the process tree on the left, the infobar and
// the process or module list on the right, the toolbar in a rebar on top and
// the status bar below. It owns the settings and the snapshot, and is made
// of collaborators, each with one purpose; it keeps the window procedure,
// the dispatch tables of messages, commands and notifications, and the
// create, destroy and close sequences.
class TarnwickMainFrame : private FrameHost {
public:
    static const char kClassName[];

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

    UserSettings& Settings() override { return settings; }
    LiveSettings& Live() override { return live; }
    bool IsNtFamily() const override;
    void Refresh(bool full) override { cycle.Refresh(full); }
    // How many refreshes ran (full and partial); for tests and the bench.
    unsigned RefreshCount() const { return cycle.RefreshCount(); }
    bool IsBusy() const override { return busy.IsBusy(); }
    // How many live updates ran; for tests and the bench.
    unsigned LiveTickCount() const { return liveUpdates.TickCount(); }
    // One live update as its timer runs it (the bench).
    void RunLiveTick() { liveUpdates.OnTimer(); }
    // The selection as the commands see it.
    const SelectionModel& Selection() const { return selection; }
    // The process whose modules the list shows.
    bool ListedProcess(ProcessItem& process) const { return cycle.ListedProcess(process); }
    // The loaded plug-ins (the Options dialog's Plugins page works on them).
    PluginHost& Plugins() { return plugins; }
    // The busy count, as modal flows hold it.
    BusyHolder& Busy() { return *this; }

    // "Hide When Minimized" switched during a run: on adds the tray icon at once, off removes it.
    void ApplyHideWhenMinimized(bool on);
    bool IsFullScreen() const override { return fullScreen.IsOn(); }
    TrayIcon& Tray() { return tray; }

private:
    // ---- FrameHost ---------------------------------------------------------
    HWND Window() const override { return hwnd; }
    TarnwickApp& App() override { return app; }
    ProcessSnapshot& Snapshot() override { return snapshot; }
    ClDebugString& Debug() override;
    bool Defer(BusyCount::Request request) override { return busy.Defer(request); }
    void BeginBusy() override { busy.Begin(); }
    void EndBusy() override;
    void ShowSelectProcessMessage() override;
    bool ConfirmRunning(const ProcessItem& process, bool endedToo) override;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void LoadSettings(const std::string& path);

    // ---- Messages ----------------------------------------------------------
    LRESULT OnCreate();
    void OnDestroy();
    void OnClose();
    void OnSettingChange();
    void ApplySettingChange();
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnLButtonDown();
    void OnMouseMove(int x, int y);
    void OnLButtonUp();
    void OnCaptureChanged();
    bool OnRegisteredMessage(UINT message, LPARAM lParam);
    void OnCommand(UINT id, HWND control, LPARAM lParam);
    void RunDeferred(unsigned requests);
    bool SaveSettings();

    // ---- Notifications -----------------------------------------------------
    LRESULT OnNotify(NMHDR& header);
    LRESULT OnTreeNotify(NMHDR& header);
    LRESULT OnListNotify(NMHDR& header);
    void OnViewKeyDown(HWND view, WORD key);
    void OnListDoubleClick();

    // ---- Commands kept by the frame -------------------------------------------
    void OnRefreshCommand(bool fullMark);
    void OnSelectAll();
    void OnModules();
    void OnFullScreen();
    void OnLeaveFullScreen();
    void OnHelp();
    void OnEndDrag(bool drop);

    // ---- Creation pieces -------------------------------------------------------
    bool CreateFullScreenWindow();
    void DestroyFullScreenWindow();
    FullScreenMode::Windows FullScreenWindows() const;
    void StartWorkers();
    void StopWorkers();

    TarnwickApp& app;
    HWND hwnd;
    UserSettings settings;
    LiveSettings live;
    std::string strSettingsPath;
    ProcessSnapshot snapshot;
    BusyCount busy;
    ViewImages images;
    PluginHost plugins;
    FullScreenMode fullScreen;
    HWND hFullScreenDialog;
    TrayIcon tray;
    // The folder watches and the CPU sampler (stopped before the graph goes).
    BackgroundThreads threads;

    // The collaborators, in the order they are built.
    FrameWindows windows;
    RefreshCycle cycle;
    SelectionModel selection;
    DragToKill drag;
    LauncherRuns launchers;
    LanguageSwitch language;
    PluginRuns pluginRuns;
    FrameMenus menus;
    OptionsApplier options;
    LiveUpdates liveUpdates;
    FrameCommands commands;
};
