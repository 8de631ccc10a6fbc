#include "app/mainframe/OptionsApplier.h"

#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameWindows.h"
#include "app/mainframe/LauncherRuns.h"
#include "app/mainframe/RefreshCycle.h"
#include "app/options/ClTarnwickOptionsDlg.h"
#include "app/options/OptionsRecord.h"
#include "app/settings/UserSettings.h"
#include "app/startup/TarnwickApp.h"
#include "app/tray/TrayIcon.h"
#include "launchers/SearchPlugins.h"

OptionsApplier::OptionsApplier(FrameHost& host, FrameWindows& windows, RefreshCycle& cycle, LauncherRuns& launchers,
                               PluginHost& plugins, TrayIcon& tray)
    : host(host), windows(windows), cycle(cycle), launchers(launchers), plugins(plugins), tray(tray), bOpen(false)
{
}

void OptionsApplier::Open(UINT pageCommand)
{
    // A command posted while the dialog is open finds it there.
    if (!host.Window() || bOpen) return;
    // Refreshes and closing asked for meanwhile wait for the dialog and what OK applies.
    BusyScope hold(host);
    // Cleared before the busy scope ends: what it runs then may open Options again.
    struct OpenFlag {
        bool& flag;
        explicit OpenFlag(bool& flag) : flag(flag) { flag = true; }
        ~OpenFlag() { flag = false; }
    } open(bOpen);
    const UserSettings& settings = host.Settings();
    LauncherLists& lists = launchers.Lists();
    ClTarnwickOptionsDlg dialog(plugins);
    dialog.SetInitialPage(pageCommand);
    dialog.SetTooltips(settings.bEnableTooltips != 0);
    dialog.SetLanguage(host.App().wLanguageId);
    dialog.SetSettings(settings);
    dialog.SetLiveSettings(host.Live());
    dialog.SetApplications(lists.applications);
    dialog.SetEngines(lists.engines);
    dialog.SetSearchPluginFolder(SearchPlugins::DefaultFolder());
    if (dialog.Run(host.Window()) != 1 || !host.Window()) return;
    Apply(dialog);
}

void OptionsApplier::Apply(const ClTarnwickOptionsDlg& dialog)
{
    UserSettings& settings = host.Settings();
    // Widths dragged in the list since it was filled are kept, as saving keeps them.
    cycle.CaptureColumns(true);
    const unsigned changes = OptionsRecord::TakeBack(dialog.Settings(), dialog.Live(), settings, host.Live());
    if (changes & OptionsRecord::kBars) windows.ApplyBars();
    if (changes & OptionsRecord::kFont) windows.RecreateViewFont();
    if (changes & OptionsRecord::kViewColors) windows.ApplyViewColors();
    if (changes & OptionsRecord::kCpuColors) windows.ApplyCpuGraphColors();
    if (changes & OptionsRecord::kHideWhenMinimized) tray.SetShown(settings.bHideWhenMinimized != 0);
    if (changes & OptionsRecord::kTooltips) windows.ApplyTooltips();
    // The dialog's lists are its own copies: taken over only when their page changed them.
    LauncherLists& lists = launchers.Lists();
    if (dialog.ApplicationsChanged()) lists.applications = dialog.Applications();
    if (dialog.EnginesChanged()) lists.engines = dialog.Engines();
    // New pictures, columns, colours and nesting need new items: runs once the dialog is over.
    if (changes & OptionsRecord::kRebuildViews) host.Refresh(true);
}
