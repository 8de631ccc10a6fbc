#pragma once

#include "app/menus/MenuEnabling.h"
#include "app/pluginhost/PluginHost.h"
#include "app/pluginhost/PluginRequest.h"

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

private:
    // What a plug-in gets from a view: its source and the selected processes or modules.
    bool Targets(HWND view, PluginRequest::Source& source, std::vector<PluginRequest::Item>& items) const;

    FrameHost& host;
    PluginHost& plugins;
    SelectionModel& selection;
    LanguageSwitch& language;
};
