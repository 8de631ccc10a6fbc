#pragma once

#include "sysinfo/WrapperBase.h"

// Process-status library (NT family).
class PSAPIWrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_EnumProcessModules)(HANDLE, HMODULE*, DWORD, LPDWORD);
    typedef DWORD(WINAPI* PFN_GetModuleFileNameExA)(HANDLE, HMODULE, LPSTR, DWORD);
    typedef DWORD(WINAPI* PFN_GetModuleBaseNameA)(HANDLE, HMODULE, LPSTR, DWORD);
    typedef DWORD(WINAPI* PFN_GetModuleFileNameExW)(HANDLE, HMODULE, LPWSTR, DWORD);

    PSAPIWrapper();

    bool EnumProcessModules(HANDLE process, HMODULE* modules, DWORD bytes, LPDWORD bytesNeeded);
    DWORD GetModuleFileNameEx(HANDLE process, HMODULE module, LPSTR buffer, DWORD size);
    // The path in UTF-16, for a conversion without best-fit mapping.
    DWORD GetModuleFileNameExW(HANDLE process, HMODULE module, LPWSTR buffer, DWORD size);
    // The path in the ANSI code page (at most size - 1 bytes): through the wide
    // call and an exact conversion when the library has it, else the ANSI call.
    DWORD GetModuleFileNameExAnsi(HANDLE process, HMODULE module, LPSTR buffer, DWORD size);

    PFN_EnumProcessModules pfnEnumProcessModules;
    PFN_GetModuleFileNameExA pfnGetModuleFileNameExA;
    PFN_GetModuleBaseNameA pfnGetModuleBaseNameA;
    PFN_GetModuleFileNameExW pfnGetModuleFileNameExW;  // optional
};
