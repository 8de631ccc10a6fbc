#pragma once

#include "sysinfo/WrapperBase.h"

// KERNEL32.DLL calls that Windows 95 or NT 4 lack.
class KERNEL32Wrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_IsDebuggerPresent)();
    typedef DWORD(WINAPI* PFN_GetLongPathNameA)(LPCSTR, LPSTR, DWORD);

    KERNEL32Wrapper();

    bool IsDebuggerPresent();
    DWORD GetLongPathName(LPCSTR shortPath, LPSTR longPath, DWORD size);

    PFN_IsDebuggerPresent pfnIsDebuggerPresent;
    PFN_GetLongPathNameA pfnGetLongPathNameA;
};
