#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Reads memory of another process.
class ProcessMemory {
public:
    virtual ~ProcessMemory() {}
    virtual bool Read(uint64_t address, void* buffer, uint32_t size) = 0;
};

// Reads the command line, current directory, DLL path and environment out of
// a process's environment block (a 32-bit one; a 64-bit one when the pointer
// size is 8, which only the 64-bit test build asks for). Every length and pointer read from the
// other process is checked; bad values give "no value", never a fault.
class ProcessParametersReader {
public:
    // Offsets in the 32-bit parameters record.
    enum StringField : uint32_t { CurrentDirectory = 36, DllPath = 48, CommandLine = 64 };

    // Environment blocks larger than this are taken as runaway.
    static const uint32_t kMaxEnvironmentBytes = 4u << 20;

    ProcessParametersReader(ProcessMemory& memory, uint64_t pebAddress, uint32_t pointerSize = 4);

    std::optional<std::string> ReadString(StringField field);
    // The block as the system keeps it: "name=value" strings each ended by a
    // zero byte, the block ended by further zero bytes.
    std::optional<std::string> ReadEnvironment();

private:
    bool ReadParameters(uint8_t (&parameters)[656]);
    bool ReadStep(uint64_t address, uint8_t step[4]);
    uint64_t Pointer(const uint8_t* at) const;
    uint32_t OffsetOf(uint32_t offset32) const;

    ProcessMemory& memory;
    uint64_t peb;
    uint32_t pointerSize;
    // One page of the target, to read the environment in whole pages.
    uint64_t cachedPage;
    uint64_t cachedFrom;
    uint32_t cachedLength;
    uint8_t cache[4096];
};
