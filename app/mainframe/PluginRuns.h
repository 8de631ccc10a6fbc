#pragma once

#include "app/menus/MenuEnabling.h"
#include "app/pluginhost/PluginHost.h"
#include "app/pluginhost/PluginRequest.h"
#include "views/ProcessItem.h"

#include <windows.h>
#include <vector>

class FrameHost;
class LanguageSwitch;
class SelectionModel;

// The main window's plug-ins: loaded from "Plugins" beside the program,
// offered in the context menus, run on a view's selection with the busy
// count held, and the refresh a plug-in asks for.
class PluginRuns {
public:
    PluginRuns(FrameHost& host, PluginHost& plugins, SelectionModel& selection, LanguageSwitch& language);

    void Load();
    void Initialize();
    void Finalize();
    // "Plugins" submenu (string 64) at `position`, followed by a separator,
    // when plug-ins apply to the view.
    void InsertSubmenu(HMENU menu, int position, MenuEnabling::View view);
    // A plug-in command (1003 to 2001) on a view's selection.
    void Run(UINT id, HWND view);
    // A process as a plug-in request sees it: an unknown path is the internal
    // marker, which file requests leave out.
    static PluginRequest::Item RequestItem(const ProcessItem& process, bool real);

private:
    // What a plug-in gets from a view: its source and the selected processes
    // or modules; false (after saying so) when a selected process has gone.
    bool Targets(HWND view, PluginRequest::Source& source, std::vector<PluginRequest::Item>& items);


    FrameHost& host;
    PluginHost& plugins;
    SelectionModel& selection;
    LanguageSwitch& language;
};
