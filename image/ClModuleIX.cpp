#include "ClModuleIX.h"

#include "../sysinfo/DebugOutput.h"
#include "../sysinfo/GuardedCall.h"
#include "MappedImageFile.h"

ClModuleIX::ClModuleIX() {}

void ClModuleIX::Load(const char* path)
{
    imports.clear();
    exports.clear();

    PeImageView::Undecorator undecorate;
    if (CanUndecorate()) {
        undecorate = [this](const std::string& name, size_t bufferSize) {
            std::vector<char> buffer(bufferSize + 1, '\0');
            DWORD length = UnDecorateSymbolName(name.c_str(), buffer.data(), static_cast<DWORD>(bufferSize), 0);
            if (length == 0) return std::string();
            return std::string(buffer.data());
        };
    }

    MappedImageFile file;
    const bool completed = GuardedCall::Invoke([&] {
        file.open(path);
        if (file.IsPE()) {
            imports = file.View().ReadImports(undecorate);
            exports = file.View().ReadExports(undecorate);
        }
    });
    if (!completed) DebugOutput::Write("ClModuleIX::Load failed\n");
    file.close();
}
