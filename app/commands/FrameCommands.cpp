#include "app/commands/FrameCommands.h"

#include "app/commands/ClAboutDlg.h"
#include "app/startup/TarnwickApp.h"
#include "app/mainframe/TarnwickMainFrame.h"
#include "app/res/resource.h"
#include "image/ClModuleInformationDlg.h"
#include "report/ClipboardCopy.h"
#include "tools/ClProcessInformationDlg.h"
#include "views/ModuleView.h"
#include "views/ProcessView.h"
#include "views/ValueFormatter.h"

#include <shellapi.h>

// Marks a command as running for its lifetime, with the frame's busy count held.
class FrameCommands::Running {
public:
    explicit Running(FrameCommands& owner) : owner(owner), hold(owner.frame), bFirst(!owner.bRunning)
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
    TarnwickMainFrame::BusyScope hold;
    bool bFirst;
};

FrameCommands::FrameCommands(TarnwickMainFrame& frame) : frame(frame), pSearch(nullptr), bRunning(false) {}

bool FrameCommands::IsDebuggerRegistered()
{
    std::string pattern;
    return ProcessCommands::ReadDebuggerTemplate(pattern);
}

bool FrameCommands::SelectedProcess(ProcessItem& process, bool complain)
{
    std::vector<ProcessItem> selected = frame.SelectedProcesses(false);
    if (selected.empty()) {
        if (complain) frame.ShowSelectProcessMessage();
        return false;
    }
    process = selected.front();
    return true;
}

bool FrameCommands::SelectedFile(std::string& path, bool complainWithoutProcess)
{
    if (frame.FocusedView() == MenuEnabling::View::ModuleList) {
        ModuleItem module;
        if (!frame.SelectedModule(module)) return false;
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
    for (const ProcessRecord& record : frame.Snapshot().Processes())
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
    ProcessSnapshot& snapshot = frame.Snapshot();
    if (snapshot.IsIdleProcess(process.dwPid) || snapshot.IsSystemProcess(process.dwPid)) return;
    if (ProcessCommands(frame.GetHwnd()).Debug(process.dwPid) == ProcessCommands::DebugStarted)
        PostMessageA(frame.GetHwnd(), WM_COMMAND, ID_VIEW_REFRESH, TarnwickMainFrame::kFullRefreshMark);
}

void FrameCommands::SwitchTo()
{
    Running running(*this);
    if (!running.First()) return;
    ProcessItem process;
    if (!SelectedProcess(process, true)) return;
    ProcessCommands(frame.GetHwnd()).SwitchTo(process.dwPid);
}

void FrameCommands::ExploreFromHere()
{
    std::string path;
    if (SelectedFile(path, false)) ProcessCommands(frame.GetHwnd()).ExploreFrom(path);
}

void FrameCommands::OpenCommandWindow()
{
    std::string path;
    if (SelectedFile(path, false))
        ProcessCommands(frame.GetHwnd()).OpenCommandWindow(path, frame.Snapshot().Os().Is9xFamily());
}

void FrameCommands::StandardProperties()
{
    Running running(*this);
    if (!running.First()) return;
    std::string path;
    if (SelectedFile(path, true)) ProcessCommands(frame.GetHwnd()).ShowStandardProperties(path);
}

void FrameCommands::AdvancedProperties()
{
    Running running(*this);
    if (!running.First()) return;
    if (frame.FocusedView() == MenuEnabling::View::ModuleList) {
        ModuleItem module;
        if (frame.SelectedModule(module)) ShowModuleInformation(module.strLocation);
        return;
    }
    ProcessItem process;
    if (SelectedProcess(process, true)) ShowProcessInformation(process);
}

void FrameCommands::ListedProcessInformation()
{
    Running running(*this);
    if (!running.First()) return;
    ProcessItem process;
    if (frame.ListedProcess(process)) ShowProcessInformation(process);
}

void FrameCommands::ShowProcessInformation(const ProcessItem& process)
{
    const ProcessRecord record = RecordOf(process);
    HICON icon = nullptr;
    if (record.strPath != "...") ExtractIconExA(record.strPath.c_str(), 0, nullptr, &icon, 1);
    const bool ownIcon = icon != nullptr;
    if (!icon) icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROCESS));
    ClProcessInformationDlg dialog;
    dialog.SetSearchHost(pSearch);
    dialog.show(frame.GetHwnd(), record, icon);
    if (ownIcon) DestroyIcon(icon);
}

void FrameCommands::ShowModuleInformation(const std::string& path)
{
    const UserSettings& settings = frame.Settings();
    HFONT font = CreateFontIndirectA(&settings.lfViewFont);
    ClModuleInformationDlg dialog(frame.Snapshot().Os().Is9xFamily());
    dialog.SetListLook(font, settings.crText, settings.crBackground);
    dialog.SetSearchHost(pSearch);
    dialog.show(frame.GetHwnd(), path, IDI_MODULE);
    if (font) DeleteObject(font);
}

void FrameCommands::Copy()
{
    HWND list = frame.ListWindow();
    const uint32_t kind = frame.ListKind();
    if (!list || (kind != TarnwickMainFrame::kProcessList && kind != TarnwickMainFrame::kModuleList)) return;
    std::vector<LPARAM> rows;
    int index = -1;
    while ((index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, index, LVNI_SELECTED))) >= 0) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        if (SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam)
            rows.push_back(item.lParam);
    }
    if (rows.empty()) return;
    const UserSettings& settings = frame.Settings();
    std::string text;
    if (kind == TarnwickMainFrame::kProcessList) {
        std::vector<const ProcessItem*> items;
        for (LPARAM row : rows) items.push_back(ProcessView::FromParam(row));
        text = ClipboardCopy::CopyText(items, settings.dwCopyProcessColumns, settings.nCopySeparator,
                                       settings.nCopyDelimiter);
    } else {
        std::vector<const ModuleItem*> items;
        for (LPARAM row : rows) items.push_back(ModuleView::FromParam(row));
        text = ClipboardCopy::CopyText(items, settings.dwCopyModuleColumns, settings.nCopySeparator,
                                       settings.nCopyDelimiter);
    }
    if (!text.empty()) ClipboardCopy::SetClipboardText(frame.GetHwnd(), text);
}

void FrameCommands::About()
{
    Running running(*this);
    if (!running.First()) return;
    ClAboutDlg().show(frame.GetHwnd());
}

void FrameCommands::WebPage(ShellCommandText::WebPage page)
{
    ProcessCommands(frame.GetHwnd()).OpenWebPage(page, frame.App().wLanguageId);
}
