#include "app/mainframe/PluginRuns.h"

#include "app/language/HelpFile.h"
#include "app/mainframe/FrameHost.h"
#include "app/mainframe/LanguageSwitch.h"
#include "app/mainframe/SelectionModel.h"
#include "app/menus/StringTable.h"
#include "app/startup/TarnwickApp.h"
#include "sysinfo/DebugOutput.h"

PluginRuns::PluginRuns(FrameHost& host, PluginHost& plugins, SelectionModel& selection, LanguageSwitch& language)
    : host(host), plugins(plugins), selection(selection), language(language)
{
}

void PluginRuns::Load()
{
    const std::string folder = HelpFile::ProgramFolder();
    if (!folder.empty()) plugins.LoadPlugins(folder + "Plugins", &host.Debug());
}

void PluginRuns::Initialize()
{
    plugins.InitializePlugins(host.Window(), host.App().wLanguageId);
}

void PluginRuns::Finalize()
{
    plugins.FinalizePlugins();
}

void PluginRuns::InsertSubmenu(HMENU menu, int position, MenuEnabling::View view)
{
    HMENU submenu = plugins.BuildPluginMenu(view == MenuEnabling::View::ModuleList);
    if (!submenu) return;
    const std::string text = StringTable::Load(64);
    if (!InsertMenuA(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                     text.c_str())) {
        DestroyMenu(submenu);
        return;
    }
    InsertMenuA(menu, static_cast<UINT>(position + 1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

PluginRequest::Item PluginRuns::RequestItem(const ProcessItem& process, bool real)
{
    PluginRequest::Item item;
    item.dwProcessId = process.dwPid;
    item.strPath = process.bPathKnown ? process.strPath : std::string("...");
    item.bIdleOrSystem = !real;
    return item;
}

bool PluginRuns::Targets(HWND view, PluginRequest::Source& source, std::vector<PluginRequest::Item>& items)
{
    const MenuEnabling::View kind = selection.KindOf(view);
    if (kind == MenuEnabling::View::ModuleList) {
        source = PluginRequest::ModuleList;
        for (const ModuleItem& module : selection.SelectedModules()) {
            PluginRequest::Item item;
            item.strPath = module.strLocation;
            items.push_back(item);
        }
        return true;
    }
    const std::vector<ProcessItem> processes = selection.ProcessesOf(view, true);
    if (kind == MenuEnabling::View::Tree) source = PluginRequest::ProcessTree;
    else if (kind == MenuEnabling::View::ProcessList) source = PluginRequest::ProcessList;
    else return false;
    for (const ProcessItem& process : processes) {
        if (!host.ConfirmRunning(process, true)) return false;
        items.push_back(RequestItem(process, selection.IsRealProcess(process)));
    }
    return true;
}

void PluginRuns::Run(UINT id, HWND view)
{
    PluginRequest::Source source;
    std::vector<PluginRequest::Item> items;
    if (!Targets(view, source, items)) return;
    const int index = plugins.IndexForCommand(static_cast<int>(id), source == PluginRequest::ModuleList);
    if (index < 0) return;
    PluginRequest request;
    if (!request.Build(source, plugins.KindOf(static_cast<size_t>(index)), items)) return;

    PluginHost::Outcome outcome;
    {
        // Refreshes, closing and a language change wait for the plug-in's return.
        BusyScope hold(host);
        outcome = plugins.ExecutePlugin(static_cast<size_t>(index), request, host.Window());
    }
    if (outcome == PluginHost::Outcome::Refused)
        DebugOutput::Write("Plugin call refused: another plugin call is still running\n");
    if (outcome == PluginHost::Outcome::Refresh && host.Window()) host.Refresh(source == PluginRequest::ProcessTree);
    language.ApplyPending();
}
