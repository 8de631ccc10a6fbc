#include "ImportClosure.h"

#include "MappedImageFile.h"

#include <windows.h>
#include <new>

namespace {
std::string ShortName(const std::string& path)
{
    size_t slash = path.find_last_of('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 259) name.resize(259);
    return name;
}

// The system's DLL search, the current directory (the executable's folder during a walk) first.
bool SearchDll(const std::string& name, std::string& found)
{
    char buffer[260] = {};
    char* filePart = nullptr;
    char current[260] = {};
    DWORD length = 0;
    if (GetCurrentDirectoryA(sizeof(current), current))
        length = SearchPathA(current, name.c_str(), nullptr, sizeof(buffer), buffer, &filePart);
    if (length == 0 || length >= sizeof(buffer))
        length = SearchPathA(nullptr, name.c_str(), nullptr, sizeof(buffer), buffer, &filePart);
    if (length == 0 || length >= sizeof(buffer)) return false;
    found = buffer;
    return true;
}
} // namespace

ImportClosure::ImportClosure() : walkState(OutOfMemory) {}

bool ImportClosure::walk(const char* executablePath)
{
    walkState = OutOfMemory;
    nodes.clear();
    if (!executablePath) return false;

    std::string path(executablePath);
    char previous[261] = {};
    bool changed = false;
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && GetCurrentDirectoryA(260, previous)) {
        std::string folder = path.substr(0, slash + 1);
        changed = SetCurrentDirectoryA(folder.c_str()) != FALSE;
    }
    try {
        walkState = visit(path);
    } catch (const std::bad_alloc&) {
        walkState = OutOfMemory;
    }
    if (changed) SetCurrentDirectoryA(previous);
    return walkState == Success;
}

uint32_t ImportClosure::visit(const std::string& path)
{
    std::vector<std::string> dllNames;
    {
        MappedImageFile file;
        file.open(path.c_str());
        if (!file.IsPE()) return file.ImageState();
        dllNames = file.View().ImportedDllNames();
    }
    ClosureModule node;
    node.strShortName = ShortName(path);
    node.strFullPath = path.size() > 259 ? path.substr(0, 259) : path;
    nodes.push_front(node);
    // The node stays reachable through its position from the back.
    const size_t index = nodes.size() - 1;

    for (const std::string& name : dllNames) {
        if (find(name.c_str(), false)) continue;
        std::string found;
        if (SearchDll(name, found)) {
            // A path already walked under another name ends here as well.
            if (!find(found.c_str(), true)) visit(found);
        }
        else
            nodes[nodes.size() - 1 - index].missing.push_back(name);
    }
    return Success;
}

const ClosureModule* ImportClosure::find(const char* name, bool byFullPath) const
{
    if (!name) return nullptr;
    for (const ClosureModule& node : nodes) {
        const std::string& key = byFullPath ? node.strFullPath : node.strShortName;
        if (lstrcmpiA(key.c_str(), name) == 0) return &node;
    }
    return nullptr;
}
