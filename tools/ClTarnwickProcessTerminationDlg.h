#pragma once

#include "tools/TerminationRun.h"
#include "controls/DialogProcedure.h"
#include "controls/DialogResizer.h"
#include "controls/TooltipCtrl.h"
#include "sysinfo/ProcessRecord.h"
#include "sysinfo/UxThemeWrapper.h"

#include <windows.h>

#include <string>
#include <vector>

class ValueFormatter;

// "Process Termination": lists the processes, warns, and on "&Kill"
// terminates them one after the other, marking each row terminated or failed.
class ClTarnwickProcessTerminationDlg {
public:
    // `terminator`: the one to use (tests pass their own); null: a ProcessTerminator.
    explicit ClTarnwickProcessTerminationDlg(ProcessTerminator* terminator = nullptr);
    ~ClTarnwickProcessTerminationDlg();
    ClTarnwickProcessTerminationDlg(const ClTarnwickProcessTerminationDlg&) = delete;
    ClTarnwickProcessTerminationDlg& operator=(const ClTarnwickProcessTerminationDlg&) = delete;

    // Runs modally. 1 when a termination run happened, 0 when cancelled before.
    // The records are copied: the caller's lists may change while this runs.
    int Show(HWND owner, const std::vector<ProcessRecord>& processes, bool tooltips, const ValueFormatter& formatter);

    const std::vector<TerminationEntry>& Entries() const { return entries; }

private:
    friend INT_PTR CALLBACK DialogProcedure<ClTarnwickProcessTerminationDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    void OnCommand(int id);
    INT_PTR OnVKeyToItem(WPARAM wParam);
    void OnMeasureItem(MEASUREITEMSTRUCT* measure);
    void OnDrawItem(const DRAWITEMSTRUCT* draw);
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);
    bool OnNotify(NMHDR* header);
    void OnDestroy();

    void OnOk();
    void OnCancel();
    void OnShowErrors();
    void RunTermination();
    void RemoveCaretRow();
    void UpdateButtons();
    static void AfterEachRow(size_t index, void* context);

    HWND hWnd;
    HWND hOwner;
    HWND hList;
    ProcessTerminator* terminator;
    ProcessTerminator ownTerminator;
    const ValueFormatter* formatter;
    std::vector<TerminationEntry> entries;  // one per list row, in row order
    std::vector<std::string> errors;
    bool bTooltips;
    bool bRunning;
    bool bDone;
    HICON hIcons[3];  // 176 OK, 174 Cancel, 172 Help
    TooltipCtrl tooltip;
    DialogResizer resizer;
    UxThemeWrapper theme;
    std::string strTip;
};
