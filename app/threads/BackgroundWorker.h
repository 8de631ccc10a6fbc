#pragma once

#include <windows.h>
#include <vector>

// A thread that runs for the life of the main window (the CPU sampler, the
// folder watches). The main window stops all of them first when it is torn
// down: it signals every stop event, then waits while it keeps serving the
// messages the threads send it (a thread blocked in SendMessage would never
// see its event), and terminates what has not ended after the timeout.
class BackgroundWorker {
public:
    virtual ~BackgroundWorker() {}
    // Signals the thread's stop event; does not wait.
    virtual void RequestStop() = 0;
    // The running thread, or null.
    virtual HANDLE ThreadHandle() const = 0;
    // Called when the thread did not end in time: terminate and clean up.
    virtual void ForceStop() = 0;

    static const DWORD kStopTimeout = 2000;
    // Stops all workers; returns the number that had to be forced.
    static int StopAll(const std::vector<BackgroundWorker*>& workers, DWORD timeout = kStopTimeout);
};
