#include "image/ImportClosure.h"

#include "image/MappedImageFile.h"
#include "sysinfo/GuardedCall.h"

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

// The key under which a name is compared: without regard to case, as lstrcmpi does.
std::string Key(const std::string& text)
{
    std::string key = text;
    if (!key.empty()) CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

// The DLL search, the current directory (the executable's folder during a
// walk) first; then `folders`, or the system's search path when it is empty.
bool SearchDll(const std::string& name, const std::string& folders, std::string& found)
{
    char buffer[260] = {};
    char* filePart = nullptr;
    char current[260] = {};
    DWORD length = 0;
    if (GetCurrentDirectoryA(sizeof(current), current))
        length = SearchPathA(current, name.c_str(), nullptr, sizeof(buffer), buffer, &filePart);
    if (length == 0 || length >= sizeof(buffer))
        length = SearchPathA(folders.empty() ? nullptr : folders.c_str(), name.c_str(), nullptr, sizeof(buffer), buffer,
                             &filePart);
    if (length == 0 || length >= sizeof(buffer)) return false;
    found = buffer;
    return true;
}

// The DLL names an image imports; empty when reading faults (a file cut
// short while it is mapped). Running out of memory ends the walk.
std::vector<std::string> DllNames(const PeImageView& image)
{
    std::vector<std::string> names;
    uint32_t fault = 0;
    if (!GuardedCall::Invoke([&] { names = image.ImportedDllNames(); }, &fault)) {
        if (fault == GuardedCall::kCppExceptionCode) throw std::bad_alloc();
        names.clear();
    }
    return names;
}
} // namespace

ImportClosure::ImportClosure() : walkState(OutOfMemory) {}

bool ImportClosure::walk(const char* executablePath)
{
    return Walk(executablePath, nullptr);
}

bool ImportClosure::walk(const char* executablePath, const PeImageView& executable)
{
    return Walk(executablePath, &executable);
}

bool ImportClosure::Walk(const char* executablePath, const PeImageView* executable)
{
    walkState = OutOfMemory;
    nodes.clear();
    shortNames.clear();
    fullPaths.clear();
    missingNames.clear();
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
        walkState = visit(path, executable);
    } catch (const std::bad_alloc&) {
        walkState = OutOfMemory;
    }
    if (changed) SetCurrentDirectoryA(previous);
    shortNames.clear();
    fullPaths.clear();
    missingNames.clear();
    return walkState == Success;
}

uint32_t ImportClosure::visit(const std::string& path, const PeImageView* image)
{
    std::vector<std::string> dllNames;
    if (image) {
        if (!image->IsPE()) return image->ImageState();
        dllNames = DllNames(*image);
    } else {
        MappedImageFile file;
        file.open(path.c_str());
        if (!file.IsPE()) return file.ImageState();
        dllNames = DllNames(file.View());
    }
    ClosureModule node;
    node.strShortName = ShortName(path);
    node.strFullPath = path.size() > 259 ? path.substr(0, 259) : path;
    shortNames.insert(Key(node.strShortName));
    fullPaths.insert(Key(node.strFullPath));
    nodes.push_front(node);
    // The node stays reachable through its position from the back.
    const size_t index = nodes.size() - 1;

    // A file may name one DLL any number of times: each name is searched
    // once per walk and listed once per node.
    std::set<std::string> listed;
    for (const std::string& name : dllNames) {
        const std::string key = Key(name);
        if (shortNames.count(key)) continue;
        std::string found;
        if (!missingNames.count(key) && SearchDll(name, strSearchPath, found)) {
            // A path already walked under another name ends here as well.
            if (!fullPaths.count(Key(found))) visit(found, nullptr);
            continue;
        }
        missingNames.insert(key);
        if (listed.insert(key).second) nodes[nodes.size() - 1 - index].missing.push_back(name);
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
