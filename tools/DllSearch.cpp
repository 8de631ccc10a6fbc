#include "tools/DllSearch.h"

#include "tools/WildcardMatch.h"
#include "sysinfo/ProcessSnapshot.h"

bool DllSearch::Run(const std::string& pattern, ProcessSnapshot& snapshot, std::vector<DllSearchHit>& hits,
                    Progress progress, void* context, bool fullPath)
{
    hits.clear();
    if (pattern.empty()) return true;
    if (!snapshot.EnumProcesses(nullptr, 0)) return false;

    // Copy the process list: the module walk must not depend on it staying put.
    const std::list<ProcessRecord> processes = snapshot.Processes();
    for (const ProcessRecord& process : processes) {
        if (snapshot.EnumProcessModules(process.dwProcessId, nullptr, 0)) {
            DllSearchHit hit;
            for (const ModuleRecord& module : snapshot.Modules()) {
                if (fullPath) {
                    const int flags = WildcardMatch::CaseFold | WildcardMatch::NoEscape;
                    if (WildcardMatch::match(pattern.c_str(), module.strPath.c_str(), flags) != 0) continue;
                } else {
                    const size_t slash = module.strPath.find_last_of('\\');
                    if (slash == std::string::npos) continue;
                    const std::string fileName = module.strPath.substr(slash + 1);
                    if (!WildcardMatch::Matches(pattern.c_str(), fileName.c_str())) continue;
                }
                hit.modules.push_back({module.strName, module.strPath});
            }
            if (!hit.modules.empty()) {
                hit.strProcessName = process.strName;
                hit.dwProcessId = process.dwProcessId;
                hits.push_back(hit);
            }
        }
        if (progress) progress(hits, context);
    }
    return true;
}
