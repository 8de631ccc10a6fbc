#pragma once

#include "sysinfo/WrapperBase.h"

// Token and account calls of ADVAPI32.DLL, bound at run time.
class ADVAPI32Wrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_OpenProcessToken)(HANDLE, DWORD, PHANDLE);
    typedef BOOL(WINAPI* PFN_LookupPrivilegeValueA)(LPCSTR, LPCSTR, PLUID);
    typedef BOOL(WINAPI* PFN_AdjustTokenPrivileges)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                                    PTOKEN_PRIVILEGES, PDWORD);
    typedef BOOL(WINAPI* PFN_GetTokenInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
    typedef BOOL(WINAPI* PFN_LookupAccountSidA)(LPCSTR, PSID, LPSTR, LPDWORD, LPSTR, LPDWORD,
                                                PSID_NAME_USE);

    ADVAPI32Wrapper();

    bool HasAllEntryPoints() const;

    bool OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
    bool GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info, DWORD length,
                             PDWORD returnLength);
    bool LookupAccountSid(LPCSTR system, PSID sid, LPSTR name, LPDWORD nameSize, LPSTR domain,
                          LPDWORD domainSize, PSID_NAME_USE use);

    PFN_OpenProcessToken pfnOpenProcessToken;
    PFN_LookupPrivilegeValueA pfnLookupPrivilegeValueA;
    PFN_AdjustTokenPrivileges pfnAdjustTokenPrivileges;
    PFN_GetTokenInformation pfnGetTokenInformation;
    PFN_LookupAccountSidA pfnLookupAccountSidA;
};
