#include "launchers/LauncherSearchHost.h"

#include "launchers/SearchPlugins.h"

LauncherSearchHost::LauncherSearchHost(const LauncherLists& lists) : lists(lists), hOwner(nullptr)
{
    menus.SetOwnerDraw(false);
}

HMENU LauncherSearchHost::CreateEngineMenu()
{
    return menus.BuildEngineMenu(lists.engines);
}

void LauncherSearchHost::Search(UINT commandId, const std::string& term)
{
    const SearchEngine* engine =
        commandId == LauncherMenus::kSearchCommand ? &lists.builtin : lists.EngineForCommand(commandId);
    if (engine) SearchPlugins::SearchTheInternet(*engine, term, hOwner);
}
