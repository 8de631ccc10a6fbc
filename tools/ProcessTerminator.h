#pragma once

#include <cstdint>
#include <string>

// Ends one process by its id: opens it, asks the system to terminate it up to
// three times and, after each refusal, waits for it to end on its own.
class ProcessTerminator {
public:
    virtual ~ProcessTerminator() {}

    // True when the process is gone. `creationTime` is the FILETIME value the
    // caller saw for the process (0 or all ones: not known); a process of that
    // id created at another time is a different program that reused the id,
    // and fails like an id that no longer exists (error 87).
    virtual bool Terminate(uint32_t processId, uint32_t timeout, uint64_t creationTime = 0);

    // The code and the system's text of the last failure (text empty for 0).
    uint32_t LastErrorCode() const { return dwLastError; }
    const std::string& LastErrorText() const { return strLastError; }

protected:
    void RecordError(uint32_t code);

    std::string strLastError;
    uint32_t dwLastError = 0;
};
