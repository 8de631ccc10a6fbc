#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ProcessSnapshot;

// One process that has modules matching the pattern, and those modules.
struct DllSearchHit {
    std::string strProcessName;
    uint32_t dwProcessId = 0;
    struct Module {
        std::string strName;
        std::string strPath;
    };
    std::vector<Module> modules;
};

// Finds every process that has a module whose file name matches a wildcard
// pattern, in snapshot and module order.
class DllSearch {
public:
    // Called after each process, with the hits so far (the dialog pumps its
    // messages here).
    typedef void (*Progress)(const std::vector<DllSearchHit>& hits, void* context);

    // Takes a fresh process snapshot into `snapshot`. False when the snapshot
    // fails. `fullPath`: the pattern is matched against the module's full
    // path, its backslashes taken as themselves.
    static bool Run(const std::string& pattern, ProcessSnapshot& snapshot, std::vector<DllSearchHit>& hits,
                    Progress progress = nullptr, void* context = nullptr, bool fullPath = false);
};
