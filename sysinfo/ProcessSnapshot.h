#pragma once

#include "sysinfo/KERNEL32Wrapper.h"
#include "sysinfo/ModuleRecord.h"
#include "sysinfo/NTDLLWrapper.h"
#include "sysinfo/PSAPIWrapper.h"
#include "sysinfo/ProcessRecord.h"
#include "sysinfo/TOOLHELP32Wrapper.h"
#include "sysutils/OsVersion.h"

#include <list>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A picture of the running processes, and of the modules of one process.
// Toolhelp on the 9x family; the native call, the process-status library and
// terminal services on the NT family.
class ProcessSnapshot {
public:
    ProcessSnapshot();
    ~ProcessSnapshot();
    ProcessSnapshot(const ProcessSnapshot&) = delete;
    ProcessSnapshot& operator=(const ProcessSnapshot&) = delete;

    bool EnumProcesses(SnapshotProgressCallback callback, uint32_t userValue);
    bool EnumProcessModules(uint32_t processId, SnapshotProgressCallback callback, uint32_t userValue);
    // The load addresses of a process's modules, sorted, and nothing else
    // read (no names, no files): a cheap look whether its set of modules
    // changed (one unloaded and another loaded at its address meanwhile is not seen).
    bool ModuleBases(uint32_t processId, std::vector<uint32_t>& bases);

    int GetProcessExecutable(uint32_t processId, char* buffer, int bufferSize);

    std::string GetProcessCommandLine(HANDLE process);
    std::optional<std::string> GetProcessCurrentDirectory(uint32_t processId);
    std::optional<std::string> GetProcessDllPath(uint32_t processId);
    std::optional<std::string> GetProcessEnvironment(uint32_t processId);

    bool IsProcessAccessible(uint32_t processId) const;
    bool IsIdleProcess(uint32_t processId) const;
    bool IsSystemProcess(uint32_t processId) const;

    uint32_t GetProcessCountTH32();
    uint32_t GetModuleCountTH32(uint32_t processId);
    static uint32_t MapPriorityClass(uint32_t processId, uint32_t basePriority);
    FileTime GetBootTime();

    const std::list<ProcessRecord>& Processes() const { return processes; }
    // When the last process list was read (a file time): its processor times are of that moment.
    uint64_t ListTime() const { return qwListTime; }
    const std::list<ModuleRecord>& Modules() const { return modules; }
    const OsVersion& Os() const { return osVersion; }
    bool IsValid() const { return bValid != 0; }
    // The window's snapshot: module files over the network are not looked up
    // (no dates, size or preferred base; not marked relocated), short names
    // on a share are not expanded.
    void SetLocalFilesOnly(bool on) { bLocalFilesOnly = on; }

private:
    bool EnumProcessesTH32(SnapshotProgressCallback callback, uint32_t userValue);
    bool EnumProcessesNT(SnapshotProgressCallback callback, uint32_t userValue);
    bool EnumProcessModulesTH32(uint32_t processId, SnapshotProgressCallback callback, uint32_t userValue);
    bool EnumProcessModulesNT(uint32_t processId, SnapshotProgressCallback callback, uint32_t userValue);
    int GetProcessExecutableTH32(uint32_t processId, char* buffer, int bufferSize);
    int GetProcessExecutableNT(uint32_t processId, char* buffer, int bufferSize);
    // One entry of a Toolhelp snapshot, read through the wide calls when the
    // system has them (names converted without best-fit), else the ANSI ones.
    struct ToolhelpProcess {
        uint32_t th32ProcessID, th32ParentProcessID, cntThreads;
        LONG pcPriClassBase;
        char szExeFile[260];
    };
    struct ToolhelpModule {
        uint32_t dwBaseAddress;
        char szExePath[260];
    };
    bool NextProcessTH32(HANDLE snapshot, bool first, ToolhelpProcess& out);
    bool NextModuleTH32(HANDLE snapshot, bool first, ToolhelpModule& out);
    // Both normalisation steps, in place in a 260-byte buffer.
    void NormalisePath(char* path, bool expandShortNames);
    void AppendModule(const char* path, uint32_t baseAddress, SnapshotProgressCallback callback,
                      uint32_t userValue);
    // `what`: a string field of the parameter block, or -1 for the environment.
    std::optional<std::string> ReadParameter(HANDLE process, int what);
    std::optional<std::string> ReadParameterOf(uint32_t processId, int what);

    bool bLocalFilesOnly = false;
    OsVersion osVersion;
    TOOLHELP32Wrapper toolhelp;
    NTDLLWrapper ntdll;
    PSAPIWrapper psapi;
    KERNEL32Wrapper kernel32;
    uint8_t bValid;
    uint32_t dwIdleProcessId;
    uint32_t dwSystemProcessId;
    uint64_t qwListTime = 0;
    std::list<ProcessRecord> processes;
    std::list<ModuleRecord> modules;

    // What the last enumeration read of each process, by id and creation time.
    struct KnownProcess {
        std::string strOwner;
        std::string strCommandLine;
        std::string strPath;
    };
    typedef std::pair<uint32_t, uint64_t> KnownProcessKey;
    std::map<KnownProcessKey, KnownProcess> knownProcesses;
    // The priority class last read of each process and the base priority it went with.
    struct KnownPriority {
        int32_t lBasePriority;
        uint32_t dwPriorityClass;
    };
    std::map<KnownProcessKey, KnownPriority> knownPriorities;
    // The same of the Toolhelp list (no creation times there: id and file name).
    struct KnownToolhelp {
        std::string strPath;
        int32_t lBasePriority;
        uint32_t dwPriorityClass;
    };
    std::map<std::pair<uint32_t, std::string>, KnownToolhelp> knownToolhelp;
    // What the last native list needed.
    uint32_t nListBytes = 0;
};
