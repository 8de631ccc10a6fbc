#include "app/menus/MenuEnabling.h"
#include "app/res/resource.h"

namespace {
const unsigned kCommands[] = {ID_FILE_KILL,         ID_FILE_REPORT,         ID_FILE_DEBUG,
                              ID_FILE_SWITCHTO,     ID_PROCESS_MODULES,     ID_PROPERTIES_ADVANCED,
                              ID_PROPERTIES_STANDARD, ID_EXPLORE_FROM_HERE, ID_OPEN_COMMAND_WINDOW};
} // namespace

std::map<unsigned, bool> MenuEnabling::Compute(const State& state)
{
    std::map<unsigned, bool> enabled;
    for (unsigned id : kCommands) enabled[id] = false;

    if (state.view == View::ModuleList) {
        enabled[ID_EXPLORE_FROM_HERE] = state.bModuleSelected;
        enabled[ID_OPEN_COMMAND_WINDOW] = state.bModuleSelected;
        enabled[ID_PROPERTIES_STANDARD] = state.bModuleSelected;
        enabled[ID_PROPERTIES_ADVANCED] = true;
        return enabled;
    }
    if (state.view != View::Tree && state.view != View::ProcessList) return enabled;

    if (state.view == View::ProcessList && state.nSelectedProcesses > 1) {
        enabled[ID_FILE_KILL] = true;
        enabled[ID_FILE_REPORT] = true;
        // These act on the row with the selection mark.
        enabled[ID_EXPLORE_FROM_HERE] = true;
        enabled[ID_OPEN_COMMAND_WINDOW] = true;
        return enabled;
    }
    if (state.nSelectedProcesses == 1 && state.bRealProcess) {
        for (unsigned id : kCommands) enabled[id] = true;
        enabled[ID_FILE_SWITCHTO] = state.bHasTopLevelWindow;
        enabled[ID_FILE_DEBUG] = state.bDebuggerRegistered;
    }
    return enabled;
}
