#pragma once

#include <windows.h>

class ClTarnwickOptionsDlg;
class FrameHost;
class FrameWindows;
class LauncherRuns;
class PluginHost;
class RefreshCycle;
class TrayIcon;

// The Options command: the dialog on a page, and on OK the new values taken
// into the settings and the lists and applied to the window.
class OptionsApplier {
public:
    OptionsApplier(FrameHost& host, FrameWindows& windows, RefreshCycle& cycle, LauncherRuns& launchers,
                   PluginHost& plugins, TrayIcon& tray);

    // pageCommand: 40054 (the dialog's default page) or the page's command of
    // menu 113 (40057 View ... 40097 Internet Search). A second one while the
    // dialog is open finds it there and does nothing.
    void Open(UINT pageCommand);

private:
    void Apply(const ClTarnwickOptionsDlg& dialog);

    FrameHost& host;
    FrameWindows& windows;
    RefreshCycle& cycle;
    LauncherRuns& launchers;
    PluginHost& plugins;
    TrayIcon& tray;
    bool bOpen;
};
