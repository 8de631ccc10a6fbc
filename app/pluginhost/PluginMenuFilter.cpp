#include "app/pluginhost/PluginMenuFilter.h"

bool PluginMenuFilter::IsOffered(const Candidate& candidate, bool forModules)
{
    if (!candidate.bHasName) return false;
    if (forModules) return candidate.nKind == 2;
    return candidate.nKind == 1 || candidate.nKind == 2;
}

std::vector<PluginMenuFilter::Item> PluginMenuFilter::Items(const std::vector<Candidate>& candidates, bool forModules)
{
    std::vector<Item> items;
    int command = kFirstCommand;
    for (size_t i = 0; i < candidates.size() && command <= kLastCommand; ++i) {
        if (!IsOffered(candidates[i], forModules)) continue;
        items.push_back(Item{i, command});
        ++command;
    }
    return items;
}

int PluginMenuFilter::IndexForCommand(const std::vector<Candidate>& candidates, bool forModules, int command)
{
    if (!IsPluginCommand(command)) return -1;
    for (const Item& item : Items(candidates, forModules))
        if (item.nCommand == command) return static_cast<int>(item.nIndex);
    return -1;
}
