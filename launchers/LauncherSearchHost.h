#pragma once

#include "launchers/LauncherLists.h"
#include "launchers/LauncherMenus.h"
#include "launchers/SearchMenuHost.h"

#include <windows.h>
#include <string>

// The internet search as the information windows use it: the active engines
// as a plain pop-up (their windows draw no menu items of ours), the search
// with the engine of a command or the built-in one.
class LauncherSearchHost : public SearchMenuHost {
public:
    explicit LauncherSearchHost(const LauncherLists& lists);

    // The window that owns the shell's dialogs.
    void SetOwner(HWND owner) { hOwner = owner; }

    HMENU CreateEngineMenu() override;
    void Search(UINT commandId, const std::string& term) override;

private:
    const LauncherLists& lists;
    LauncherMenus menus;
    HWND hOwner;
};
