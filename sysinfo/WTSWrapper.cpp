#include "sysinfo/WTSWrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

WTSWrapper::WTSWrapper()
    : WrapperBase("Wtsapi32.dll"),
      pfnWTSEnumerateProcessesA(Resolve<PFN_WTSEnumerateProcessesA>("WTSEnumerateProcessesA")),
      pfnWTSFreeMemory(Resolve<PFN_WTSFreeMemory>("WTSFreeMemory"))
{
}

BOOL WTSWrapper::WTSEnumerateProcesses(HANDLE server, DWORD reserved, DWORD version,
                                       PWTS_PROCESS_INFOA* info, DWORD* count)
{
    if (!pfnWTSEnumerateProcessesA || !pfnWTSFreeMemory) return 0;
    BOOL result = 0;
    if (!GuardedCall::Invoke([&] { result = pfnWTSEnumerateProcessesA(server, reserved, version, info, count); })) {
        DebugOutput::Write("WTSWrapper::WTSEnumerateProcesses failed\n");
        return 0;
    }
    return result;
}

void WTSWrapper::WTSFreeMemory(PVOID memory)
{
    if (!pfnWTSEnumerateProcessesA || !pfnWTSFreeMemory) return;
    if (!GuardedCall::Invoke([&] { pfnWTSFreeMemory(memory); }))
        DebugOutput::Write("WTSWrapper::WTSFreeMemory failed\n");
}
