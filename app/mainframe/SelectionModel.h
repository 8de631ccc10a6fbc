#pragma once

#include "app/menus/MenuEnabling.h"
#include "views/ModuleItem.h"
#include "views/ProcessItem.h"

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

class FrameWindows;
class ProcessSnapshot;
class RefreshCycle;

// What is selected where: the view with the focus, the tree's process, the
// list's selected processes or modules. Lookups hand out copies, which stay
// valid through modal loops and refreshes.
class SelectionModel {
public:
    SelectionModel(FrameWindows& windows, RefreshCycle& cycle, const ProcessSnapshot& snapshot);

    // NM_SETFOCUS of a view: it is the last focused one.
    void NoteFocus(HWND view) { hLastFocus = view; }
    HWND LastFocus() const { return hLastFocus; }
    void Forget() { hLastFocus = nullptr; }

    // The view with the keyboard focus (the last one focused when neither has it).
    MenuEnabling::View FocusedView() const;
    HWND FocusedViewWindow() const;
    HWND ListWindow() const;
    // What a view window shows: the tree, the process or module list, or none.
    MenuEnabling::View KindOf(HWND view) const;

    // The tree's selected process, or in the process list all selected rows
    // (allSelected: Kill and Report) or the row with the selection mark.
    // Empty for a fixed tree item and for the module list.
    std::vector<ProcessItem> SelectedProcesses(bool allSelected) const;
    // The same from one view (the tree or the list), whichever has the focus.
    std::vector<ProcessItem> ProcessesOf(HWND view, bool allSelected) const;
    // The module with the selection mark in the module list.
    bool SelectedModule(ModuleItem& module) const;
    // Every selected module of the module list.
    std::vector<ModuleItem> SelectedModules() const;
    // The name of the selected process or module of a view ("" for none).
    std::string SearchTerm(HWND view) const;
    // Neither the idle nor the system process.
    bool IsRealProcess(const ProcessItem& process) const;

private:
    std::vector<ProcessItem> ListProcesses(bool allSelected) const;

    FrameWindows& windows;
    RefreshCycle& cycle;
    const ProcessSnapshot& snapshot;
    HWND hLastFocus;
};
