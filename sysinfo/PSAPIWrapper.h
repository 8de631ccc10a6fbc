#pragma once

#include "WrapperBase.h"

// Process-status library (NT family).
class PSAPIWrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_EnumProcessModules)(HANDLE, HMODULE*, DWORD, LPDWORD);
    typedef DWORD(WINAPI* PFN_GetModuleFileNameExA)(HANDLE, HMODULE, LPSTR, DWORD);
    typedef DWORD(WINAPI* PFN_GetModuleBaseNameA)(HANDLE, HMODULE, LPSTR, DWORD);

    PSAPIWrapper();

    bool EnumProcessModules(HANDLE process, HMODULE* modules, DWORD bytes, LPDWORD bytesNeeded);
    DWORD GetModuleFileNameEx(HANDLE process, HMODULE module, LPSTR buffer, DWORD size);

    PFN_EnumProcessModules pfnEnumProcessModules;
    PFN_GetModuleFileNameExA pfnGetModuleFileNameExA;
    PFN_GetModuleBaseNameA pfnGetModuleBaseNameA;
};
