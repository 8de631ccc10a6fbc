#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct ClosureModule {
    std::string strShortName;
    std::string strFullPath;
    std::vector<std::string> missing;  // imported DLLs that could not be found
};

// The DLLs an executable needs statically: its imports, their imports, and so on.
class ImportClosure {
public:
    enum WalkState : uint32_t { Success = 0, CannotOpen = 1, NotPE = 2, OutOfMemory = 3 };

    ImportClosure();

    bool walk(const char* executablePath);
    const ClosureModule* find(const char* name, bool byFullPath) const;

    uint32_t State() const { return walkState; }
    uint32_t Count() const { return static_cast<uint32_t>(nodes.size()); }
    // Newest first.
    const std::deque<ClosureModule>& Nodes() const { return nodes; }

private:
    uint32_t visit(const std::string& path);

    std::deque<ClosureModule> nodes;
    uint32_t walkState;
};
