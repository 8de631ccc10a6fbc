#include "sysinfo/TOOLHELP32Wrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

TOOLHELP32Wrapper::TOOLHELP32Wrapper()
    : WrapperBase("KERNEL32.DLL"),
      pfnCreateToolhelp32Snapshot(Resolve<PFN_CreateToolhelp32Snapshot>("CreateToolhelp32Snapshot")),
      pfnProcess32First(Resolve<PFN_Process32>("Process32First")),
      pfnProcess32Next(Resolve<PFN_Process32>("Process32Next")),
      pfnModule32First(Resolve<PFN_Module32>("Module32First")),
      pfnModule32Next(Resolve<PFN_Module32>("Module32Next")),
      pfnThread32First(Resolve<PFN_Thread32>("Thread32First")),
      pfnThread32Next(Resolve<PFN_Thread32>("Thread32Next")),
      pfnProcess32FirstW(Resolve<PFN_Process32W>("Process32FirstW")),
      pfnProcess32NextW(Resolve<PFN_Process32W>("Process32NextW")),
      pfnModule32FirstW(Resolve<PFN_Module32W>("Module32FirstW")),
      pfnModule32NextW(Resolve<PFN_Module32W>("Module32NextW"))
{
}

bool TOOLHELP32Wrapper::HasAllEntryPoints() const
{
    return pfnCreateToolhelp32Snapshot && pfnProcess32First && pfnProcess32Next && pfnModule32First
        && pfnModule32Next && pfnThread32First && pfnThread32Next;
}

bool TOOLHELP32Wrapper::HasWideEntryPoints() const
{
    return pfnProcess32FirstW && pfnProcess32NextW && pfnModule32FirstW && pfnModule32NextW;
}

HANDLE TOOLHELP32Wrapper::CreateToolhelp32Snapshot(DWORD flags, DWORD processId)
{
    HANDLE snapshot = INVALID_HANDLE_VALUE;
    if (!GuardedCall::Invoke([&] { snapshot = pfnCreateToolhelp32Snapshot(flags, processId); })) {
        DebugOutput::Write("TOOLHELP32Wrapper::CreateToolhelp32Snapshot failed\n");
        return INVALID_HANDLE_VALUE;
    }
    return snapshot;
}

namespace {
template <class Fn, class Entry>
bool CallEntry(Fn fn, HANDLE snapshot, Entry* entry, const char* failLine)
{
    BOOL result = FALSE;
    if (!GuardedCall::Invoke([&] { result = fn(snapshot, entry); })) {
        DebugOutput::Write(failLine);
        return false;
    }
    return result == 1;
}
} // namespace

bool TOOLHELP32Wrapper::Process32First(HANDLE snapshot, PROCESSENTRY32* entry)
{
    return CallEntry(pfnProcess32First, snapshot, entry, "TOOLHELP32Wrapper::Process32First failed\n");
}

bool TOOLHELP32Wrapper::Process32Next(HANDLE snapshot, PROCESSENTRY32* entry)
{
    return CallEntry(pfnProcess32Next, snapshot, entry, "TOOLHELP32Wrapper::Process32Next failed\n");
}

bool TOOLHELP32Wrapper::Module32First(HANDLE snapshot, MODULEENTRY32* entry)
{
    return CallEntry(pfnModule32First, snapshot, entry, "TOOLHELP32Wrapper::Module32First failed\n");
}

bool TOOLHELP32Wrapper::Module32Next(HANDLE snapshot, MODULEENTRY32* entry)
{
    return CallEntry(pfnModule32Next, snapshot, entry, "TOOLHELP32Wrapper::Module32Next failed\n");
}

bool TOOLHELP32Wrapper::Process32FirstW(HANDLE snapshot, PROCESSENTRY32W* entry)
{
    return CallEntry(pfnProcess32FirstW, snapshot, entry, "TOOLHELP32Wrapper::Process32FirstW failed\n");
}

bool TOOLHELP32Wrapper::Process32NextW(HANDLE snapshot, PROCESSENTRY32W* entry)
{
    return CallEntry(pfnProcess32NextW, snapshot, entry, "TOOLHELP32Wrapper::Process32NextW failed\n");
}

bool TOOLHELP32Wrapper::Module32FirstW(HANDLE snapshot, MODULEENTRY32W* entry)
{
    return CallEntry(pfnModule32FirstW, snapshot, entry, "TOOLHELP32Wrapper::Module32FirstW failed\n");
}

bool TOOLHELP32Wrapper::Module32NextW(HANDLE snapshot, MODULEENTRY32W* entry)
{
    return CallEntry(pfnModule32NextW, snapshot, entry, "TOOLHELP32Wrapper::Module32NextW failed\n");
}
