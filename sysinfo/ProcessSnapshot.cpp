#include "sysinfo/ProcessSnapshot.h"

#include "sysinfo/AnsiText.h"
#include "sysinfo/DebugOutput.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/LocalFiles.h"
#include "sysinfo/NativeProcessList.h"
#include "sysinfo/ProcessParametersReader.h"
#include "sysinfo/WTSWrapper.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

const uint32_t kQueryAndRead = 0x410;  // PROCESS_QUERY_INFORMATION | PROCESS_VM_READ
const uint32_t kStatusLengthMismatch = 0xC0000004u;
// A process list that keeps growing past this is not read.
const ULONG kMaxProcessListBytes = 64u << 20;

uint64_t Now()
{
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

bool IsOpen(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE;
}

void CopyLimited(char* buffer, int bufferSize, const char* text)
{
    size_t length = std::strlen(text);
    if (length > static_cast<size_t>(bufferSize) - 1) length = static_cast<size_t>(bufferSize) - 1;
    std::memmove(buffer, text, length);
    buffer[length] = '\0';
}

class RemoteMemory : public ProcessMemory {
public:
    explicit RemoteMemory(HANDLE process) : process(process) {}
    bool Read(uint64_t address, void* buffer, uint32_t size) override
    {
        SIZE_T read = 0;
        return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address)), buffer, size,
                                 &read)
            && read == size;
    }

private:
    HANDLE process;
};

} // namespace

ProcessSnapshot::ProcessSnapshot() : bValid(0), dwIdleProcessId(0), dwSystemProcessId(0)
{
    if (osVersion.IsNTFamily())
        bValid = psapi.pfnEnumProcessModules && psapi.pfnGetModuleFileNameExA && psapi.pfnGetModuleBaseNameA
              && ntdll.pfnNtQuerySystemInformation && ntdll.pfnNtQueryInformationProcess;
    else
        bValid = toolhelp.HasAllEntryPoints();
}

ProcessSnapshot::~ProcessSnapshot()
{
    processes.clear();
    modules.clear();
}

bool ProcessSnapshot::EnumProcesses(SnapshotProgressCallback callback, uint32_t userValue)
{
    if (!bValid) return false;
    processes.clear();
    return osVersion.Is9xFamily() ? EnumProcessesTH32(callback, userValue) : EnumProcessesNT(callback, userValue);
}

uint32_t ProcessSnapshot::GetProcessCountTH32()
{
    HANDLE snapshot = toolhelp.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        DebugOutput::Write("Invalid Snapshot-Handle! (@GetProcessCountTH32)\n");
        return 0;
    }
    PROCESSENTRY32 entry;
    std::memset(&entry, 0, sizeof(entry));
    entry.dwSize = sizeof(entry);  // 296 in the 32-bit program
    uint32_t count = 0;
    if (toolhelp.Process32First(snapshot, &entry)) {
        ++count;
        while (toolhelp.Process32Next(snapshot, &entry)) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

bool ProcessSnapshot::EnumProcessesTH32(SnapshotProgressCallback callback, uint32_t userValue)
{
    HANDLE snapshot = toolhelp.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        DebugOutput::Write("Invalid Snapshot-Handle! (@EnumProcessesTH32)\n");
        return false;
    }
    if (callback) callback(0, GetProcessCountTH32(), userValue);
    qwListTime = Now();

    ToolhelpProcess entry;
    uint32_t position = 0;
    // Without creation times a process is known by its id and file name.
    std::map<std::pair<uint32_t, std::string>, KnownToolhelp> stillRunning;
    for (bool more = NextProcessTH32(snapshot, true, entry); more; more = NextProcessTH32(snapshot, false, entry)) {
        ProcessRecord record;
        record.strName = GetFileNamePart(entry.szExeFile);
        record.dwProcessId = entry.th32ProcessID;
        record.dwParentProcessId = entry.th32ParentProcessID;
        record.dwThreadCount = entry.cntThreads;
        record.ftCreationTime.dwLowDateTime = 0xFFFFFFFF;
        record.ftCreationTime.dwHighDateTime = 0xFFFFFFFF;
        record.strCommandLine = "...";
        record.dwSequence = position++;
        const std::pair<uint32_t, std::string> key(entry.th32ProcessID, entry.szExeFile);
        auto known = knownToolhelp.find(key);
        if (known != knownToolhelp.end() && known->second.lBasePriority == entry.pcPriClassBase)
            record.dwPriorityClass = known->second.dwPriorityClass;
        else
            record.dwPriorityClass =
                MapPriorityClass(entry.th32ProcessID, static_cast<uint32_t>(entry.pcPriClassBase));
        if (std::strchr(entry.szExeFile, '\\')) {
            char path[300];
            CopyLimited(path, 260, entry.szExeFile);
            NormalisePath(path, false);
            record.strPath = path;
        } else if (known != knownToolhelp.end() && known->second.strPath != "...") {
            record.strPath = known->second.strPath;
        } else {
            char path[260] = {};
            record.strPath = GetProcessExecutable(entry.th32ProcessID, path, 260) > 0 ? path : "...";
        }
        stillRunning[key] = {record.strPath, static_cast<int32_t>(entry.pcPriClassBase), record.dwPriorityClass};
        processes.push_back(record);
        if (callback) callback(1, 0, userValue);
    }
    knownToolhelp.swap(stillRunning);
    if (callback) callback(2, 0, userValue);
    CloseHandle(snapshot);
    return true;
}

FileTime ProcessSnapshot::GetBootTime()
{
    FileTime boot;
    boot.dwLowDateTime = boot.dwHighDateTime = 0xFFFFFFFF;
    if (!ntdll.pfnNtQuerySystemInformation || !ntdll.pfnNtQueryInformationProcess) return boot;
    uint8_t buffer[32] = {};
    if (ntdll.NtQuerySystemInformation(3, buffer, sizeof(buffer), nullptr) != 0) return boot;
    std::memcpy(&boot.dwLowDateTime, buffer, 4);
    std::memcpy(&boot.dwHighDateTime, buffer + 4, 4);
    return boot;
}

bool ProcessSnapshot::EnumProcessesNT(SnapshotProgressCallback callback, uint32_t userValue)
{
    // The list needed about this much the last time: asking with less costs a whole second query.
    ULONG size = (nListBytes + 16384 + 65535) / 65536 * 65536;
    if (size < 65536 || size > kMaxProcessListBytes) size = 65536;
    std::vector<uint8_t> block;
    ULONG returned = 0;
    for (;;) {
        try {
            block.assign(size, 0);
        } catch (...) {
            DebugOutput::Write("NT-Status less than zero! (@EnumProcessesNT)\n");
            return false;
        }
        DWORD status = ntdll.NtQuerySystemInformation(5, block.data(), size, &returned);
        if (status == kStatusLengthMismatch && size < kMaxProcessListBytes) {
            size += 65536;
            continue;
        }
        if (status != 0) {
            DebugOutput::Write("NT-Status less than zero! (@EnumProcessesNT)\n");
            return false;
        }
        break;
    }
    qwListTime = Now();
    nListBytes = returned;
    if (returned == 0) returned = 1;
    if (returned < block.size()) block.resize(returned);

    const std::vector<NativeProcessEntry> entries =
        NativeProcessList::Parse(block.data(), block.size(), reinterpret_cast<uintptr_t>(block.data()),
                                 NativeProcessList::OfThisProgram());

    // The terminal-services list, read when an owner is first looked up there.
    WTSWrapper wts;
    PWTS_PROCESS_INFOA sessions = nullptr;
    DWORD sessionCount = 0;
    bool haveSessions = false, askedSessions = false;
    auto sessionList = [&]() {
        if (!askedSessions) haveSessions = wts.WTSEnumerateProcesses(nullptr, 0, 1, &sessions, &sessionCount) != 0;
        askedSessions = true;
        return haveSessions && sessions;
    };

    if (callback) callback(0, static_cast<uint32_t>(entries.size()), userValue);

    // Without idle and system entries (Wine) no process carries their ids.
    dwIdleProcessId = dwSystemProcessId = 0;
    std::map<KnownProcessKey, KnownProcess> stillRunning;
    std::map<KnownProcessKey, KnownPriority> priorities;
    for (size_t position = 0; position < entries.size(); ++position) {
        const NativeProcessEntry& entry = entries[position];
        ProcessRecord record;
        record.dwProcessId = entry.dwProcessId;
        record.dwParentProcessId = entry.dwParentProcessId;
        record.dwThreadCount = entry.dwThreadCount;
        record.dwHandleCount = entry.dwHandleCount;
        record.dwSequence = static_cast<uint32_t>(position);
        record.counters.bHasTimes = true;
        record.counters.qwKernelTime = entry.qwKernelTime;
        record.counters.qwUserTime = entry.qwUserTime;
        record.counters.bHasMemory = entry.bHasMemory;
        record.counters.dwWorkingSet = entry.dwWorkingSet;
        record.counters.dwPeakWorkingSet = entry.dwPeakWorkingSet;
        record.counters.dwPrivateBytes = entry.dwPagefileUsage;
        record.counters.dwPageFaults = entry.dwPageFaults;
        if (const char* fixedName = NativeProcessList::FixedName(entries, position)) {
            if (position == 0)
                dwIdleProcessId = entry.dwProcessId;
            else
                dwSystemProcessId = entry.dwProcessId;
            record.strName = fixedName;
            record.strPath = "...";
            record.strOwner = "...";
            record.strCommandLine = "...";
            record.ftCreationTime = GetBootTime();
            record.dwPriorityClass = position == 0 ? 0xFFFFFFFF
                                                   : MapPriorityClass(entry.dwProcessId,
                                                                      static_cast<uint32_t>(entry.lBasePriority));
        } else {
            if (entry.bHasImageName) {
                record.strName = AnsiText::FromUtf16(entry.strImageName);
                record.strName.resize(std::strlen(record.strName.c_str()));
                if (record.strName.size() > 259) record.strName.resize(259);
            } else {
                record.strName = "Unknown";
            }
            record.ftCreationTime.dwLowDateTime = static_cast<uint32_t>(entry.qwCreateTime);
            record.ftCreationTime.dwHighDateTime = static_cast<uint32_t>(entry.qwCreateTime >> 32);
            const KnownProcessKey key(entry.dwProcessId, entry.qwCreateTime);
            // A priority class moves the base priority: while that stays, so does the class.
            auto knownPriority = entry.qwCreateTime ? knownPriorities.find(key) : knownPriorities.end();
            if (knownPriority != knownPriorities.end() && knownPriority->second.lBasePriority == entry.lBasePriority)
                record.dwPriorityClass = knownPriority->second.dwPriorityClass;
            else
                record.dwPriorityClass =
                    MapPriorityClass(entry.dwProcessId, static_cast<uint32_t>(entry.lBasePriority));
            if (entry.qwCreateTime) priorities[key] = {entry.lBasePriority, record.dwPriorityClass};

            // Path, owner and command line stay the same for a process's whole
            // life: a process seen before (same id, same creation time) is not read again.
            auto known = entry.qwCreateTime ? knownProcesses.find(key) : knownProcesses.end();
            if (known != knownProcesses.end()) {
                record.strOwner = known->second.strOwner;
                record.strCommandLine = known->second.strCommandLine;
                record.strPath = known->second.strPath;
                stillRunning.insert(*known);
            } else {
                HANDLE process = OpenProcess(kQueryAndRead, FALSE, entry.dwProcessId);
                if (!IsOpen(process)) {
                    record.strOwner = "...";
                    record.strCommandLine = "...";
                } else {
                    char owner[260] = {};
                    DWORD ownerSize = 259;
                    if (GetProcessOwner(process, owner, &ownerSize) != 0) {
                        record.strOwner = owner;
                    } else {
                        record.strOwner = "...";
                        if (sessionList()) {
                            for (DWORD i = 0; i < sessionCount; ++i) {
                                if (sessions[i].ProcessId != entry.dwProcessId) continue;
                                char account[260] = {};
                                if (GetAccountNameFromSid(sessions[i].pUserSid, account, 259) > 0)
                                    record.strOwner = account;
                                break;
                            }
                        }
                    }
                    record.strCommandLine = GetProcessCommandLine(process);
                    CloseHandle(process);
                    char path[260] = {};
                    record.strPath = GetProcessExecutable(entry.dwProcessId, path, 260) > 0 ? path : "...";
                }
                if (entry.qwCreateTime && record.strPath != "..." && record.strCommandLine != "...")
                    stillRunning[key] = {record.strOwner, record.strCommandLine, record.strPath};
            }
        }
        processes.push_back(record);
        if (callback) callback(1, 0, userValue);
    }

    knownProcesses.swap(stillRunning);
    knownPriorities.swap(priorities);
    if (haveSessions) wts.WTSFreeMemory(sessions);
    if (callback) callback(2, 0, userValue);
    return true;
}

uint32_t ProcessSnapshot::MapPriorityClass(uint32_t processId, uint32_t basePriority)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (IsOpen(process)) {
        uint32_t priorityClass = GetPriorityClass(process);
        CloseHandle(process);
        return priorityClass;
    }
    return NativeProcessList::PriorityClassFromBase(basePriority);
}

void ProcessSnapshot::NormalisePath(char* path, bool expandShortNames)
{
    if (!IsWin32Path(path)) FixNativePath(path, 260);
    if (expandShortNames && HasShortNameMarker(path) && !(bLocalFilesOnly && LocalFiles::IsNetworkPath(path))) {
        char longPath[260] = {};
        DWORD length = kernel32.GetLongPathName(path, longPath, 260);
        if (length > 0 && length < 260) std::memcpy(path, longPath, length + 1);
    }
}

bool ProcessSnapshot::NextProcessTH32(HANDLE snapshot, bool first, ToolhelpProcess& out)
{
    if (toolhelp.HasWideEntryPoints()) {
        PROCESSENTRY32W entry;
        std::memset(&entry, 0, sizeof(entry));
        entry.dwSize = sizeof(entry);
        if (!(first ? toolhelp.Process32FirstW(snapshot, &entry) : toolhelp.Process32NextW(snapshot, &entry)))
            return false;
        entry.szExeFile[MAX_PATH - 1] = L'\0';
        CopyLimited(out.szExeFile, 260, AnsiText::FromUtf16(entry.szExeFile, wcslen(entry.szExeFile)).c_str());
        out.th32ProcessID = entry.th32ProcessID;
        out.th32ParentProcessID = entry.th32ParentProcessID;
        out.cntThreads = entry.cntThreads;
        out.pcPriClassBase = entry.pcPriClassBase;
        return true;
    }
    PROCESSENTRY32 entry;
    std::memset(&entry, 0, sizeof(entry));
    entry.dwSize = sizeof(entry);  // 296 in the 32-bit program
    if (!(first ? toolhelp.Process32First(snapshot, &entry) : toolhelp.Process32Next(snapshot, &entry)))
        return false;
    entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
    CopyLimited(out.szExeFile, 260, entry.szExeFile);
    out.th32ProcessID = entry.th32ProcessID;
    out.th32ParentProcessID = entry.th32ParentProcessID;
    out.cntThreads = entry.cntThreads;
    out.pcPriClassBase = entry.pcPriClassBase;
    return true;
}

bool ProcessSnapshot::NextModuleTH32(HANDLE snapshot, bool first, ToolhelpModule& out)
{
    if (toolhelp.HasWideEntryPoints()) {
        MODULEENTRY32W entry;
        std::memset(&entry, 0, sizeof(entry));
        entry.dwSize = sizeof(entry);
        if (!(first ? toolhelp.Module32FirstW(snapshot, &entry) : toolhelp.Module32NextW(snapshot, &entry)))
            return false;
        entry.szExePath[MAX_PATH - 1] = L'\0';
        CopyLimited(out.szExePath, 260, AnsiText::FromUtf16(entry.szExePath, wcslen(entry.szExePath)).c_str());
        out.dwBaseAddress = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(entry.modBaseAddr));
        return true;
    }
    MODULEENTRY32 entry;
    std::memset(&entry, 0, sizeof(entry));
    entry.dwSize = sizeof(entry);  // 548 in the 32-bit program
    if (!(first ? toolhelp.Module32First(snapshot, &entry) : toolhelp.Module32Next(snapshot, &entry)))
        return false;
    entry.szExePath[sizeof(entry.szExePath) - 1] = '\0';
    CopyLimited(out.szExePath, 260, entry.szExePath);
    out.dwBaseAddress = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(entry.modBaseAddr));
    return true;
}

int ProcessSnapshot::GetProcessExecutable(uint32_t processId, char* buffer, int bufferSize)
{
    if (!bValid) return -1;
    return osVersion.Is9xFamily() ? GetProcessExecutableTH32(processId, buffer, bufferSize)
                                  : GetProcessExecutableNT(processId, buffer, bufferSize);
}

int ProcessSnapshot::GetProcessExecutableTH32(uint32_t processId, char* buffer, int bufferSize)
{
    if (!buffer || bufferSize < 260 || processId == 0) return -1;
    HANDLE snapshot = toolhelp.CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        DebugOutput::Write("Invalid Snapshot-Handle! (@GetProcessExecutableTH32)\n");
        return 0;
    }
    ToolhelpModule entry;
    int result = -1;
    for (bool more = NextModuleTH32(snapshot, true, entry); more; more = NextModuleTH32(snapshot, false, entry)) {
        char path[300];
        CopyLimited(path, 260, entry.szExePath);
        NormalisePath(path, true);
        if (NativeProcessList::LooksExecutable(path)) {
            CopyLimited(buffer, bufferSize, path);
            result = static_cast<int>(std::strlen(buffer));
            break;
        }
    }
    CloseHandle(snapshot);
    return result;
}

int ProcessSnapshot::GetProcessExecutableNT(uint32_t processId, char* buffer, int bufferSize)
{
    if (!buffer || bufferSize < 260) return -1;
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, processId);
    if (!IsOpen(process)) {
        DebugOutput::Write("OpenProcess(...) failed! (@GetProcessExecutableNT)\n");
        return -1;
    }
    int result = -1;
    HMODULE first = nullptr;
    DWORD needed = 0;
    if (psapi.EnumProcessModules(process, &first, sizeof(first), &needed) && needed >= sizeof(HMODULE)) {
        std::vector<HMODULE> handles(needed / sizeof(HMODULE));
        DWORD again = 0;
        if (psapi.EnumProcessModules(process, handles.data(), static_cast<DWORD>(handles.size() * sizeof(HMODULE)),
                                     &again)) {
            for (HMODULE module : handles) {
                char path[300] = {};
                if (psapi.GetModuleFileNameExAnsi(process, module, path, 260) == 0) continue;
                path[259] = '\0';
                NormalisePath(path, true);
                if (NativeProcessList::LooksExecutable(path)) {
                    CopyLimited(buffer, bufferSize, path);
                    result = static_cast<int>(std::strlen(buffer));
                    break;
                }
            }
        }
    }
    CloseHandle(process);
    return result;
}

bool ProcessSnapshot::IsProcessAccessible(uint32_t processId) const
{
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, processId);
    if (!IsOpen(process)) return false;
    CloseHandle(process);
    return true;
}

bool ProcessSnapshot::IsIdleProcess(uint32_t processId) const
{
    return osVersion.IsNTFamily() && processId == dwIdleProcessId;
}

bool ProcessSnapshot::IsSystemProcess(uint32_t processId) const
{
    return osVersion.IsNTFamily() && processId == dwSystemProcessId;
}

// ---- modules ----

bool ProcessSnapshot::EnumProcessModules(uint32_t processId, SnapshotProgressCallback callback, uint32_t userValue)
{
    if (!bValid) return false;
    return osVersion.Is9xFamily() ? EnumProcessModulesTH32(processId, callback, userValue)
                                  : EnumProcessModulesNT(processId, callback, userValue);
}

bool ProcessSnapshot::ModuleBases(uint32_t processId, std::vector<uint32_t>& bases)
{
    bases.clear();
    if (!bValid) return false;
    if (osVersion.Is9xFamily()) {
        HANDLE snapshot = toolhelp.CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
        if (snapshot == INVALID_HANDLE_VALUE) return false;
        ToolhelpModule entry;
        for (bool more = NextModuleTH32(snapshot, true, entry); more; more = NextModuleTH32(snapshot, false, entry))
            bases.push_back(entry.dwBaseAddress);
        CloseHandle(snapshot);
    } else {
        HANDLE process = OpenProcess(kQueryAndRead, FALSE, processId);
        if (!process) return false;
        DWORD needed = 0;
        std::vector<HMODULE> handles(256);
        bool ok = psapi.EnumProcessModules(process, handles.data(), 256 * sizeof(HMODULE), &needed) != FALSE;
        if (ok && needed > 256 * sizeof(HMODULE) && needed <= 65536 * sizeof(HMODULE)) {
            handles.resize(needed / sizeof(HMODULE));
            ok = psapi.EnumProcessModules(process, handles.data(), needed, &needed) != FALSE;
        }
        CloseHandle(process);
        if (!ok) return false;
        handles.resize(std::min<size_t>(handles.size(), needed / sizeof(HMODULE)));
        for (HMODULE module : handles) bases.push_back(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module)));
    }
    std::sort(bases.begin(), bases.end());
    return true;
}

uint32_t ProcessSnapshot::GetModuleCountTH32(uint32_t processId)
{
    HANDLE snapshot = toolhelp.CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        DebugOutput::Write("Invalid Snapshot-Handle! (@GetModuleCountTH32)\n");
        return 0;
    }
    MODULEENTRY32 entry;
    std::memset(&entry, 0, sizeof(entry));
    entry.dwSize = sizeof(entry);  // 548 in the 32-bit program
    uint32_t count = 0;
    if (toolhelp.Module32First(snapshot, &entry)) {
        ++count;
        while (toolhelp.Module32Next(snapshot, &entry)) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

void ProcessSnapshot::AppendModule(const char* path, uint32_t baseAddress, SnapshotProgressCallback callback,
                                   uint32_t userValue)
{
    ModuleRecord record;
    char work[300] = {};
    CopyLimited(work, 260, path);
    if (!IsWin32Path(work)) FixNativePath(work, 260);
    record.strName = GetFileNamePart(work);
    record.strPath = work;
    record.dwBaseAddress = baseAddress;
    // "?" stands for a character without an ANSI form: such a path names no
    // file here, and as a search pattern it would find the look-alike's model.
    if (bLocalFilesOnly && LocalFiles::IsNetworkPath(work)) {
        record.dwPreferredBase = baseAddress;
    } else if (work[0] && !std::strpbrk(work, "?*")) {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(work, &data);
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            record.ftCreationTime.dwLowDateTime = data.ftCreationTime.dwLowDateTime;
            record.ftCreationTime.dwHighDateTime = data.ftCreationTime.dwHighDateTime;
            record.ftLastWriteTime.dwLowDateTime = data.ftLastWriteTime.dwLowDateTime;
            record.ftLastWriteTime.dwHighDateTime = data.ftLastWriteTime.dwHighDateTime;
            record.nFileSizeHigh = data.nFileSizeHigh;
            record.nFileSizeLow = data.nFileSizeLow;
            FileStamp stamp;
            stamp.writeTime = record.ftLastWriteTime.Value();
            stamp.size = record.FileSize();
            record.dwPreferredBase = FileFactsCache::Shared().GetPreferredBase(work, &stamp);
        } else {
            record.dwPreferredBase = FileFactsCache::ReadPreferredBase(work);
        }
    }
    record.dwLoadOrder = static_cast<uint32_t>(modules.size());
    modules.push_back(record);
    if (callback) callback(1, 0, userValue);
}

bool ProcessSnapshot::EnumProcessModulesTH32(uint32_t processId, SnapshotProgressCallback callback,
                                             uint32_t userValue)
{
    modules.clear();
    HANDLE snapshot = toolhelp.CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        DebugOutput::Write("Invalid Snapshot-Handle! (@EnumProcessModulesTH32)\n");
        return false;
    }
    if (callback) callback(0, GetModuleCountTH32(processId) - 1, userValue);
    ToolhelpModule entry;
    bool result = false;
    if (NextModuleTH32(snapshot, true, entry)) {
        result = true;
        do {
            AppendModule(entry.szExePath, entry.dwBaseAddress, callback, userValue);
        } while (NextModuleTH32(snapshot, false, entry));
    }
    if (callback) callback(2, 0, userValue);
    CloseHandle(snapshot);
    return result;
}

bool ProcessSnapshot::EnumProcessModulesNT(uint32_t processId, SnapshotProgressCallback callback,
                                           uint32_t userValue)
{
    modules.clear();
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, processId);
    if (!process) {
        DebugOutput::Write("OpenProcess(...) failed! (@EnumProcessModulesNT)\n");
        return false;
    }
    HMODULE first = nullptr;
    DWORD needed = 0;
    psapi.EnumProcessModules(process, &first, sizeof(first), &needed);
    const DWORD count = needed / sizeof(HMODULE);
    if (callback) callback(0, count, userValue);
    std::vector<HMODULE> handles(count);
    if (count) {
        DWORD again = 0;
        if (!psapi.EnumProcessModules(process, handles.data(), count * sizeof(HMODULE), &again))
            handles.clear();
        else if (again / sizeof(HMODULE) < count)
            handles.resize(again / sizeof(HMODULE));
    }
    for (HMODULE module : handles) {
        char path[300] = {};
        // A module whose name cannot be read gets an empty path and name.
        if (psapi.GetModuleFileNameExAnsi(process, module, path, 260) == 0) path[0] = '\0';
        path[259] = '\0';
        AppendModule(path, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module)), callback, userValue);
    }
    if (callback) callback(2, 0, userValue);
    CloseHandle(process);
    return true;
}

// ---- process parameters ----

std::optional<std::string> ProcessSnapshot::ReadParameter(HANDLE process, int what)
{
    if (!ntdll.pfnNtQuerySystemInformation || !ntdll.pfnNtQueryInformationProcess) return std::nullopt;
    // The basic information record: exit status, then the environment block's address.
    uintptr_t basic[6] = {};
    ntdll.NtQueryInformationProcess(process, 0, basic, sizeof(basic), nullptr);
    RemoteMemory memory(process);
    ProcessParametersReader reader(memory, basic[1], sizeof(void*));
    if (what < 0) return reader.ReadEnvironment();
    return reader.ReadString(static_cast<ProcessParametersReader::StringField>(what));
}

std::string ProcessSnapshot::GetProcessCommandLine(HANDLE process)
{
    std::optional<std::string> text = ReadParameter(process, ProcessParametersReader::CommandLine);
    return text ? *text : std::string("...");
}

std::optional<std::string> ProcessSnapshot::ReadParameterOf(uint32_t processId, int what)
{
    if (!ntdll.pfnNtQuerySystemInformation || !ntdll.pfnNtQueryInformationProcess) return std::nullopt;
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, processId);
    if (!IsOpen(process)) return std::nullopt;
    std::optional<std::string> value = ReadParameter(process, what);
    CloseHandle(process);
    return value;
}

std::optional<std::string> ProcessSnapshot::GetProcessCurrentDirectory(uint32_t processId)
{
    return ReadParameterOf(processId, ProcessParametersReader::CurrentDirectory);
}

std::optional<std::string> ProcessSnapshot::GetProcessDllPath(uint32_t processId)
{
    return ReadParameterOf(processId, ProcessParametersReader::DllPath);
}

std::optional<std::string> ProcessSnapshot::GetProcessEnvironment(uint32_t processId)
{
    return ReadParameterOf(processId, -1);
}
