#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The parent/child arrangement of the process tree. A process hangs below
// another only when that one has its parent id and was enumerated earlier (a
// younger process that reuses a dead parent's id is no parent); the others
// are at the top level.
class TreeNesting {
public:
    struct Node {
        uint32_t dwPid;
        uint32_t dwParentPid;
        uint32_t dwSequence;
    };
    struct Row {
        size_t nIndex; // into the nodes given
        size_t nDepth; // 0: a child of "Processes"
    };

    // Every node once, parents before their children, in list order at each
    // level (depth first). `nested` false: all at depth 0 in list order.
    static std::vector<Row> Arrange(const std::vector<Node>& nodes, bool nested);
};
