#include "launchers/LauncherLists.h"

#include "launchers/LauncherMenus.h"
#include "launchers/MozillaSearchPluginImpDlg.h"
#include "launchers/SearchPlugins.h"

#include "sysinfo/DebugOutput.h"
#include "sysutils/Orvo_SystemUtilities.h"
#include "sysutils/StagedFiles.h"

std::string LauncherLists::PathBeside(const std::string& settingsPath)
{
    const size_t slash = settingsPath.find_last_of('\\');
    return (slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1)) + "Tarnwick.lists";
}

std::string LauncherLists::StoredEnginePath(const std::string& path, const std::string& pluginFolder)
{
    const std::string lowerPath = MozillaSearchPluginImpDlg::LowerCase(path);
    const std::string lowerFolder = MozillaSearchPluginImpDlg::LowerCase(pluginFolder);
    if (!lowerFolder.empty() && lowerPath.size() > lowerFolder.size()
        && lowerPath.compare(0, lowerFolder.size(), lowerFolder) == 0
        && path.find_first_of("\\/", lowerFolder.size()) == std::string::npos)
        return path.substr(lowerFolder.size());
    return path;
}

std::string LauncherLists::EnginePathFromStore(const std::string& stored, const std::string& pluginFolder)
{
    if (stored.find_first_of("\\/:") == std::string::npos) return pluginFolder + stored;
    return stored;
}

bool LauncherLists::Load(const std::string& listsPath, const std::string& pluginFolder, HINSTANCE program)
{
    applications.clear();
    engines.clear();
    std::string text;
    if (!SearchPlugins::ReadSmallFile(listsPath, 4 * 1024 * 1024, text)) {
        engines = SearchPlugins::LoadSearchPluginFolder(pluginFolder);
        return false;
    }
    const ListsFileFormat::Contents contents = ListsFileFormat::Parse(text);
    for (const ApplicationEntry& entry : contents.applications) {
        if (applications.size() >= LauncherMenus::kLastApplicationId) break;
        applications.emplace_back();
        applications.back().SetTexts(entry.strDescription, entry.strApplication, entry.strStartPath,
                                     entry.strArguments);
        applications.back().LoadIcon(program);
    }
    for (const std::string& stored : contents.engines) {
        SearchEngine engine;
        if (SearchPlugins::LoadSearchPlugin(EnginePathFromStore(stored, pluginFolder), engine))
            engines.push_back(engine);
    }
    return true;
}

bool LauncherLists::Save(const std::string& listsPath, const std::string& pluginFolder) const
{
    ListsFileFormat::Contents contents;
    for (const UserApplication& app : applications) contents.applications.push_back(app.Entry());
    for (const SearchEngine& engine : engines)
        if (!engine.strSourceFile.empty())
            contents.engines.push_back(StoredEnginePath(engine.strSourceFile, pluginFolder));
    const std::string text = ListsFileFormat::Write(contents);
    StagedFiles files;
    const std::string temporary = files.Stage(listsPath);
    bool saved = false;
    if (!temporary.empty()) {
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            const BOOL flushed = FlushFileBuffers(file);
            saved = CloseHandle(file) && wrote && flushed && written == text.size() && files.Commit();
        }
    }
    if (!saved) DebugOutput::Format(400, "Unable to save \"%s\"!\n", listsPath.c_str());
    return saved;
}

const SearchEngine* LauncherLists::EngineForCommand(UINT id) const
{
    if (id < LauncherMenus::kFirstEngineId || id > LauncherMenus::kLastEngineId) return nullptr;
    const size_t index = id - LauncherMenus::kFirstEngineId;
    return index < engines.size() ? &engines[index] : nullptr;
}

std::set<std::string> LauncherLists::ActiveSourcePaths() const
{
    std::set<std::string> paths;
    for (const SearchEngine& engine : engines)
        if (!engine.strSourceFile.empty()) paths.insert(MozillaSearchPluginImpDlg::LowerCase(engine.strSourceFile));
    return paths;
}

size_t LauncherLists::AddEngines(const std::vector<SearchEngine>& found)
{
    std::set<std::string> active = ActiveSourcePaths();
    size_t added = 0;
    for (const SearchEngine& engine : found) {
        const std::string key = MozillaSearchPluginImpDlg::LowerCase(engine.strSourceFile);
        if (active.count(key)) continue;
        active.insert(key);
        engines.push_back(engine);
        ++added;
    }
    return added;
}
