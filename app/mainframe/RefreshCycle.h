#pragma once

#include "app/mainframe/FrameIds.h"
#include "views/ModuleItem.h"
#include "views/ProcessItem.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <memory>
#include <string>

class FrameHost;
class FrameWindows;
class ModuleView;
class ProcessView;
class ValueFormatter;
class ViewImages;

// The refresh cycle: a new process snapshot into the tree, the list filled
// for the tree's selection (the process list or the modules of a process),
// the infobar and the status count after it; the keyboard selection timer;
// and what the list's rows answer (texts, tips, painting, sorting).
class RefreshCycle {
public:
    RefreshCycle(FrameHost& host, FrameWindows& windows, ViewImages& images);
    ~RefreshCycle();
    RefreshCycle(const RefreshCycle&) = delete;
    RefreshCycle& operator=(const RefreshCycle&) = delete;

    // full (or "Processes" selected): a new snapshot and the tree refilled,
    // "Processes" selected; otherwise the list is rebuilt for the tree's
    // selection. Held back while busy; the focus stays where it was.
    void Refresh(bool full);
    void FullRefresh();
    // The list anew for the tree's selection, the infobar and the status count.
    void ShowSelection();
    // Views emptied with the windows (the frame's window is going).
    void Clear();

    // Tree selection: a change by keyboard waits for the selection timer;
    // returns TRUE to refuse the change.
    LRESULT OnSelChanging(UINT action);
    void OnSelChanged();
    void OnSelectionTimer();
    bool IsSelectionPending() const { return bSelectionPending; }
    // A held-back selection change runs now instead of waiting for its timer.
    void CancelPendingSelection() { bSelectionPending = false; }

    ListContent Content() const { return content; }
    // The process whose modules the list shows (a copy).
    bool ListedProcess(ProcessItem& process) const;
    unsigned RefreshCount() const { return nRefreshCount; }

    // Status part 0: the count of the list's rows (string 140 when empty).
    void UpdateStatusCount();
    // A row's state changed (LVN_ITEMCHANGED): the status count, and in the
    // process list the infobar shows the row with the selection mark.
    void OnListItemChanged(const NMLISTVIEW& change);
    // Widths (and, withOrder, the order) of the list's columns into the settings.
    void CaptureColumns(bool withOrder);

    // What the rows answer.
    void GetDispInfo(NMLVDISPINFOA& info) const;
    // Info tips of a list row and of a tree item (TVN_GETINFOTIP, A or W).
    void ListInfoTip(NMLVGETINFOTIPA& tip) const;
    void TreeInfoTip(NMHDR& header) const;
    void SortByClick(int position);
    bool DrawRow(const DRAWITEMSTRUCT& item) const;
    // Row height: the view font and the 16-pixel icons.
    UINT RowHeight() const;
    // Module sort-mode commands 40074 to 40078, while the module list is shown.
    void SetModuleSortMode(UINT command);

    // New and ended processes in their colours (NM_CUSTOMDRAW of the tree).
    LRESULT TreeCustomDraw(NMTVCUSTOMDRAW& draw) const;
    // The tree's item data: the process of a tree item (null for a fixed one).
    ProcessItem* TreeProcess(HTREEITEM item) const;

    ValueFormatter& Formatter() { return *formatter; }
    ProcessView& Processes() { return *processView; }
    ModuleView& Modules() { return *moduleView; }

private:
    void ShowProcessList();
    void ShowModuleList(const ProcessItem& process);
    void ShowEmptyList();
    void UpdateInfobar(HTREEITEM item);
    void ShowInfobar(const std::string& caption, int image);
    static void ProgressCallback(uint32_t phase, uint32_t count, uint32_t cycle);
    uint32_t ProgressValue() const { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this)); }

    FrameHost& host;
    FrameWindows& windows;
    ViewImages& images;
    std::unique_ptr<ValueFormatter> formatter;
    std::unique_ptr<ProcessView> processView;
    std::unique_ptr<ModuleView> moduleView;
    ListContent content;
    ProcessItem listedProcess;
    bool bSelectionPending;
    // The process selected in the tree has ended or its id was reused.
    bool bListedGone;
    unsigned nRefreshCount;
};
