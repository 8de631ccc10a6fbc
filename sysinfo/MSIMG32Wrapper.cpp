#include "sysinfo/MSIMG32Wrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

MSIMG32Wrapper::MSIMG32Wrapper()
    : WrapperBase("MSIMG32.DLL"), pfnGradientFill(Resolve<PFN_GradientFill>("GradientFill"))
{
}

bool MSIMG32Wrapper::GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh,
                                  ULONG meshCount, ULONG mode)
{
    if (!pfnGradientFill) return false;
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = pfnGradientFill(dc, vertices, vertexCount, mesh, meshCount, mode); })) {
        DebugOutput::Write("MSIMG32Wrapper::GradientFill failed\n");
        return false;
    }
    return result == 1;
}
