#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

class PeImageView;

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
    // Folders (';'-separated) searched for imported DLLs after the
    // executable's own; empty: the system's search path.
    void SetSearchPath(const std::string& folders) { strSearchPath = folders; }
    // The same walk, reading the executable from an image the caller has
    // already mapped from that path.
    bool walk(const char* executablePath, const PeImageView& executable);
    const ClosureModule* find(const char* name, bool byFullPath) const;

    uint32_t State() const { return walkState; }
    uint32_t Count() const { return static_cast<uint32_t>(nodes.size()); }
    // Newest first.
    const std::deque<ClosureModule>& Nodes() const { return nodes; }

private:
    bool Walk(const char* executablePath, const PeImageView* executable);
    uint32_t visit(const std::string& path, const PeImageView* image);

    std::deque<ClosureModule> nodes;
    uint32_t walkState;
    std::string strSearchPath;
    // Names and paths already walked during this walk, and names the search
    // did not find, upper-cased: each is looked up once per walk.
    std::set<std::string> shortNames;
    std::set<std::string> fullPaths;
    std::set<std::string> missingNames;
};
