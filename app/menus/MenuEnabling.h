#pragma once

#include <map>

// Which process and module commands a menu offers, from what the focused
// view holds. Pure rules: the main window applies them on WM_INITMENUPOPUP.
class MenuEnabling {
public:
    enum class View { None, Tree, ProcessList, ModuleList };

    struct State {
        View view = View::None;
        // Processes selected: tree 0 or 1 (a fixed item counts as none), list the selected rows.
        int nSelectedProcesses = 0;
        // The single selected process is neither the idle nor the system process.
        bool bRealProcess = false;
        // The single selected process has a top-level window.
        bool bHasTopLevelWindow = false;
        // A just-in-time debugger is registered.
        bool bDebuggerRegistered = false;
        // Module list: a module is selected.
        bool bModuleSelected = false;
    };

    // Command id -> enabled, for Kill, Report, Debug, Switch to, Modules,
    // Advanced, Standard, Explore From Here and Open Command Window Here.
    static std::map<unsigned, bool> Compute(const State& state);
};
