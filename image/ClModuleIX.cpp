#include "image/ClModuleIX.h"

#include "image/MappedImageFile.h"
#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"
#include "sysinfo/IMAGEHELPWrapper.h"

#include <windows.h>
#include <map>
#include <utility>

namespace {
// Undecorated names already asked for: the same C++ names recur across the
// runtime libraries of a system. Bounded; shared by every thread.
class UndecoratedNames {
public:
    UndecoratedNames() { InitializeCriticalSection(&lock); }
    ~UndecoratedNames() { DeleteCriticalSection(&lock); }

    std::string Get(const std::string& name, size_t bufferSize)
    {
        const std::pair<std::string, size_t> key(name, bufferSize);
        EnterCriticalSection(&lock);
        auto found = names.find(key);
        if (found != names.end()) {
            std::string plain = found->second;
            LeaveCriticalSection(&lock);
            return plain;
        }
        std::vector<char> buffer(bufferSize + 1, '\0');
        DWORD length = IMAGEHELPWrapper::Shared().UnDecorateSymbolName(name.c_str(), buffer.data(),
                                                                       static_cast<DWORD>(bufferSize), 0);
        std::string plain = length ? std::string(buffer.data()) : std::string();
        if (names.size() >= kMaxNames) names.clear();
        names.emplace(key, plain);
        LeaveCriticalSection(&lock);
        return plain;
    }

private:
    static const size_t kMaxNames = 16384;
    CRITICAL_SECTION lock;
    std::map<std::pair<std::string, size_t>, std::string> names;
};

// Only C++ names (they begin with "?") have anything to undecorate; every
// other name would come back as it went in.
std::string Undecorate(const std::string& name, size_t bufferSize)
{
    if (name.empty() || name[0] != '?') return std::string();
    static UndecoratedNames cache;
    return cache.Get(name, bufferSize);
}
} // namespace

ClModuleIX::ClModuleIX() : failed(false), importsTruncated(false), exportsTruncated(false) {}

bool ClModuleIX::CanUndecorate() const
{
    return IMAGEHELPWrapper::Shared().CanUndecorate();
}

void ClModuleIX::Load(const PeImageView& image)
{
    imports.clear();
    exports.clear();
    failed = importsTruncated = exportsTruncated = false;

    PeImageView::Undecorator undecorate;
    if (CanUndecorate()) undecorate = Undecorate;

    const bool completed = GuardedCall::Invoke([&] {
        if (image.IsPE()) {
            imports = image.ReadImports(undecorate, &importsTruncated);
            exports = image.ReadExports(undecorate, &exportsTruncated);
        }
    });
    if (!completed) {
        failed = true;
        DebugOutput::Write("ClModuleIX::Load failed\n");
    }
    if (importsTruncated || exportsTruncated) DebugOutput::Write("ClModuleIX::Load cut a table short\n");
}

void ClModuleIX::Load(const char* path)
{
    MappedImageFile file;
    bool opened = GuardedCall::Invoke([&] { file.open(path); });
    if (!opened) {
        imports.clear();
        exports.clear();
        failed = true;
        DebugOutput::Write("ClModuleIX::Load failed\n");
        return;
    }
    Load(file.View());
}
