#include "app/mainframe/RefreshCycle.h"

#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameWindows.h"
#include "app/menus/StringTable.h"
#include "app/settings/UserSettings.h"
#include "app/startup/ClDebugString.h"
#include "app/res/resource.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ProcessIdentity.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysutils/Orvo_SystemUtilities.h"
#include "views/ListSelection.h"
#include "views/ModuleColumns.h"
#include "views/ModuleView.h"
#include "views/ProcessView.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"

#include <cstdio>

namespace {
// A text cut to the 259 characters a 260-byte window-text buffer holds.
std::string Bounded(const std::string& text)
{
    return text.size() > 259 ? text.substr(0, 259) : text;
}

std::string CountText(unsigned stringId, size_t count)
{
    char text[260];
    snprintf(text, sizeof(text), "%s : %d", StringTable::Load(stringId).c_str(), static_cast<int>(count));
    return text;
}
} // namespace

RefreshCycle::RefreshCycle(FrameHost& host, FrameWindows& windows, ViewImages& images)
    : host(host), windows(windows), images(images), content(ListContent::Empty), bSelectionPending(false),
      bListedGone(false), nRefreshCount(0)
{
    formatter.reset(new ValueFormatter(host.Settings(), host.IsNtFamily()));
    processView.reset(new ProcessView(host.Settings(), host.Live(), *formatter, FileFactsCache::Shared(), images));
    moduleView.reset(new ModuleView(host.Settings(), *formatter, FileFactsCache::Shared(), images, host.Debug()));
    // The window's thread reads no file over the network (the console tool and reports may).
    processView->SetLocalFilesOnly(true);
    moduleView->SetLocalFilesOnly(true);
}

RefreshCycle::~RefreshCycle() = default;

void RefreshCycle::ProgressCallback(uint32_t phase, uint32_t count, uint32_t cycle)
{
    reinterpret_cast<RefreshCycle*>(static_cast<uintptr_t>(cycle))->windows.Status().OnProgress(phase, count);
}

// ---- Refresh ----------------------------------------------------------------------

void RefreshCycle::Refresh(bool full)
{
    if (!host.Window()) return;
    if (host.Defer(full ? BusyCount::kRefreshFull : BusyCount::kRefresh)) return;
    BusyScope hold(host);
    HWND focus = GetFocus();
    const bool listHadFocus = windows.List() && focus == windows.List();
    PumpMessages();
    if (!host.Window()) return;
    if (full || windows.SelectedTreeItem() == windows.ProcessesItem()) {
        FullRefresh();
    } else {
        ShowSelection();
        ++nRefreshCount;
    }
    if (listHadFocus && windows.List()) SetFocus(windows.List());
    else if (focus && IsWindow(focus)) SetFocus(focus);
}

void RefreshCycle::FullRefresh()
{
    ++nRefreshCount;
    HWND frame = host.Window();
    HWND tree = windows.Tree();
    const HTREEITEM processes = windows.ProcessesItem();
    KillTimer(frame, FrameIds::kSelectionTimer);
    bSelectionPending = false;
    // Nothing may look at the items while they are replaced.
    windows.MuteTree(true);
    CaptureColumns(false);
    windows.DestroyList();
    content = ListContent::Empty;
    moduleView->Clear();
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(processes));
    HTREEITEM child;
    while ((child = reinterpret_cast<HTREEITEM>(
                SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(processes)))))
        SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));

    ProcessSnapshot& snapshot = host.Snapshot();
    snapshot.EnumProcesses(ProgressCallback, ProgressValue());
    processView->Build(snapshot.Processes(), ProgressCallback, ProgressValue());
    processView->FillTree(tree, processes, host.Settings().bResolveProcessDependencies != 0);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(windows.RootItem()));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(processes));
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    windows.MuteTree(false);
    host.Debug().print("TarnwickMainFrame: %d processes\n", static_cast<int>(processView->Count()));
    ShowSelection();
}

void RefreshCycle::ShowSelection()
{
    if (!host.Window() || !windows.Tree()) return;
    HWND focus = GetFocus();
    const bool listHadFocus = windows.List() && focus == windows.List();
    const HTREEITEM item = windows.SelectedTreeItem();
    CaptureColumns(false);
    bListedGone = false;
    if (!windows.RecreateList()) return;
    if (item == windows.ProcessesItem()) {
        ShowProcessList();
    } else if (const ProcessItem* process = TreeProcess(item)) {
        ShowModuleList(*process);
    } else {
        ShowEmptyList();
    }
    // Filled while hidden: columns and rows of a visible list cost a repaint each.
    ShowWindow(windows.List(), SW_SHOWNA);
    UpdateInfobar(item);
    UpdateStatusCount();
    if (listHadFocus) SetFocus(windows.List());
    else if (focus && IsWindow(focus)) SetFocus(focus);
}

void RefreshCycle::Clear()
{
    KillTimer(host.Window(), FrameIds::kSelectionTimer);
    bSelectionPending = false;
    content = ListContent::Empty;
    moduleView->Clear();
    processView->Clear();
}

void RefreshCycle::ShowProcessList()
{
    content = ListContent::Processes;
    moduleView->Clear();
    processView->SetupColumns(windows.List());
    processView->FillList(windows.List());
}

void RefreshCycle::ShowModuleList(const ProcessItem& process)
{
    content = ListContent::Modules;
    listedProcess = process;
    // The id may name another process by now: nothing of it is shown, and the list is read again.
    if (ProcessIdentity::IsGone(ProcessIdentity::Check(process.dwPid, ProcessIdentity::Value(process.ftCreated)))) {
        content = ListContent::Empty;
        bListedGone = true;
        moduleView->Clear();
        SetWindowTextA(windows.List(), StringTable::Load(230).c_str());
        PostMessageA(host.Window(), WM_COMMAND, ID_VIEW_REFRESH, FrameIds::kFullRefreshMark);
        return;
    }
    host.Snapshot().EnumProcessModules(process.dwPid, ProgressCallback, ProgressValue());
    moduleView->Build(host.Snapshot().Modules(), ProgressCallback, ProgressValue());
    moduleView->SetupColumns(windows.List());
    moduleView->FillList(windows.List());
    host.Debug().print("TarnwickMainFrame: %d modules of %s [%u]\n", static_cast<int>(moduleView->Count()),
                       process.strName.c_str(), static_cast<unsigned>(process.dwPid));
}

void RefreshCycle::ShowEmptyList()
{
    content = ListContent::Empty;
    moduleView->Clear();
}

void RefreshCycle::UpdateInfobar(HTREEITEM item)
{
    HWND infobar = windows.InfobarWindow();
    if (!infobar || !item) return;
    char text[260] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof(text);
    SendMessageA(windows.Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    const ProcessItem* process = TreeProcess(item);
    ShowInfobar(process ? formatter->ProcessCaption(process->strName, process->dwPid) : std::string(text),
                query.iImage);
}

void RefreshCycle::UpdateStatusCount()
{
    size_t count = 0;
    if (content == ListContent::Processes) count = processView->Count();
    else if (content == ListContent::Modules) count = moduleView->Count();
    if (count == 0) windows.Status().SetText(StringTable::Load(bListedGone ? 230 : 140));
    else windows.Status().SetText(CountText(content == ListContent::Processes ? 2 : 42, count));
}

void RefreshCycle::OnListItemChanged(const NMLISTVIEW& change)
{
    if (!(change.uChanged & LVIF_STATE)) return;
    UpdateStatusCount();
    if (content != ListContent::Processes || !((change.uNewState ^ change.uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)))
        return;
    const std::vector<LPARAM> rows = ListSelection::Marked(windows.List());
    if (rows.empty()) {
        UpdateInfobar(windows.SelectedTreeItem());
        return;
    }
    const ProcessItem& process = *ProcessView::FromParam(rows.front());
    ShowInfobar(formatter->ProcessCaption(process.strName, process.dwPid), process.nImage);
}

void RefreshCycle::ShowInfobar(const std::string& caption, int image)
{
    HWND infobar = windows.InfobarWindow();
    if (!infobar) return;
    SetWindowTextA(infobar, Bounded(caption).c_str());
    HICON icon = image >= 0 ? ImageList_GetIcon(images.Views(), image, ILD_NORMAL) : nullptr;
    if (icon) {
        windows.InfobarControl().SetIcon(icon, 0);
        DestroyIcon(icon);
    }
}

void RefreshCycle::CaptureColumns(bool withOrder)
{
    HWND list = windows.List();
    if (!list) return;
    if (content == ListContent::Processes) processView->CaptureColumns(list, withOrder);
    else if (content == ListContent::Modules) moduleView->CaptureColumns(list, withOrder);
}

// ---- Tree selection -------------------------------------------------------------------

LRESULT RefreshCycle::OnSelChanging(UINT action)
{
    switch (action) {
    case TVC_BYKEYBOARD:
        // Arrow keys walk the tree; only where they stop is loaded.
        bSelectionPending = true;
        SetTimer(host.Window(), FrameIds::kSelectionTimer, FrameIds::kSelectionDelay, nullptr);
        return FALSE;
    case TVC_BYMOUSE:
    case TVC_UNKNOWN:
        return FALSE;
    default:
        return TRUE;
    }
}

void RefreshCycle::OnSelChanged()
{
    if (bSelectionPending || host.Defer(BusyCount::kSelection)) return;
    ShowSelection();
}

void RefreshCycle::OnSelectionTimer()
{
    KillTimer(host.Window(), FrameIds::kSelectionTimer);
    if (host.Defer(BusyCount::kSelection)) return;
    bSelectionPending = false;
    ShowSelection();
}

bool RefreshCycle::ListedProcess(ProcessItem& process) const
{
    if (content != ListContent::Modules) return false;
    process = listedProcess;
    return true;
}

ProcessItem* RefreshCycle::TreeProcess(HTREEITEM item) const
{
    if (!item || windows.IsFixedItem(item)) return nullptr;
    TVITEMA query = {};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    if (!SendMessageA(windows.Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
    return ProcessView::FromParam(query.lParam);
}

// ---- What the rows answer --------------------------------------------------------------

LRESULT RefreshCycle::TreeCustomDraw(NMTVCUSTOMDRAW& draw) const
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const HTREEITEM item = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
    if (!draw.nmcd.lItemlParam || windows.IsFixedItem(item)) return CDRF_DODEFAULT;
    COLORREF color;
    // A selected item keeps the selection's colours.
    if ((draw.nmcd.uItemState & CDIS_SELECTED)
        || !processView->HighlightColor(*ProcessView::FromParam(draw.nmcd.lItemlParam), color))
        return CDRF_DODEFAULT;
    draw.clrText = color;
    return CDRF_NEWFONT;
}

void RefreshCycle::GetDispInfo(NMLVDISPINFOA& info) const
{
    if (content == ListContent::Processes) processView->GetDispInfo(info);
    else if (content == ListContent::Modules) moduleView->GetDispInfo(info);
}

void RefreshCycle::ListInfoTip(NMLVGETINFOTIPA& tip) const
{
    LVITEMA row = {};
    row.mask = LVIF_PARAM;
    row.iItem = tip.iItem;
    if (!tip.pszText || tip.cchTextMax <= 0
        || !SendMessageA(tip.hdr.hwndFrom, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)) || !row.lParam)
        return;
    std::string text;
    if (content == ListContent::Processes) text = processView->InfoTip(*ProcessView::FromParam(row.lParam));
    else if (content == ListContent::Modules) text = moduleView->InfoTip(*ModuleView::FromParam(row.lParam));
    lstrcpynA(tip.pszText, text.c_str(), tip.cchTextMax);
}

void RefreshCycle::TreeInfoTip(NMHDR& header) const
{
    const bool wide = header.code == TVN_GETINFOTIPW;
    const HTREEITEM item = wide ? reinterpret_cast<NMTVGETINFOTIPW&>(header).hItem
                                : reinterpret_cast<NMTVGETINFOTIPA&>(header).hItem;
    const ProcessItem* process = TreeProcess(item);
    if (!process) return;
    const std::string text = processView->InfoTip(*process);
    if (wide) {
        auto& tip = reinterpret_cast<NMTVGETINFOTIPW&>(header);
        if (tip.pszText && tip.cchTextMax > 0)
            MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, tip.pszText, tip.cchTextMax);
    } else {
        auto& tip = reinterpret_cast<NMTVGETINFOTIPA&>(header);
        if (tip.pszText && tip.cchTextMax > 0) lstrcpynA(tip.pszText, text.c_str(), tip.cchTextMax);
    }
}

void RefreshCycle::SortByClick(int position)
{
    if (content == ListContent::Processes) processView->SortByClick(windows.List(), position);
    else if (content == ListContent::Modules) moduleView->SortByClick(windows.List(), position);
}

bool RefreshCycle::DrawRow(const DRAWITEMSTRUCT& item) const
{
    if (item.hwndItem != windows.List()) return false;
    if (content == ListContent::Processes) processView->DrawRow(item, item.hwndItem);
    else if (content == ListContent::Modules) moduleView->DrawRow(item, item.hwndItem);
    return true;
}

UINT RefreshCycle::RowHeight() const
{
    HWND frame = host.Window();
    HFONT font = windows.ViewFont();
    HDC dc = GetDC(frame);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(frame, dc);
    const int height = metrics.tmHeight + 4;
    return static_cast<UINT>(height < 18 ? 18 : height);
}

void RefreshCycle::SetModuleSortMode(UINT command)
{
    uint32_t mode = 0;
    if (content != ListContent::Modules || !windows.List() || !ModuleColumns::ModeFromCommand(command, mode)) return;
    moduleView->SetMode(windows.List(), mode);
}
