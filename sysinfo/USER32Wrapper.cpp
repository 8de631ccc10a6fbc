#include "sysinfo/USER32Wrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

USER32Wrapper::USER32Wrapper()
    : WrapperBase("USER32.DLL"), pfnIsHungAppWindow(Resolve<PFN_IsHungAppWindow>("IsHungAppWindow"))
{
}

bool USER32Wrapper::IsHungAppWindow(HWND window)
{
    if (!pfnIsHungAppWindow) return false;
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = pfnIsHungAppWindow(window); })) {
        DebugOutput::Write("USER32Wrapper::IsHungAppWindow failed\n");
        return false;
    }
    return result != FALSE;
}
