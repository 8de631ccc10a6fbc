#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One entry of the system's process list, as read from the block that
// NtQuerySystemInformation fills.
struct NativeProcessEntry {
    uint32_t dwThreadCount = 0;
    uint64_t qwCreateTime = 0;
    bool bHasImageName = false;
    std::u16string strImageName;
    int32_t lBasePriority = 0;
    uint32_t dwProcessId = 0;
    uint32_t dwParentProcessId = 0;
    uint32_t dwHandleCount = 0;
    // Processor time in 100-ns units.
    uint64_t qwUserTime = 0;
    uint64_t qwKernelTime = 0;
    // The memory counters, when the entry is long enough to hold them.
    bool bHasMemory = false;
    uint32_t dwPageFaults = 0;
    uint32_t dwPeakWorkingSet = 0;
    uint32_t dwWorkingSet = 0;
    uint32_t dwPagefileUsage = 0;  // private bytes
};

// Walks the process list block. Offsets and the image-name pointers are
// checked against the block; a bad entry ends the walk.
class NativeProcessList {
public:
    // Where an entry keeps its fields: the block has the layout of the caller's
    // bitness (the 64-bit one only in the 64-bit test build).
    struct Layout {
        size_t entryMinimum;
        size_t nameBuffer;
        size_t pointerSize;
        size_t basePriority;
        size_t processId;
        size_t parentProcessId;
        size_t handleCount;
        size_t pageFaults;
        size_t peakWorkingSet;
        size_t workingSet;
        size_t pagefileUsage;
        size_t memoryEnd;
    };
    static const Layout k32Bit;
    static const Layout k64Bit;
    static const Layout& OfThisProgram() { return sizeof(void*) == 8 ? k64Bit : k32Bit; }

    // `blockAddress` is the address the block has in this process (image-name
    // buffers point into it).
    static std::vector<NativeProcessEntry> Parse(const uint8_t* block, size_t size, uintptr_t blockAddress,
                                                 const Layout& layout = k32Bit);

    // True when the list begins with the idle and system entries: the first
    // entry has no image name, as the system gives the idle process. (Wine's
    // list has neither: every entry is an ordinary process.)
    static bool HasIdleAndSystem(const std::vector<NativeProcessEntry>& entries);
    // "System Idle Process" and "System" for the first two positions of such a
    // list; null for every ordinary process.
    static const char* FixedName(const std::vector<NativeProcessEntry>& entries, size_t position);

    // Maps a base priority to a priority class.
    static uint32_t PriorityClassFromBase(uint32_t basePriority);

    // True for paths that name an executable (".e" or ".com" anywhere, without regard to case).
    static bool LooksExecutable(const std::string& path);
};
