#pragma once

#include "WrapperBase.h"

#include <tlhelp32.h>

// Toolhelp snapshot calls of KERNEL32.DLL (9x family, NT 5 and later).
class TOOLHELP32Wrapper : public WrapperBase {
public:
    typedef HANDLE(WINAPI* PFN_CreateToolhelp32Snapshot)(DWORD, DWORD);
    typedef BOOL(WINAPI* PFN_Process32)(HANDLE, PROCESSENTRY32*);
    typedef BOOL(WINAPI* PFN_Module32)(HANDLE, MODULEENTRY32*);
    typedef BOOL(WINAPI* PFN_Thread32)(HANDLE, THREADENTRY32*);

    TOOLHELP32Wrapper();

    HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
    bool Process32First(HANDLE snapshot, PROCESSENTRY32* entry);
    bool Process32Next(HANDLE snapshot, PROCESSENTRY32* entry);
    bool Module32First(HANDLE snapshot, MODULEENTRY32* entry);
    bool Module32Next(HANDLE snapshot, MODULEENTRY32* entry);

    bool HasAllEntryPoints() const;

    PFN_CreateToolhelp32Snapshot pfnCreateToolhelp32Snapshot;
    PFN_Process32 pfnProcess32First;
    PFN_Process32 pfnProcess32Next;
    PFN_Module32 pfnModule32First;
    PFN_Module32 pfnModule32Next;
    PFN_Thread32 pfnThread32First;
    PFN_Thread32 pfnThread32Next;
};
