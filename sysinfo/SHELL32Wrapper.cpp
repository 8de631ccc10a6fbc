#include "sysinfo/SHELL32Wrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

SHELL32Wrapper::SHELL32Wrapper()
    : WrapperBase("SHELL32.DLL"), pfnShellExecuteExW(Resolve<PFN_ShellExecuteExW>("ShellExecuteExW"))
{
}

bool SHELL32Wrapper::ShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    if (!pfnShellExecuteExW) {
        DebugOutput::Write("SHELL32Wrapper::ShellExecuteExW failed\n");
        return false;
    }
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = pfnShellExecuteExW(info); })) {
        DebugOutput::Write("SHELL32Wrapper::ShellExecuteExW failed\n");
        return false;
    }
    return result != FALSE;
}
