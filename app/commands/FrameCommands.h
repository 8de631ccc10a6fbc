#pragma once

#include "app/commands/ProcessCommands.h"
#include "sysinfo/ProcessRecord.h"
#include "views/ProcessItem.h"

#include <windows.h>
#include <vector>

class FrameHost;
class RefreshCycle;
class SearchMenuHost;
class SelectionModel;
class ViewImages;

// The main window's commands on the selected process or module: they look the
// selection up, hold the window's busy count while a box or window of theirs
// is open, and hand the work to ProcessCommands, the information windows and
// the Kill, Report and Find Dll dialogs. While one of them waits for the user,
// a second one is ignored.
class FrameCommands {
public:
    FrameCommands(FrameHost& host, SelectionModel& selection, RefreshCycle& cycle, ViewImages& images);

    // Search engines of the information windows' menus (none: the plain entry).
    void SetSearchHost(SearchMenuHost* host) { pSearch = host; }

    void Kill();
    // The termination dialog for the processes (string 77 for none); a full refresh after a run.
    void KillProcesses(const std::vector<ProcessItem>& processes);
    void Report();
    void FindDll();
    void Debug();
    void SwitchTo();
    void ExploreFromHere();
    void OpenCommandWindow();
    void StandardProperties();
    void AdvancedProperties();
    // The process whose modules the list shows (a double click on the infobar).
    void ListedProcessInformation();
    // The selected rows of the list to the clipboard.
    void Copy();
    void About();
    void WebPage(ShellCommandText::WebPage page);

    // A just-in-time debugger is registered (the menus offer Debug).
    static bool IsDebuggerRegistered();

private:
    class Running;
    // The tree's process or the list row with the selection mark; string 77 when
    // none (and `complain`).
    bool SelectedProcess(ProcessItem& process, bool complain);
    // The file of the selected module (module list) or process.
    bool SelectedFile(std::string& path, bool complainWithoutProcess);
    ProcessRecord RecordOf(const ProcessItem& process);
    void ShowProcessInformation(const ProcessItem& process);
    void ShowModuleInformation(const std::string& path);

    FrameHost& host;
    SelectionModel& selection;
    RefreshCycle& cycle;
    ViewImages& images;
    SearchMenuHost* pSearch;
    bool bRunning;
};
