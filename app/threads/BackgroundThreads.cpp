#include "app/threads/BackgroundThreads.h"
#include "sysutils/ProgramFolder.h"

#include "sysutils/Orvo_SystemUtilities.h"

#include <initializer_list>
#include <string>

BackgroundThreads::BackgroundThreads() {}

BackgroundThreads::~BackgroundThreads()
{
    Stop();
}

void BackgroundThreads::StartFolderWatches(HWND hwndOwner)
{
    const std::string folder = ProgramFolder::Path();
    if (folder.empty()) return;
    for (const char* name : {"Plugins", "SearchPlugins"}) {
        std::unique_ptr<FolderWatch> watch(new FolderWatch());
        const std::string path = folder + name;
        if (watch->Start(path.c_str(), true, FILE_NOTIFY_CHANGE_FILE_NAME, hwndOwner))
            watches.push_back(std::move(watch));
    }
}

bool BackgroundThreads::StartSampler(HWND hwndTarget, UINT uMessage)
{
    if (sampler) return false;
    sampler.reset(new CpuUsageSampler());
    HANDLE thread = nullptr;
    if (!sampler->Start(hwndTarget, uMessage, &thread)) {
        sampler.reset();
        return false;
    }
    return true;
}

std::vector<BackgroundWorker*> BackgroundThreads::Workers() const
{
    std::vector<BackgroundWorker*> running;
    for (const std::unique_ptr<FolderWatch>& watch : watches) running.push_back(watch.get());
    if (sampler) running.push_back(sampler.get());
    return running;
}

void BackgroundThreads::Stop()
{
    for (std::unique_ptr<FolderWatch>& watch : watches) {
        watch->Stop();
        watch.reset();
    }
    watches.clear();
    if (sampler) {
        sampler->Stop();
        sampler.reset();
    }
}
