#pragma once

#include "launchers/ListsFileFormat.h"
#include "launchers/SearchEngine.h"
#include "launchers/UserApplication.h"

#include <windows.h>
#include <set>
#include <string>
#include <vector>

// The user-defined applications, the active search engines and the built-in
// engine, as the main window keeps them for the run of the program, with
// the lists file "Tarnwick.lists" beside the settings file.
class LauncherLists {
public:
    // "Tarnwick.lists" in the folder of the settings file: the program and
    // the console tool find the lists by the same rule.
    static std::string PathBeside(const std::string& settingsPath);

    // Reads the lists file. Without one: no applications and every plugin of
    // the folder. Engines whose file is gone or invalid are left out.
    // Returns true when the file was read.
    bool Load(const std::string& listsPath, const std::string& pluginFolder, HINSTANCE program);
    // Writes both lists; the old file stays until the new one is complete.
    bool Save(const std::string& listsPath, const std::string& pluginFolder) const;

    // The engine of a menu command (2004 ...), null when there is none.
    const SearchEngine* EngineForCommand(UINT id) const;
    // Lower-cased source paths of the active engines: the import dialog's checks.
    std::set<std::string> ActiveSourcePaths() const;
    // Appends the engines whose source file is not active yet; returns how many.
    size_t AddEngines(const std::vector<SearchEngine>& found);

    // List operations of the option pages.
    template <typename T>
    static bool Move(std::vector<T>& list, size_t from, size_t to)
    {
        if (from >= list.size() || to >= list.size()) return false;
        T entry = list[from];
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(from));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(to), entry);
        return true;
    }
    template <typename T>
    static bool Remove(std::vector<T>& list, size_t index)
    {
        if (index >= list.size()) return false;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    }

    // An engine path as the file keeps it: the name alone inside the plugin
    // folder (so that the program folder can move), else the full path.
    static std::string StoredEnginePath(const std::string& path, const std::string& pluginFolder);
    static std::string EnginePathFromStore(const std::string& stored, const std::string& pluginFolder);

    std::vector<UserApplication> applications;
    std::vector<SearchEngine> engines;
    SearchEngine builtin;
};
