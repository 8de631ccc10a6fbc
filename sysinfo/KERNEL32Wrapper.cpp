#include "sysinfo/KERNEL32Wrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

KERNEL32Wrapper::KERNEL32Wrapper()
    : WrapperBase("KERNEL32.DLL"),
      pfnIsDebuggerPresent(Resolve<PFN_IsDebuggerPresent>("IsDebuggerPresent")),
      pfnGetLongPathNameA(Resolve<PFN_GetLongPathNameA>("GetLongPathNameA"))
{
}

bool KERNEL32Wrapper::IsDebuggerPresent()
{
    if (!pfnIsDebuggerPresent) return false;
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = pfnIsDebuggerPresent(); })) {
        DebugOutput::Write("KERNEL32Wrapper::IsDebuggerPresent failed\n");
        return false;
    }
    return result == 1;
}

DWORD KERNEL32Wrapper::GetLongPathName(LPCSTR shortPath, LPSTR longPath, DWORD size)
{
    if (!pfnGetLongPathNameA) return 0;
    DWORD length = 0;
    if (!GuardedCall::Invoke([&] { length = pfnGetLongPathNameA(shortPath, longPath, size); })) {
        DebugOutput::Write("KERNEL32Wrapper::GetLongPathNameA failed\n");
        return 0;
    }
    return length;
}
