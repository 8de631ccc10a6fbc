#include "sysinfo/PSAPIWrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/AnsiText.h"
#include "sysinfo/GuardedCall.h"

#include <cstring>

PSAPIWrapper::PSAPIWrapper()
    : WrapperBase("PSAPI.DLL"),
      pfnEnumProcessModules(Resolve<PFN_EnumProcessModules>("EnumProcessModules")),
      pfnGetModuleFileNameExA(Resolve<PFN_GetModuleFileNameExA>("GetModuleFileNameExA")),
      pfnGetModuleBaseNameA(Resolve<PFN_GetModuleBaseNameA>("GetModuleBaseNameA")),
      pfnGetModuleFileNameExW(Resolve<PFN_GetModuleFileNameExW>("GetModuleFileNameExW"))
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

DWORD PSAPIWrapper::GetModuleFileNameExW(HANDLE process, HMODULE module, LPWSTR buffer, DWORD size)
{
    DWORD length = 0;
    if (!GuardedCall::Invoke([&] { length = pfnGetModuleFileNameExW(process, module, buffer, size); })) {
        DebugOutput::Write("PSAPIWrapper::GetModuleFileNameExW failed\n");
        return 0;
    }
    return length;
}

DWORD PSAPIWrapper::GetModuleFileNameExAnsi(HANDLE process, HMODULE module, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0) return 0;
    if (!pfnGetModuleFileNameExW) return GetModuleFileNameEx(process, module, buffer, size);
    wchar_t wide[MAX_PATH + 1] = {};
    DWORD units = GetModuleFileNameExW(process, module, wide, MAX_PATH);
    if (units == 0 || units > MAX_PATH) return 0;
    std::string text = AnsiText::FromUtf16(wide, units);
    if (text.size() > size - 1) text.resize(size - 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}
