#pragma once

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

// The running-instance mutexes that tell other software (an installer, say)
// that the program runs: "TarnwickApplicationMutex" for the logon, and on
// systems after NT 4 also "Global\TarnwickApplicationMutex" for the machine.
// A second copy is neither detected nor refused.
class InstanceMutex {
public:
    static const char kLocalName[];
    static const char kGlobalName[];

    // The names for an OS kind: kinds 1 to 5 (9x family, NT 4) the local one
    // only; every other kind (also 0, a system newer than the table) both.
    static std::vector<std::string> Names(uint32_t osKind);

    InstanceMutex();
    ~InstanceMutex();
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    // Creates the mutexes with initial ownership; failures are ignored.
    void Create(uint32_t osKind);
    void Close();

    HANDLE hMutexLocal;
    HANDLE hMutexGlobal;
};
