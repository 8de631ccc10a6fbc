#include "app/commands/FrameCommands.h"

#include "app/commands/ClAboutDlg.h"
#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameIds.h"
#include "app/mainframe/RefreshCycle.h"
#include "app/mainframe/SelectionModel.h"
#include "app/res/resource.h"
#include "app/settings/LiveSettings.h"
#include "app/settings/UserSettings.h"
#include "app/startup/ClDebugString.h"
#include "app/startup/MessagePump.h"
#include "app/startup/TarnwickApp.h"
#include "image/ClModuleInformationDlg.h"
#include "report/ClTarnwickReportDlg.h"
#include "report/ClipboardCopy.h"
#include "report/GuiReportProgress.h"
#include "report/ReportJob.h"
#include "sysinfo/ProcessSnapshot.h"
#include "tools/ClProcessInformationDlg.h"
#include "tools/ClTarnwickFindDllDlg.h"
#include "tools/ClTarnwickProcessTerminationDlg.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"

#include <shellapi.h>

// Marks a command as running for its lifetime, with the frame's busy count held.
class FrameCommands::Running {
public:
    explicit Running(FrameCommands& owner) : owner(owner), hold(owner.host), bFirst(!owner.bRunning)
    {
        owner.bRunning = true;
    }
    ~Running()
    {
        if (bFirst) owner.bRunning = false;
    }
    // False for a command that arrived while another one waits for the user.
    bool First() const { return bFirst; }

private:
    FrameCommands& owner;
    BusyScope hold;
    bool bFirst;
};

FrameCommands::FrameCommands(FrameHost& host, SelectionModel& selection, RefreshCycle& cycle, ViewImages& images)
    : host(host), selection(selection), cycle(cycle), images(images), pSearch(nullptr), bRunning(false)
{
}

bool FrameCommands::IsDebuggerRegistered()
{
    std::string pattern;
    return ProcessCommands::ReadDebuggerTemplate(pattern);
}

bool FrameCommands::SelectedProcess(ProcessItem& process, bool complain)
{
    std::vector<ProcessItem> selected = selection.SelectedProcesses(false);
    if (selected.empty()) {
        if (complain) host.ShowSelectProcessMessage();
        return false;
    }
    process = selected.front();
    return true;
}

bool FrameCommands::SelectedFile(std::string& path, bool complainWithoutProcess)
{
    if (selection.FocusedView() == MenuEnabling::View::ModuleList) {
        ModuleItem module;
        if (!selection.SelectedModule(module)) return false;
        path = module.strLocation;
        return true;
    }
    ProcessItem process;
    if (!SelectedProcess(process, complainWithoutProcess)) return false;
    path = process.strPath;
    return true;
}

ProcessRecord FrameCommands::RecordOf(const ProcessItem& process)
{
    for (const ProcessRecord& record : host.Snapshot().Processes())
        if (record.dwProcessId == process.dwPid && record.dwSequence == process.dwSequence) return record;
    // Not in the snapshot any more: what the item still knows.
    ProcessRecord record;
    record.strName = process.strName;
    record.strPath = process.strPath == ValueFormatter::NotAvailable() ? "..." : process.strPath;
    record.strCommandLine = process.strCommandLine == ValueFormatter::NotAvailable() ? "..." : process.strCommandLine;
    record.dwProcessId = process.dwPid;
    record.dwParentProcessId = process.dwParentPid;
    record.dwSequence = process.dwSequence;
    return record;
}

void FrameCommands::Debug()
{
    Running running(*this);
    if (!running.First()) return;
    ProcessItem process;
    if (!SelectedProcess(process, true)) return;
    ProcessSnapshot& snapshot = host.Snapshot();
    if (snapshot.IsIdleProcess(process.dwPid) || snapshot.IsSystemProcess(process.dwPid)) return;
    // Checked once the warning is answered: the id may belong to another process by then.
    const auto stillThere = [&] { return host.ConfirmRunning(process, true); };
    if (ProcessCommands(host.Window()).Debug(process.dwPid, stillThere) == ProcessCommands::DebugStarted)
        PostMessageA(host.Window(), WM_COMMAND, ID_VIEW_REFRESH, FrameIds::kFullRefreshMark);
}

void FrameCommands::SwitchTo()
{
    Running running(*this);
    if (!running.First()) return;
    ProcessItem process;
    if (!SelectedProcess(process, true) || !host.ConfirmRunning(process, true)) return;
    ProcessCommands(host.Window()).SwitchTo(process.dwPid);
}

void FrameCommands::ExploreFromHere()
{
    std::string path;
    if (SelectedFile(path, false)) ProcessCommands(host.Window()).ExploreFrom(path);
}

void FrameCommands::OpenCommandWindow()
{
    std::string path;
    if (SelectedFile(path, false))
        ProcessCommands(host.Window()).OpenCommandWindow(path, host.Snapshot().Os().Is9xFamily());
}

void FrameCommands::StandardProperties()
{
    Running running(*this);
    if (!running.First()) return;
    std::string path;
    if (SelectedFile(path, true)) ProcessCommands(host.Window()).ShowStandardProperties(path);
}

void FrameCommands::AdvancedProperties()
{
    Running running(*this);
    if (!running.First()) return;
    if (selection.FocusedView() == MenuEnabling::View::ModuleList) {
        ModuleItem module;
        if (selection.SelectedModule(module)) ShowModuleInformation(module.strLocation);
        return;
    }
    ProcessItem process;
    if (SelectedProcess(process, true)) ShowProcessInformation(process);
}

void FrameCommands::ListedProcessInformation()
{
    Running running(*this);
    if (!running.First()) return;
    // The process the infobar names: the one whose modules the list shows, or
    // the process list's row with the selection mark.
    ProcessItem process;
    if (cycle.ListedProcess(process)) {
        ShowProcessInformation(process);
        return;
    }
    const std::vector<ProcessItem> rows = selection.ProcessesOf(selection.ListWindow(), false);
    if (!rows.empty()) ShowProcessInformation(rows.front());
}

void FrameCommands::ShowProcessInformation(const ProcessItem& process)
{
    // An ended process shows what the list knew; another process under its id shows nothing.
    if (!host.ConfirmRunning(process, false)) return;
    const ProcessRecord record = RecordOf(process);
    HICON icon = nullptr;
    if (record.strPath != "...") ExtractIconExA(record.strPath.c_str(), 0, nullptr, &icon, 1);
    const bool ownIcon = icon != nullptr;
    if (!icon) icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROCESS));
    ClProcessInformationDlg dialog;
    dialog.SetSearchHost(pSearch);
    dialog.show(host.Window(), record, icon);
    if (ownIcon) DestroyIcon(icon);
}

void FrameCommands::ShowModuleInformation(const std::string& path)
{
    const UserSettings& settings = host.Settings();
    HFONT font = CreateFontIndirectA(&settings.lfViewFont);
    ClModuleInformationDlg dialog(host.Snapshot().Os().Is9xFamily());
    dialog.SetListLook(font, settings.crText, settings.crBackground);
    dialog.SetSearchHost(pSearch);
    dialog.show(host.Window(), path, IDI_MODULE);
    if (font) DeleteObject(font);
}

void FrameCommands::Copy()
{
    const UserSettings& settings = host.Settings();
    std::string text;
    if (cycle.Content() == ListContent::Processes) {
        const std::vector<ProcessItem> rows = selection.ProcessesOf(selection.ListWindow(), true);
        std::vector<const ProcessItem*> items;
        for (const ProcessItem& row : rows) items.push_back(&row);
        if (items.empty()) return;
        // The 9x family has none of the live figures.
        const uint32_t liveMask = host.IsNtFamily() ? host.Live().dwCopyColumns : 0;
        text = ClipboardCopy::CopyText(items, settings.dwCopyProcessColumns, liveMask, settings.nCopySeparator,
                                       settings.nCopyDelimiter);
    } else if (cycle.Content() == ListContent::Modules) {
        const std::vector<ModuleItem> rows = selection.SelectedModules();
        std::vector<const ModuleItem*> items;
        for (const ModuleItem& row : rows) items.push_back(&row);
        if (items.empty()) return;
        text = ClipboardCopy::CopyText(items, settings.dwCopyModuleColumns, settings.nCopySeparator,
                                       settings.nCopyDelimiter);
    }
    if (!text.empty()) ClipboardCopy::SetClipboardText(host.Window(), text);
}

void FrameCommands::About()
{
    Running running(*this);
    if (!running.First()) return;
    ClAboutDlg().show(host.Window());
}

void FrameCommands::WebPage(ShellCommandText::WebPage page)
{
    ProcessCommands(host.Window()).OpenWebPage(page, host.App().wLanguageId);
}

// ---- Kill, Report, Find Dll ----------------------------------------------------------
// Each holds the busy count while its dialog or report runs: refreshes and
// closing wait until the flow is over.

void FrameCommands::Kill()
{
    KillProcesses(selection.SelectedProcesses(true));
}

void FrameCommands::KillProcesses(const std::vector<ProcessItem>& processes)
{
    if (processes.empty()) {
        host.ShowSelectProcessMessage();
        return;
    }
    std::vector<ProcessRecord> records;
    for (const ProcessItem& item : processes) {
        ProcessRecord record;
        record.strName = item.strName;
        record.dwProcessId = item.dwPid;
        record.ftCreationTime.dwLowDateTime = item.ftCreated.dwLowDateTime;
        record.ftCreationTime.dwHighDateTime = item.ftCreated.dwHighDateTime;
        records.push_back(record);
    }
    int result = 0;
    {
        BusyScope hold(host);
        ClTarnwickProcessTerminationDlg dialog;
        result = dialog.Show(host.Window(), records, host.Settings().bEnableTooltips != 0, cycle.Formatter());
    }
    if (result == 1 && host.Window()) host.Refresh(true);
}

void FrameCommands::Report()
{
    // The processes by the focused view; with the focus elsewhere the dialog starts empty.
    std::vector<ProcessItem> processes;
    const MenuEnabling::View view = selection.FocusedView();
    if (view == MenuEnabling::View::ModuleList) {
        ProcessItem process;
        if (cycle.ListedProcess(process)) processes.push_back(process);
    } else if (view == MenuEnabling::View::Tree || view == MenuEnabling::View::ProcessList) {
        processes = selection.SelectedProcesses(true);
    }
    if (processes.empty() && view != MenuEnabling::View::None) {
        host.ShowSelectProcessMessage();
        return;
    }

    BusyScope hold(host);
    UserSettings& settings = host.Settings();
    ClTarnwickReportDlg dialog;
    if (dialog.Show(host.Window(), processes, images.Views(), settings.bEnableTooltips != 0, settings.nReportFileType,
                    cycle.Formatter())
        != IDOK)
        return;
    settings.nReportFileType = dialog.GetType();
    MessagePump::Pump();
    if (!host.Window()) return;
    GuiReportProgress progress(host.Window());
    ReportJob::Write(dialog.GetType(), dialog.Processes(), dialog.Path(), settings, progress);
}

void FrameCommands::FindDll()
{
    BusyScope hold(host);
    ClTarnwickFindDllDlg dialog;
    dialog.Show(host.Window(), host.Settings().bEnableTooltips != 0);
}
