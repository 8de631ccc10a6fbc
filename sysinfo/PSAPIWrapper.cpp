#include "PSAPIWrapper.h"

#include "DebugOutput.h"
#include "GuardedCall.h"

PSAPIWrapper::PSAPIWrapper()
    : WrapperBase("PSAPI.DLL"),
      pfnEnumProcessModules(Resolve<PFN_EnumProcessModules>("EnumProcessModules")),
      pfnGetModuleFileNameExA(Resolve<PFN_GetModuleFileNameExA>("GetModuleFileNameExA")),
      pfnGetModuleBaseNameA(Resolve<PFN_GetModuleBaseNameA>("GetModuleBaseNameA"))
{
}

bool PSAPIWrapper::EnumProcessModules(HANDLE process, HMODULE* modules, DWORD bytes,
                                      LPDWORD bytesNeeded)
{
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = pfnEnumProcessModules(process, modules, bytes, bytesNeeded); })) {
        DebugOutput::Write("PSAPIWrapper::EnumProcessModules failed\n");
        return false;
    }
    return result == 1;
}

DWORD PSAPIWrapper::GetModuleFileNameEx(HANDLE process, HMODULE module, LPSTR buffer, DWORD size)
{
    DWORD length = 0;
    if (!GuardedCall::Invoke([&] { length = pfnGetModuleFileNameExA(process, module, buffer, size); })) {
        DebugOutput::Write("PSAPIWrapper::GetModuleFileNameEx failed\n");
        return 0;
    }
    return length;
}
