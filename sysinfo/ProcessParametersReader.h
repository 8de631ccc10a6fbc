#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Reads memory of another process.
class ProcessMemory {
public:
    virtual ~ProcessMemory() {}
    virtual bool Read(uint32_t address, void* buffer, uint32_t size) = 0;
};

// Reads the command line, current directory, DLL path and environment out of
// a 32-bit process's environment block. Every length and pointer read from the
// other process is checked; bad values give "no value", never a fault.
class ProcessParametersReader {
public:
    enum StringField : uint32_t { CurrentDirectory = 36, DllPath = 48, CommandLine = 64 };

    // Environment blocks larger than this are taken as runaway.
    static const uint32_t kMaxEnvironmentBytes = 4u << 20;

    ProcessParametersReader(ProcessMemory& memory, uint32_t pebAddress);

    std::optional<std::string> ReadString(StringField field);
    // The block as the system keeps it: "name=value" strings each ended by a
    // zero byte, the block ended by further zero bytes.
    std::optional<std::string> ReadEnvironment();

private:
    bool ReadParameters(uint8_t (&parameters)[656]);
    bool ReadStep(uint32_t address, uint8_t step[4]);

    ProcessMemory& memory;
    uint32_t peb;
    // One page of the target, to read the environment in whole pages.
    uint32_t cachedPage;
    uint32_t cachedFrom;
    uint32_t cachedLength;
    uint8_t cache[4096];
};
