#include "sysutils/ADVAPI32Wrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

ADVAPI32Wrapper::ADVAPI32Wrapper()
    : WrapperBase("ADVAPI32.DLL"),
      pfnOpenProcessToken(Resolve<PFN_OpenProcessToken>("OpenProcessToken")),
      pfnLookupPrivilegeValueA(Resolve<PFN_LookupPrivilegeValueA>("LookupPrivilegeValueA")),
      pfnAdjustTokenPrivileges(Resolve<PFN_AdjustTokenPrivileges>("AdjustTokenPrivileges")),
      pfnGetTokenInformation(Resolve<PFN_GetTokenInformation>("GetTokenInformation")),
      pfnLookupAccountSidA(Resolve<PFN_LookupAccountSidA>("LookupAccountSidA"))
{
}

bool ADVAPI32Wrapper::HasAllEntryPoints() const
{
    return pfnOpenProcessToken && pfnLookupPrivilegeValueA && pfnAdjustTokenPrivileges
        && pfnGetTokenInformation && pfnLookupAccountSidA;
}

bool ADVAPI32Wrapper::OpenProcessToken(HANDLE process, DWORD access, PHANDLE token)
{
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = pfnOpenProcessToken(process, access, token); })) {
        DebugOutput::Write("ADVAPI32Wrapper::OpenProcessToken failed\n");
        return false;
    }
    return result != FALSE;
}

bool ADVAPI32Wrapper::GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info,
                                          DWORD length, PDWORD returnLength)
{
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = pfnGetTokenInformation(token, infoClass, info, length, returnLength); })) {
        DebugOutput::Write("ADVAPI32Wrapper::GetTokenInformation failed\n");
        return false;
    }
    return result != FALSE;
}

bool ADVAPI32Wrapper::LookupAccountSid(LPCSTR system, PSID sid, LPSTR name, LPDWORD nameSize, LPSTR domain,
                                       LPDWORD domainSize, PSID_NAME_USE use)
{
    BOOL result = FALSE;
    if (!GuardedCall::Invoke(
            [&] { result = pfnLookupAccountSidA(system, sid, name, nameSize, domain, domainSize, use); })) {
        DebugOutput::Write("ADVAPI32Wrapper::LookupAccountSid failed\n");
        return false;
    }
    return result != FALSE;
}
