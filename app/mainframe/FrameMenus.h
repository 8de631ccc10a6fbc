#pragma once

#include "app/menus/MenuEnabling.h"
#include "app/menus/OwnerDrawMenu.h"

#include <windows.h>
#include <commctrl.h>

class FrameHost;
class FrameWindows;
class LauncherRuns;
class PluginRuns;
class RefreshCycle;
class SelectionModel;

// The main window's menus: enabling and checks when a pop-up opens, the hint
// of the highlighted item in the status bar, the context menus of the views
// with their plug-in, "Open with" and search pop-ups, the Options drop-down,
// and the owner-drawn items.
class FrameMenus {
public:
    FrameMenus(FrameHost& host, FrameWindows& windows, RefreshCycle& cycle, SelectionModel& selection,
               PluginRuns& plugins, LauncherRuns& launchers);

    // Pictures of the owner-drawn items; "--disable-odm" turns them off.
    void Setup(bool ownerDraw);
    bool OwnerDraw() const { return bOwnerDraw; }

    void OnInitMenuPopup(HMENU menu);
    void OnMenuSelect(UINT id, UINT flags, HMENU menu);
    void OnContextMenu(HWND window, int x, int y);
    // The Options button's drop-down: the chosen page command, 0 for none.
    UINT OptionsDropDown(const NMTOOLBARA& button);

    // Owner-drawn menu items; false when the item is not a menu item of ours.
    bool DrawItem(const DRAWITEMSTRUCT& item);
    bool MeasureItem(MEASUREITEMSTRUCT& item);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    // The menu fonts from the system's metrics anew (WM_SETTINGCHANGE).
    void RecreateFonts();

private:
    // The selection as the enabling rules see it; the costly facts (top-level
    // windows, the registered debugger) only when the menu has their items.
    MenuEnabling::State State(HMENU menu) const;
    static bool HasCommand(HMENU menu, UINT command);
    static void SetDefaultCommand(HMENU menu, UINT command);
    UINT ContextMenuFor(HWND& window, int x, int y) const;
    void Track(HMENU popup, HWND view, int x, int y);
    void RunFromMenu(UINT id, HWND view);

    FrameHost& host;
    FrameWindows& windows;
    RefreshCycle& cycle;
    SelectionModel& selection;
    PluginRuns& plugins;
    LauncherRuns& launchers;
    OwnerDrawMenu ownerDrawMenu;
    bool bOwnerDraw;
};
