#pragma once

#include "sysinfo/WrapperBase.h"

#include <tlhelp32.h>

// Toolhelp snapshot calls of KERNEL32.DLL (9x family, NT 5 and later).
class TOOLHELP32Wrapper : public WrapperBase {
public:
    typedef HANDLE(WINAPI* PFN_CreateToolhelp32Snapshot)(DWORD, DWORD);
    typedef BOOL(WINAPI* PFN_Process32)(HANDLE, PROCESSENTRY32*);
    typedef BOOL(WINAPI* PFN_Module32)(HANDLE, MODULEENTRY32*);
    typedef BOOL(WINAPI* PFN_Thread32)(HANDLE, THREADENTRY32*);
    typedef BOOL(WINAPI* PFN_Process32W)(HANDLE, PROCESSENTRY32W*);
    typedef BOOL(WINAPI* PFN_Module32W)(HANDLE, MODULEENTRY32W*);

    TOOLHELP32Wrapper();

    HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
    bool Process32First(HANDLE snapshot, PROCESSENTRY32* entry);
    bool Process32Next(HANDLE snapshot, PROCESSENTRY32* entry);
    bool Module32First(HANDLE snapshot, MODULEENTRY32* entry);
    bool Module32Next(HANDLE snapshot, MODULEENTRY32* entry);

    // The wide calls (2000 and later): names reach the program in UTF-16, so
    // it converts them itself, without best-fit mapping.
    bool Process32FirstW(HANDLE snapshot, PROCESSENTRY32W* entry);
    bool Process32NextW(HANDLE snapshot, PROCESSENTRY32W* entry);
    bool Module32FirstW(HANDLE snapshot, MODULEENTRY32W* entry);
    bool Module32NextW(HANDLE snapshot, MODULEENTRY32W* entry);

    bool HasAllEntryPoints() const;
    bool HasWideEntryPoints() const;

    PFN_CreateToolhelp32Snapshot pfnCreateToolhelp32Snapshot;
    PFN_Process32 pfnProcess32First;
    PFN_Process32 pfnProcess32Next;
    PFN_Module32 pfnModule32First;
    PFN_Module32 pfnModule32Next;
    PFN_Thread32 pfnThread32First;
    PFN_Thread32 pfnThread32Next;
    // Optional: null on the 9x family and NT 4.
    PFN_Process32W pfnProcess32FirstW;
    PFN_Process32W pfnProcess32NextW;
    PFN_Module32W pfnModule32FirstW;
    PFN_Module32W pfnModule32NextW;
};
