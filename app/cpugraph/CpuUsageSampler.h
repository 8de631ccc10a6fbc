#pragma once

#include <windows.h>

#include "app/threads/BackgroundWorker.h"
#include "app/startup/ClDebugString.h"
#include "app/cpugraph/CpuUsageMeter.h"
#include "sysinfo/KERNEL32Wrapper.h"
#include "sysinfo/NTDLLWrapper.h"
#include "sysutils/OsVersion.h"

// Measures the machine's total processor usage once per second on its own
// thread and sends it to a window: message uMessage, wParam 0, lParam the
// usage in percent (the raw statistic on the 9x family, which may exceed 100).
class CpuUsageSampler : public BackgroundWorker {
public:
    // Takes the first sample.
    CpuUsageSampler();
    // The same with a stand-in for NtQuerySystemInformation; the NT-family
    // routine is used whatever the system.
    explicit CpuUsageSampler(NTDLLWrapper::PFN_NtQuerySystemInformation pfnQuery);
    ~CpuUsageSampler() override;

    CpuUsageSampler(const CpuUsageSampler&) = delete;
    CpuUsageSampler& operator=(const CpuUsageSampler&) = delete;

    // Starts the thread; *phThread receives its handle (owned by the sampler,
    // valid until Stop).
    bool Start(HWND hwndTarget, UINT uMessage, HANDLE* phThread);
    // Signals the thread, waits at most 2000 ms, terminates it as a last
    // resort. False when no thread runs.
    bool Stop();

    // The main window's stop protocol (all workers at once).
    void RequestStop() override;
    HANDLE ThreadHandle() const override { return hThread; }
    void ForceStop() override;

    unsigned GetProcessorCount() const { return meter.GetProcessorCount(); }

    static const DWORD kStopWaitMs = 2000;
    static const DWORD kIntervalMs = 1000;
    static const UINT kSendTimeoutMs = 500;

private:
    void CloseHandles();
    void TakeFirstSample();
    uint8_t TakeSample();
    bool QueryPerformance(BYTE* buffer, ULONG length);
    void Send(DWORD value);
    bool StopRequested(DWORD timeoutMs);

    static DWORD WINAPI NtRoutine(LPVOID parameter);
    static DWORD WINAPI Win9xRoutine(LPVOID parameter);

    HANDLE hThread;
    DWORD dwThreadId;
    HANDLE hStopEvent;
    HWND hwndTarget;
    UINT uMessage;
    ClDebugString debugString;
    KERNEL32Wrapper kernel32;
    OsVersion osVersion;
    NTDLLWrapper ntdll;
    CpuUsageMeter meter;
    bool bNtRoutine;
};
