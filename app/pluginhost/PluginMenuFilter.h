#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Which plug-ins a view offers, and the command ids of their menu items.
// The same numbering serves the context menus and WM_COMMAND sent with a
// view's window, so that an id names the same plug-in either way.
class PluginMenuFilter {
public:
    static constexpr int kFirstCommand = 1003;
    static constexpr int kLastCommand = 2001;

    struct Candidate {
        uint8_t nKind;
        bool bHasName;
    };
    struct Item {
        size_t nIndex; // position in the host's list
        int nCommand;
    };

    // Process views take both kinds, the module list only file plug-ins;
    // a plug-in without a name is never offered.
    static bool IsOffered(const Candidate& candidate, bool forModules);
    static std::vector<Item> Items(const std::vector<Candidate>& candidates, bool forModules);
    // The host list index behind a command id, or -1.
    static int IndexForCommand(const std::vector<Candidate>& candidates, bool forModules, int command);
    static bool IsPluginCommand(int command) { return command >= kFirstCommand && command <= kLastCommand; }
};
