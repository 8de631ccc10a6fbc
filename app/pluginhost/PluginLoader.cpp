#include "app/pluginhost/PluginLoader.h"

#include "app/pluginhost/PluginCall.h"
#include "sysinfo/GuardedCall.h"
#include "sysutils/Orvo_SystemUtilities.h"

namespace {

void WINAPI CollectPath(const char* path, LPARAM userValue)
{
    reinterpret_cast<std::vector<std::string>*>(userValue)->push_back(path ? path : "");
}

// LoadLibrary without the system's error boxes, under the guard (a faulting
// DllMain on the 9x family would otherwise end the program).
HMODULE LoadQuietly(const std::string& path)
{
    HMODULE module = nullptr;
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    GuardedCall::Invoke([&] { module = LoadLibraryA(path.c_str()); });
    SetErrorMode(previous);
    return module;
}

void FreeQuietly(HMODULE module)
{
    GuardedCall::Invoke([&] { FreeLibrary(module); });
}

} // namespace

std::vector<std::string> PluginLoader::FindFiles(const std::string& folder)
{
    std::vector<std::string> paths;
    if (folder.empty() || folder.size() > MAX_PATH - 1) return paths;
    FindFilesRecursive(folder.c_str(), "*.dll", &CollectPath, reinterpret_cast<LPARAM>(&paths));
    return paths;
}

PluginLoadResult PluginLoader::LoadOne(const std::string& path, const std::vector<std::string>& acceptedNames)
{
    PluginLoadResult result;
    result.strPath = path;
    // A path that does not fit a 260-byte buffer counts as missing.
    if (path.empty() || path.size() > MAX_PATH - 1) return result;

    HMODULE module = LoadQuietly(path);
    if (!module) return result;

    const void* getInfo = reinterpret_cast<const void*>(GetProcAddress(module, "GetPluginInfo"));
    if (!getInfo) {
        result.verdict = PluginVerdict::NoExport;
        FreeQuietly(module);
        return result;
    }

    PluginInfo* record = nullptr;
    PluginInfo copy;
    if (!PluginCall::GetInfo(getInfo, &record)) {
        result.verdict = PluginVerdict::Fault;
    } else if (!record) {
        result.verdict = PluginVerdict::NullRecord;
    } else if (!PluginCall::ReadRecord(record, copy)) {
        result.verdict = PluginVerdict::Fault;
    } else {
        PluginRecordFields fields;
        PluginRecordCheck::Decode(&copy, sizeof(copy), fields, sizeof(void*));
        fields.strName = PluginCall::Text(copy.pszName);
        result.bRecordRead = true;
        result.dwVersion = fields.dwVersion;
        result.nKind = fields.nKind;
        result.strName = fields.strName;
        result.verdict = PluginRecordCheck::Judge(fields, acceptedNames, TW_PLUGIN_RECORD_SIZE);
        // The host writes into the record: a read-only one is refused here.
        if (result.verdict == PluginVerdict::Accepted && !PluginCall::WriteModule(record, module))
            result.verdict = PluginVerdict::Fault;
    }

    if (result.verdict != PluginVerdict::Accepted) {
        FreeQuietly(module);
        return result;
    }
    result.pRecord = record;
    result.hModule = module;
    return result;
}

std::vector<PluginLoadResult> PluginLoader::LoadFolder(const std::string& folder)
{
    std::vector<PluginLoadResult> results;
    std::vector<std::string> accepted;
    for (const std::string& path : FindFiles(folder)) {
        results.push_back(LoadOne(path, accepted));
        if (results.back().verdict == PluginVerdict::Accepted) accepted.push_back(results.back().strName);
    }
    return results;
}
