#pragma once

#include "tools/ProcessTerminator.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One process of a termination run: a copy of what the caller saw, and its state.
struct TerminationEntry {
    enum State { Pending = 0, Terminated = 1, Failed = 2 };

    std::string strName;
    uint32_t dwProcessId = 0;
    uint64_t qwCreationTime = 0;  // FILETIME value; 0 or all ones: not known
    int nState = Pending;
};

// Terminates a list of processes in order, the program's own process last
// (ending it ends the run), and collects one error text per failure.
class TerminationRun {
public:
    static constexpr uint32_t kTimeout = 2000;
    // The longest error text (name and system text are each below 260 bytes).
    static constexpr size_t kMaxErrorText = 1024;

    // `errorTemplate`: string 56, filled with name, PID, error code and error
    // text; one whose conversions do not take these is replaced by the
    // program's own string 56.
    TerminationRun(ProcessTerminator& terminator, uint32_t ownProcessId, const std::string& errorTemplate);

    // Called after each entry with its index, while the run is still going.
    typedef void (*AfterEach)(size_t index, void* context);

    // Processes every pending entry; returns the number of failures.
    size_t Run(std::vector<TerminationEntry>& entries, AfterEach afterEach = nullptr, void* context = nullptr);

    // The indexes in processing order: the list order, the own process moved last.
    static std::vector<size_t> Order(const std::vector<TerminationEntry>& entries, uint32_t ownProcessId);

    const std::vector<std::string>& Errors() const { return errors; }
    // All error texts, one after the other.
    std::string JoinedErrors() const;
    std::string FormatError(const TerminationEntry& entry, uint32_t code, const std::string& text) const;

private:
    ProcessTerminator& terminator;
    uint32_t dwOwnProcessId;
    std::string strErrorTemplate;
    std::string strOwnTemplate;
    std::vector<std::string> errors;
};
