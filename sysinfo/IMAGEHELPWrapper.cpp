#include "sysinfo/IMAGEHELPWrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

IMAGEHELPWrapper::IMAGEHELPWrapper()
    : WrapperBase("IMAGEHLP.DLL"),
      pfnUnDecorateSymbolName(Resolve<PFN_UnDecorateSymbolName>("UnDecorateSymbolName"))
{
}

IMAGEHELPWrapper& IMAGEHELPWrapper::Shared()
{
    static IMAGEHELPWrapper* shared = new IMAGEHELPWrapper;
    return *shared;
}

DWORD IMAGEHELPWrapper::UnDecorateSymbolName(PCSTR decorated, PSTR buffer, DWORD size, DWORD flags)
{
    if (!pfnUnDecorateSymbolName) return 0;
    DWORD length = 0;
    if (!GuardedCall::Invoke([&] { length = pfnUnDecorateSymbolName(decorated, buffer, size, flags); })) {
        DebugOutput::Write("IMAGEHELPWrapper::UnDecorateSymbolName failed\n");
        return 0;
    }
    return length;
}
