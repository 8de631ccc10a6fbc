#pragma once

#include "launchers/LauncherLists.h"
#include "launchers/LauncherMenus.h"
#include "launchers/LauncherSearchHost.h"

#include <windows.h>
#include <string>

class FrameHost;
class SelectionModel;

// The user-defined applications and the search engines of the main window:
// their lists (kept in "Tarnwick.lists" beside the settings file), their
// context-menu pop-ups, and running them on the selection.
class LauncherRuns {
public:
    LauncherRuns(FrameHost& host, SelectionModel& selection);

    void Load(const std::string& settingsPath);
    void Save() const;
    // The built-in engine in the interface language; the information windows
    // search through the same engines.
    void InstallBuiltInEngine(bool ownerDrawMenus);

    // Search The Internet (40094) with the built-in engine on the focused view.
    void SearchInternet();
    // A search-engine menu item (2004 to 4002) on a view.
    void SearchWith(UINT id, HWND view);
    // A user application (1 to 1000) on the selected module; the Console
    // window is modal and holds the busy count.
    void RunApplication(UINT id);

    // "Open with" at the top of a module context menu; the engines' pop-up for 40094.
    void InsertOpenWith(HMENU menu);
    void InsertSearchEngines(HMENU menu);

    LauncherLists& Lists() { return lists; }
    LauncherMenus& Menus() { return menus; }
    LauncherSearchHost& SearchHost() { return searchHost; }

private:
    void RunSearch(const SearchEngine& engine, HWND view);

    FrameHost& host;
    SelectionModel& selection;
    std::string strListsPath;
    LauncherLists lists;
    LauncherMenus menus;
    LauncherSearchHost searchHost{lists};
    // A Console window is open (its modal loop can still deliver a posted command).
    bool bApplicationRunning = false;
};
