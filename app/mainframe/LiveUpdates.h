#pragma once

#include <windows.h>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class FrameHost;
class FrameWindows;
class ProcessSampler;
class ProcessSnapshot;
class RefreshCycle;

// The live view: View > Update Speed (commands 40120 to 40123) and its timer.
// Each tick takes a sample of the running processes and lets the process
// view apply what was added, changed and removed to the tree and the list in
// place; the module list of the shown process is rebuilt only when its set
// of modules changed. Ticks are skipped while the busy count is held and
// while the window is minimised or hidden in the tray.
class LiveUpdates {
public:
    LiveUpdates(FrameHost& host, FrameWindows& windows, RefreshCycle& cycle);
    ~LiveUpdates();
    LiveUpdates(const LiveUpdates&) = delete;
    LiveUpdates& operator=(const LiveUpdates&) = delete;

    static bool IsSpeedCommand(UINT command) { return command >= kFirstCommand && command < kFirstCommand + 4; }
    // A speed command: stored in the live settings and the timer set for it.
    void SetSpeed(UINT command);
    // The timer for the stored speed (none when paused); after the window is made.
    void Start();
    // No timer, and the last sample forgotten (paused, or the window going).
    void Stop();
    void OnTimer();
    // The speed items of a menu radio-checked when it has them.
    void CheckMenu(HMENU menu) const;
    unsigned TickCount() const { return nTicks; }

private:
    static const UINT kFirstCommand = 40120;
    bool CanTick() const;
    void CheckModules();

    FrameHost& host;
    FrameWindows& windows;
    RefreshCycle& cycle;
    std::unique_ptr<ProcessSampler> sampler;
    std::unique_ptr<ProcessSnapshot> modules;
    // The listed process (id, creation time) and its modules' load addresses last seen.
    std::pair<uint32_t, uint64_t> listed;
    std::vector<uint32_t> moduleSet;
    unsigned nTicks;
    unsigned nRefreshSeen;  // the refresh cycle's count at the last tick
    bool bTimer;
};
