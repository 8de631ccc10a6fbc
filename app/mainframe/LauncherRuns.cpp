#include "app/mainframe/LauncherRuns.h"

#include "app/mainframe/FrameHost.h"
#include "app/mainframe/SelectionModel.h"
#include "app/settings/UserSettings.h"
#include "app/startup/ClDebugString.h"
#include "app/startup/TarnwickApp.h"
#include "launchers/ApplicationLauncher.h"
#include "launchers/QueryUrl.h"
#include "launchers/SearchPlugins.h"

LauncherRuns::LauncherRuns(FrameHost& host, SelectionModel& selection) : host(host), selection(selection) {}

void LauncherRuns::Load(const std::string& settingsPath)
{
    host.Debug().print("Loading search-plugins...\n");
    strListsPath = LauncherLists::PathBeside(settingsPath);
    lists.Load(strListsPath, SearchPlugins::DefaultFolder(), host.App().GetInstance());
}

void LauncherRuns::Save() const
{
    lists.Save(strListsPath, SearchPlugins::DefaultFolder());
}

void LauncherRuns::InstallBuiltInEngine(bool ownerDrawMenus)
{
    menus.SetOwnerDraw(ownerDrawMenus);
    searchHost.SetOwner(host.Window());
    SearchPlugins::LoadBuiltinEngine(host.App().GetInstance(), QueryUrl::LanguagePrefix(host.App().wLanguageId),
                                     lists.builtin);
}

void LauncherRuns::RunSearch(const SearchEngine& engine, HWND view)
{
    const std::string term = selection.SearchTerm(view);
    if (term.empty()) return;
    host.Debug().print("Searching \"%s\" with %s\n", term.c_str(), engine.strName.c_str());
    SearchPlugins::SearchTheInternet(engine, term, host.Window());
}

void LauncherRuns::SearchInternet()
{
    RunSearch(lists.builtin, selection.FocusedViewWindow());
}

void LauncherRuns::SearchWith(UINT id, HWND view)
{
    if (const SearchEngine* engine = lists.EngineForCommand(id)) RunSearch(*engine, view);
}

void LauncherRuns::RunApplication(UINT id)
{
    ModuleItem module;
    if (bApplicationRunning || !selection.SelectedModule(module)) return;
    // The Console window is modal: the lists, the views and closing wait for it.
    BusyScope hold(host);
    bApplicationRunning = true;
    ApplicationLauncher::LaunchApplication(lists.applications, id, module.strLocation, host.Window(),
                                           host.Settings().bEnableTooltips != 0);
    bApplicationRunning = false;
}

void LauncherRuns::InsertOpenWith(HMENU menu)
{
    menus.InsertOpenWith(menu, lists.applications);
}

void LauncherRuns::InsertSearchEngines(HMENU menu)
{
    menus.InsertSearchEngines(menu, lists.engines);
}
