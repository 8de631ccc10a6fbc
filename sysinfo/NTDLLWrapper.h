#pragma once

#include "sysinfo/WrapperBase.h"

// Native system calls of NTDLL.DLL (NT family only).
class NTDLLWrapper : public WrapperBase {
public:
    typedef LONG(WINAPI* PFN_NtQuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
    typedef LONG(WINAPI* PFN_NtQueryInformationProcess)(HANDLE, ULONG, PVOID, ULONG, PULONG);

    NTDLLWrapper();

    // Status as returned; 0xFFFFFFFF when either entry point is missing or the call faults.
    DWORD NtQuerySystemInformation(ULONG infoClass, PVOID buffer, ULONG length, PULONG returnLength);
    DWORD NtQueryInformationProcess(HANDLE process, ULONG infoClass, PVOID buffer, ULONG length,
                                    PULONG returnLength);

    PFN_NtQuerySystemInformation pfnNtQuerySystemInformation;
    PFN_NtQueryInformationProcess pfnNtQueryInformationProcess;
};
