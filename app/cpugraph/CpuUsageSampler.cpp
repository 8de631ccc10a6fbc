#include "app/cpugraph/CpuUsageSampler.h"

#include <vector>

namespace {
const ULONG kSystemBasicInformation = 0;
const ULONG kSystemProcessorPerformanceInformation = 8;

const char kStartStat[] = "PerfStats\\StartStat";
const char kStatData[] = "PerfStats\\StatData";
const char kStopStat[] = "PerfStats\\StopStat";
const char kCpuUsageValue[] = "KERNEL\\CPUUsage";

// Reads the 4-byte statistic; querying StartStat and StopStat switches it.
bool QueryStatistic(HKEY key, DWORD& value)
{
    DWORD type = 0;
    DWORD size = sizeof(value);
    value = 0;
    if (RegQueryValueExA(key, kCpuUsageValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        size != sizeof(value)) {
        value = 0;
        return false;
    }
    return true;
}

void TouchStatistic(const char* keyName, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, keyName, 0, access, &key) != ERROR_SUCCESS) return;
    DWORD value = 0;
    QueryStatistic(key, value);
    RegCloseKey(key);
}
} // namespace

CpuUsageSampler::CpuUsageSampler()
    : hThread(nullptr), dwThreadId(0), hStopEvent(nullptr), hwndTarget(nullptr), uMessage(0), bNtRoutine(false)
{
    debugString.enable(kernel32.IsDebuggerPresent());
    // Only the 9x family has the dynamic-data statistic; everything else,
    // including systems newer than the known kinds, is measured natively.
    bNtRoutine = !osVersion.Is9xFamily();
    TakeFirstSample();
}

CpuUsageSampler::CpuUsageSampler(NTDLLWrapper::PFN_NtQuerySystemInformation pfnQuery)
    : hThread(nullptr), dwThreadId(0), hStopEvent(nullptr), hwndTarget(nullptr), uMessage(0), bNtRoutine(true)
{
    debugString.enable(kernel32.IsDebuggerPresent());
    ntdll.pfnNtQuerySystemInformation = pfnQuery;
    TakeFirstSample();
}

CpuUsageSampler::~CpuUsageSampler()
{
    Stop();
}

bool CpuUsageSampler::QueryPerformance(BYTE* buffer, ULONG length)
{
    ULONG returned = 0;
    return ntdll.NtQuerySystemInformation(kSystemProcessorPerformanceInformation, buffer, length, &returned) == 0;
}

void CpuUsageSampler::TakeFirstSample()
{
    BYTE basic[CpuUsageMeter::kBasicInfoSize] = {};
    ULONG returned = 0;
    const bool basicOk =
        ntdll.NtQuerySystemInformation(kSystemBasicInformation, basic, sizeof(basic), &returned) == 0;
    std::vector<BYTE> performance(CpuUsageMeter::kPerformanceBufferSize);
    const bool performanceOk = basicOk && QueryPerformance(performance.data(), performance.size());
    meter.Begin(basicOk, basic, sizeof(basic), performanceOk, performance.data(), performance.size());
}

uint8_t CpuUsageSampler::TakeSample()
{
    std::vector<BYTE> performance(CpuUsageMeter::kPerformanceBufferSize);
    const bool ok = QueryPerformance(performance.data(), performance.size());
    return meter.Next(ok, performance.data(), performance.size());
}

bool CpuUsageSampler::Start(HWND target, UINT message, HANDLE* phThread)
{
    if (hThread) return false;
    hwndTarget = target;
    uMessage = message;
    hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!hStopEvent) return false;
    hThread = CreateThread(nullptr, 0, bNtRoutine ? NtRoutine : Win9xRoutine, this, CREATE_SUSPENDED, &dwThreadId);
    if (!hThread) {
        CloseHandle(hStopEvent);
        hStopEvent = nullptr;
        return false;
    }
    if (phThread) *phThread = hThread;
    ResumeThread(hThread);
    return true;
}

bool CpuUsageSampler::Stop()
{
    if (!hThread) return false;
    RequestStop();
    if (WaitForSingleObject(hThread, kStopWaitMs) != WAIT_OBJECT_0) ForceStop();
    CloseHandles();
    return true;
}

void CpuUsageSampler::RequestStop()
{
    if (hStopEvent) SetEvent(hStopEvent);
}

void CpuUsageSampler::ForceStop()
{
    if (!hThread) return;
    debugString.print("CpuUsageSampler(%lu): thread did not stop within %lu ms, terminating it\n",
                      static_cast<unsigned long>(dwThreadId), static_cast<unsigned long>(kStopWaitMs));
    TerminateThread(hThread, static_cast<DWORD>(-1));
    WaitForSingleObject(hThread, kStopWaitMs);
    CloseHandles();
}

void CpuUsageSampler::CloseHandles()
{
    if (hThread) CloseHandle(hThread);
    if (hStopEvent) CloseHandle(hStopEvent);
    hThread = nullptr;
    hStopEvent = nullptr;
    dwThreadId = 0;
}

bool CpuUsageSampler::StopRequested(DWORD timeoutMs)
{
    return WaitForSingleObject(hStopEvent, timeoutMs) != WAIT_TIMEOUT;
}

// The GUI thread may itself be waiting in Stop: a bounded send lets this
// thread get back to its stop wait instead of blocking until it is killed.
void CpuUsageSampler::Send(DWORD value)
{
    if (!IsWindow(hwndTarget)) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwndTarget, uMessage, 0, static_cast<LPARAM>(value), SMTO_NORMAL, kSendTimeoutMs, &result);
}

DWORD WINAPI CpuUsageSampler::NtRoutine(LPVOID parameter)
{
    CpuUsageSampler* self = static_cast<CpuUsageSampler*>(parameter);
    while (!self->StopRequested(kIntervalMs)) self->Send(self->TakeSample());
    return 0;
}

DWORD WINAPI CpuUsageSampler::Win9xRoutine(LPVOID parameter)
{
    CpuUsageSampler* self = static_cast<CpuUsageSampler*>(parameter);
    HKEY statData = nullptr;
    HKEY startStat = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, kStartStat, 0, KEY_ALL_ACCESS, &startStat) == ERROR_SUCCESS) {
        DWORD value = 0;
        QueryStatistic(startStat, value);
        RegCloseKey(startStat);
        if (RegOpenKeyExA(HKEY_DYN_DATA, kStatData, 0, KEY_READ, &statData) != ERROR_SUCCESS) statData = nullptr;
    }
    if (statData) {
        while (!self->StopRequested(kIntervalMs)) {
            DWORD value = 0;
            QueryStatistic(statData, value); // a failed read sends 0
            self->Send(value);
        }
        RegCloseKey(statData);
    }
    TouchStatistic(kStopStat, KEY_ALL_ACCESS);
    return 0;
}
