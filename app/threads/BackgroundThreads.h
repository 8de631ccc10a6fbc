#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "app/cpugraph/CpuUsageSampler.h"
#include "app/threads/FolderWatch.h"

// The main window's long-lived worker threads: the two folder watches and
// the CPU sampler. Started by the window's creation, stopped by its
// destruction (watches first, then the sampler).
class BackgroundThreads {
public:
    BackgroundThreads();
    ~BackgroundThreads();
    BackgroundThreads(const BackgroundThreads&) = delete;
    BackgroundThreads& operator=(const BackgroundThreads&) = delete;

    // Watches "<program folder>Plugins" and "<program folder>SearchPlugins"
    // (subtree, file names); a watch that cannot start is dropped silently.
    void StartFolderWatches(HWND hwndOwner);
    // Creates the sampler and starts it with target as the receiver of message.
    bool StartSampler(HWND hwndTarget, UINT uMessage);
    // Watches (each stopped, then deleted), then the sampler.
    void Stop();

    // The running threads, for the main window's stop protocol.
    std::vector<BackgroundWorker*> Workers() const;

    size_t GetWatchCount() const { return watches.size(); }
    bool IsSampling() const { return sampler != nullptr; }

private:
    std::vector<std::unique_ptr<FolderWatch>> watches;
    std::unique_ptr<CpuUsageSampler> sampler;
};
