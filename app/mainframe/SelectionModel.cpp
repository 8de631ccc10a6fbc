#include "app/mainframe/SelectionModel.h"

#include "app/mainframe/FrameWindows.h"
#include "app/mainframe/RefreshCycle.h"
#include "sysinfo/ProcessSnapshot.h"
#include "views/ListSelection.h"
#include "views/ModuleView.h"
#include "views/ProcessView.h"

SelectionModel::SelectionModel(FrameWindows& windows, RefreshCycle& cycle, const ProcessSnapshot& snapshot)
    : windows(windows), cycle(cycle), snapshot(snapshot), hLastFocus(nullptr)
{
}

MenuEnabling::View SelectionModel::FocusedView() const
{
    HWND focus = GetFocus();
    const HWND tree = windows.Tree();
    const HWND list = windows.List();
    if (focus != tree && (!list || focus != list)) focus = hLastFocus;
    if (focus && (focus == tree || focus == list)) return KindOf(focus);
    return tree ? MenuEnabling::View::Tree : MenuEnabling::View::None;
}

HWND SelectionModel::ListWindow() const
{
    return windows.List();
}

MenuEnabling::View SelectionModel::KindOf(HWND view) const
{
    if (!view) return MenuEnabling::View::None;
    if (view == windows.Tree()) return MenuEnabling::View::Tree;
    if (view != windows.List()) return MenuEnabling::View::None;
    if (cycle.Content() == ListContent::Processes) return MenuEnabling::View::ProcessList;
    if (cycle.Content() == ListContent::Modules) return MenuEnabling::View::ModuleList;
    return MenuEnabling::View::None;
}

HWND SelectionModel::FocusedViewWindow() const
{
    switch (FocusedView()) {
    case MenuEnabling::View::Tree: return windows.Tree();
    case MenuEnabling::View::ProcessList:
    case MenuEnabling::View::ModuleList: return windows.List();
    default: return nullptr;
    }
}

std::vector<ProcessItem> SelectionModel::ListProcesses(bool allSelected) const
{
    std::vector<ProcessItem> found;
    if (cycle.Content() != ListContent::Processes) return found;
    const HWND list = windows.List();
    for (LPARAM row : allSelected ? ListSelection::All(list) : ListSelection::Marked(list))
        found.push_back(*ProcessView::FromParam(row));
    return found;
}

std::vector<ProcessItem> SelectionModel::SelectedProcesses(bool allSelected) const
{
    switch (FocusedView()) {
    case MenuEnabling::View::Tree: return ProcessesOf(windows.Tree(), allSelected);
    case MenuEnabling::View::ProcessList: return ListProcesses(allSelected);
    default: return std::vector<ProcessItem>();
    }
}

std::vector<ProcessItem> SelectionModel::ProcessesOf(HWND view, bool allSelected) const
{
    std::vector<ProcessItem> found;
    if (view && view == windows.Tree()) {
        if (const ProcessItem* process = cycle.TreeProcess(windows.SelectedTreeItem())) found.push_back(*process);
    } else if (view && view == windows.List()) {
        found = ListProcesses(allSelected);
    }
    return found;
}

bool SelectionModel::SelectedModule(ModuleItem& module) const
{
    if (cycle.Content() != ListContent::Modules) return false;
    const std::vector<LPARAM> rows = ListSelection::Marked(windows.List());
    if (rows.empty()) return false;
    module = *ModuleView::FromParam(rows.front());
    return true;
}

std::vector<ModuleItem> SelectionModel::SelectedModules() const
{
    std::vector<ModuleItem> found;
    if (cycle.Content() != ListContent::Modules) return found;
    for (LPARAM row : ListSelection::All(windows.List())) found.push_back(*ModuleView::FromParam(row));
    return found;
}

std::string SelectionModel::SearchTerm(HWND view) const
{
    if (view && view == windows.List() && cycle.Content() == ListContent::Modules) {
        ModuleItem module;
        return SelectedModule(module) ? module.strName : std::string();
    }
    const std::vector<ProcessItem> processes = ProcessesOf(view, false);
    return processes.empty() ? std::string() : processes.front().strName;
}

bool SelectionModel::IsRealProcess(const ProcessItem& process) const
{
    return !snapshot.IsIdleProcess(process.dwPid) && !snapshot.IsSystemProcess(process.dwPid);
}
