#include "app/threads/BackgroundWorker.h"

int BackgroundWorker::StopAll(const std::vector<BackgroundWorker*>& workers, DWORD timeout)
{
    std::vector<BackgroundWorker*> running;
    for (BackgroundWorker* worker : workers)
        if (worker && worker->ThreadHandle()) {
            worker->RequestStop();
            running.push_back(worker);
        }

    const DWORD start = GetTickCount();
    while (!running.empty()) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout) break;
        std::vector<HANDLE> handles;
        for (BackgroundWorker* worker : running) handles.push_back(worker->ThreadHandle());
        const DWORD result = MsgWaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                                       timeout - elapsed, QS_SENDMESSAGE);
        if (result < WAIT_OBJECT_0 + handles.size()) {
            running.erase(running.begin() + (result - WAIT_OBJECT_0));
        } else if (result == WAIT_OBJECT_0 + handles.size()) {
            // Serves the messages sent to this thread; posted ones stay queued.
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        } else {
            break;
        }
    }
    for (BackgroundWorker* worker : running) worker->ForceStop();
    return static_cast<int>(running.size());
}
