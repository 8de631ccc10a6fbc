#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The data a plug-in receives from a view's selection; no OS calls.
class PluginRequest {
public:
    enum Source { ProcessTree, ProcessList, ModuleList };

    struct Item {
        uint32_t dwProcessId = 0;
        std::string strPath;       // the process's executable or the module's file
        bool bIdleOrSystem = false;
    };

    // Process ids for kind 1, paths for kind 2.
    std::vector<uint32_t> pids;
    std::vector<std::string> paths;

    // Fills the data for a plug-in of the given kind; false when there is
    // nothing to run it on (then the plug-in is not called). The tree hands
    // over its one selected process; idle and system processes have no file;
    // a path that could not be read ("..." or empty) is left out.
    bool Build(Source source, uint8_t kind, const std::vector<Item>& selection);

    uint32_t Count() const { return static_cast<uint32_t>(pids.empty() ? paths.size() : pids.size()); }
};
