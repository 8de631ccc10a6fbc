#include "views/TreeNesting.h"

#include <map>
#include <utility>

std::vector<TreeNesting::Row> TreeNesting::Arrange(const std::vector<Node>& nodes, bool nested)
{
    std::vector<Row> rows;
    rows.reserve(nodes.size());
    if (!nested) {
        for (size_t i = 0; i < nodes.size(); ++i) rows.push_back({i, 0});
        return rows;
    }

    // Candidates by parent id, each list in list order.
    std::multimap<uint32_t, size_t> byParent;
    std::multimap<uint32_t, size_t> byPid;
    for (size_t i = 0; i < nodes.size(); ++i) {
        byParent.emplace(nodes[i].dwParentPid, i);
        byPid.emplace(nodes[i].dwPid, i);
    }
    auto hasParent = [&](size_t i) {
        const Node& node = nodes[i];
        if (node.dwPid == node.dwParentPid) return false;
        auto range = byPid.equal_range(node.dwParentPid);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second != i && nodes[it->second].dwSequence < node.dwSequence) return true;
        return false;
    };

    std::vector<bool> placed(nodes.size(), false);
    // Depth-first without recursion: a stack of (node, depth).
    std::vector<std::pair<size_t, size_t>> stack;
    for (size_t root = 0; root < nodes.size(); ++root) {
        if (placed[root] || hasParent(root)) continue;
        stack.emplace_back(root, 0);
        while (!stack.empty()) {
            const size_t index = stack.back().first;
            const size_t depth = stack.back().second;
            stack.pop_back();
            if (placed[index]) continue;
            placed[index] = true;
            rows.push_back({index, depth});
            const Node& parent = nodes[index];
            std::vector<size_t> children;
            auto range = byParent.equal_range(parent.dwPid);
            for (auto it = range.first; it != range.second; ++it) {
                const Node& child = nodes[it->second];
                if (child.dwPid != parent.dwPid && child.dwSequence > parent.dwSequence && !placed[it->second])
                    children.push_back(it->second);
            }
            // Pushed in reverse so that the first child comes out first.
            for (auto it = children.rbegin(); it != children.rend(); ++it) stack.emplace_back(*it, depth + 1);
        }
    }
    // Whatever no root reached (a cycle of equal sequences) still appears once.
    for (size_t i = 0; i < nodes.size(); ++i)
        if (!placed[i]) rows.push_back({i, 0});
    return rows;
}
