#include "sysinfo/NTDLLWrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

NTDLLWrapper::NTDLLWrapper()
    : WrapperBase("NTDLL.DLL"),
      pfnNtQuerySystemInformation(Resolve<PFN_NtQuerySystemInformation>("NtQuerySystemInformation")),
      pfnNtQueryInformationProcess(Resolve<PFN_NtQueryInformationProcess>("NtQueryInformationProcess"))
{
}

DWORD NTDLLWrapper::NtQuerySystemInformation(ULONG infoClass, PVOID buffer, ULONG length,
                                             PULONG returnLength)
{
    if (!pfnNtQuerySystemInformation || !pfnNtQueryInformationProcess) return 0xFFFFFFFF;
    DWORD status = 0xFFFFFFFF;
    if (!GuardedCall::Invoke([&] {
            status = static_cast<DWORD>(pfnNtQuerySystemInformation(infoClass, buffer, length, returnLength));
        })) {
        DebugOutput::Write("NTDLLWrapper::NtQuerySystemInformation failed\n");
        return 0xFFFFFFFF;
    }
    return status;
}

DWORD NTDLLWrapper::NtQueryInformationProcess(HANDLE process, ULONG infoClass, PVOID buffer,
                                              ULONG length, PULONG returnLength)
{
    if (!pfnNtQuerySystemInformation || !pfnNtQueryInformationProcess) return 0xFFFFFFFF;
    DWORD status = 0xFFFFFFFF;
    if (!GuardedCall::Invoke([&] {
            status = static_cast<DWORD>(
                pfnNtQueryInformationProcess(process, infoClass, buffer, length, returnLength));
        })) {
        DebugOutput::Write("NTDLLWrapper::NtQueryInformationProcess failed\n");
        return 0xFFFFFFFF;
    }
    return status;
}
