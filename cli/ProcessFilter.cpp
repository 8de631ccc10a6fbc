#include "cli/ProcessFilter.h"

#include "cli/ProcessIdText.h"
#include "tools/WildcardMatch.h"

#include <algorithm>

ProcessFilter::ProcessFilter(const std::vector<std::string>& operands)
{
    for (const std::string& operand : operands) {
        uint32_t pid = 0;
        if (ProcessIdText::Parse(operand, pid))
            pids.push_back(pid);
        else
            patterns.push_back(operand);
    }
}

bool ProcessFilter::Selects(uint32_t pid, const std::string& name) const
{
    if (Empty()) return true;
    if (std::find(pids.begin(), pids.end(), pid) != pids.end()) return true;
    for (const std::string& pattern : patterns)
        if (WildcardMatch::Matches(pattern.c_str(), name.c_str())) return true;
    return false;
}

std::vector<uint32_t> ProcessFilter::Missing(const std::vector<uint32_t>& seen) const
{
    std::vector<uint32_t> missing;
    for (uint32_t pid : pids)
        if (std::find(seen.begin(), seen.end(), pid) == seen.end()
            && std::find(missing.begin(), missing.end(), pid) == missing.end())
            missing.push_back(pid);
    return missing;
}
