#pragma once

#include "sysinfo/WrapperBase.h"

#include <wtsapi32.h>

// Terminal-services process enumeration (Wtsapi32.dll).
class WTSWrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_WTSEnumerateProcessesA)(HANDLE, DWORD, DWORD, PWTS_PROCESS_INFOA*, DWORD*);
    typedef void(WINAPI* PFN_WTSFreeMemory)(PVOID);

    WTSWrapper();

    BOOL WTSEnumerateProcesses(HANDLE server, DWORD reserved, DWORD version, PWTS_PROCESS_INFOA* info,
                               DWORD* count);
    void WTSFreeMemory(PVOID memory);

    PFN_WTSEnumerateProcessesA pfnWTSEnumerateProcessesA;
    PFN_WTSFreeMemory pfnWTSFreeMemory;
};
