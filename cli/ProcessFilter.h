#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The processes a command line asks for: each operand is a process id (as
// ProcessIdText reads it) or else a wildcard pattern on the process name
// (as Find DLL matches). No operands: every process.
class ProcessFilter {
public:
    explicit ProcessFilter(const std::vector<std::string>& operands);

    bool Selects(uint32_t pid, const std::string& name) const;
    // The ids asked for that are not among `seen`, in the order given.
    std::vector<uint32_t> Missing(const std::vector<uint32_t>& seen) const;
    bool Empty() const { return pids.empty() && patterns.empty(); }

private:
    std::vector<uint32_t> pids;
    std::vector<std::string> patterns;
};
