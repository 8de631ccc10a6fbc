#pragma once

#include "app/pluginhost/PluginRecordCheck.h"
#include "app/sdk/TarnwickPlugin.h"

#include <string>
#include <vector>

// One plug-in file and what became of it.
struct PluginLoadResult {
    std::string strPath;
    PluginVerdict verdict = PluginVerdict::NotLoaded;
    bool bRecordRead = false;  // version, kind and name below are valid
    uint32_t dwVersion = 0;
    uint8_t nKind = 0;
    std::string strName;
    // Accepted only: the record and the library that holds it.
    PluginInfo* pRecord = nullptr;
    HMODULE hModule = nullptr;
};

// Finds and loads plug-in libraries: loads each, calls "GetPluginInfo",
// judges the record and keeps the library only for an accepted one. Calls
// no entry point of the record.
class PluginLoader {
public:
    // Every file below the folder (subfolders included) whose name contains
    // ".dll", in the order found.
    static std::vector<std::string> FindFiles(const std::string& folder);
    // Judges one file against the names accepted so far.
    static PluginLoadResult LoadOne(const std::string& path, const std::vector<std::string>& acceptedNames);
    // All files of the folder; the accepted ones stay loaded (the caller frees them).
    static std::vector<PluginLoadResult> LoadFolder(const std::string& folder);
};
