#include "app/mainframe/LiveUpdates.h"

#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameIds.h"
#include "app/mainframe/FrameWindows.h"
#include "app/mainframe/RefreshCycle.h"
#include "app/settings/LiveSettings.h"
#include "app/settings/UserSettings.h"
#include "sysinfo/ProcessIdentity.h"
#include "sysinfo/ProcessSampler.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysinfo/SnapshotSampleSource.h"
#include "views/ProcessView.h"

namespace {
const uint32_t kSeconds[4] = {0, 1, 2, 5};
} // namespace

LiveUpdates::LiveUpdates(FrameHost& host, FrameWindows& windows, RefreshCycle& cycle)
    : host(host), windows(windows), cycle(cycle), listed(0, 0), nTicks(0), nRefreshSeen(0), bTimer(false)
{
}

LiveUpdates::~LiveUpdates() = default;

void LiveUpdates::SetSpeed(UINT command)
{
    if (!IsSpeedCommand(command)) return;
    host.Live().nUpdateSeconds = kSeconds[command - kFirstCommand];
    Start();
}

void LiveUpdates::Start()
{
    const uint32_t seconds = host.Live().nUpdateSeconds;
    // Another speed keeps the last sample: the next tick has loads to show.
    if (!host.Window() || seconds == 0) {
        Stop();
        return;
    }
    bTimer = SetTimer(host.Window(), FrameIds::kLiveTimer, seconds * 1000, nullptr) != 0;
}

void LiveUpdates::Stop()
{
    if (bTimer && host.Window()) KillTimer(host.Window(), FrameIds::kLiveTimer);
    bTimer = false;
    // The next start compares with a sample of its own.
    sampler.reset();
    listed = {0, 0};
    moduleSet.clear();
}

void LiveUpdates::CheckMenu(HMENU menu) const
{
    if (GetMenuState(menu, kFirstCommand, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
    UINT checked = kFirstCommand;
    for (UINT i = 0; i < 4; ++i)
        if (kSeconds[i] == host.Live().nUpdateSeconds) checked = kFirstCommand + i;
    CheckMenuRadioItem(menu, kFirstCommand, kFirstCommand + 3, checked, MF_BYCOMMAND);
}

bool LiveUpdates::CanTick() const
{
    HWND frame = host.Window();
    // A timer message still queued when updates were paused.
    if (host.Live().nUpdateSeconds == 0) return false;
    // Waits for commands that hold items of the views, and for a keyboard selection still to be shown.
    if (!frame || host.IsBusy() || cycle.IsSelectionPending() || windows.IsTreeMuted()) return false;
    return IsWindowVisible(frame) && !IsIconic(frame);
}

void LiveUpdates::OnTimer()
{
    if (!CanTick()) return;
    if (!sampler) {
        // The window's thread reads no file over the network.
        std::unique_ptr<SnapshotSampleSource> source(new SnapshotSampleSource);
        source->SetLocalFilesOnly(true);
        sampler.reset(new ProcessSampler(std::move(source)));
    }
    if (!sampler->Sample()) return;
    ++nTicks;
    HWND tree = windows.Tree();
    const HTREEITEM selected = windows.SelectedTreeItem();
    HWND list = cycle.Content() == ListContent::Processes ? windows.List() : nullptr;
    // Selection changes while nodes go are looked at once the update is done.
    windows.MuteTree(true);
    // After a refresh the items are new: they take every figure, not only what changed.
    const bool refreshed = cycle.RefreshCount() != nRefreshSeen;
    nRefreshSeen = cycle.RefreshCount();
    const ProcessView::Update update = cycle.Processes().ApplySample(
        *sampler, tree, windows.ProcessesItem(), host.Settings().bResolveProcessDependencies != 0, list, refreshed);
    windows.MuteTree(false);
    if (windows.SelectedTreeItem() != selected) {
        cycle.ShowSelection();
        return;
    }
    if (list && (update.nAdded || update.nRemoved)) cycle.UpdateStatusCount();
    CheckModules();
}

void LiveUpdates::CheckModules()
{
    ProcessItem process;
    if (cycle.Content() != ListContent::Modules || !cycle.ListedProcess(process)) {
        listed = {0, 0};
        moduleSet.clear();
        return;
    }
    if (!modules) modules.reset(new ProcessSnapshot);
    std::vector<uint32_t> now;
    if (!modules->ModuleBases(process.dwPid, now)) return;
    const std::pair<uint32_t, uint64_t> key(process.dwPid, ProcessIdentity::Value(process.ftCreated));
    if (key != listed) {
        // The list was just built for this process.
        listed = key;
        moduleSet.swap(now);
        return;
    }
    if (now == moduleSet) return;
    moduleSet.swap(now);
    cycle.ShowSelection();
}
