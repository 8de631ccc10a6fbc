#pragma once

#include "tools/ProcessInformation.h"
#include "controls/DialogProcedure.h"
#include "controls/PropertyListView.h"
#include "sysinfo/ProcessRecord.h"

#include <windows.h>
#include <string>
#include <vector>

class SearchMenuHost;

// The process information window (dialog CLPROCESSINFORMATIONDLG): the
// description, image path, command line, current directory, DLL path and
// window title of a process, and its environment in a list.
class ClProcessInformationDlg {
public:
    ClProcessInformationDlg();
    ClProcessInformationDlg(const ClProcessInformationDlg&) = delete;
    ClProcessInformationDlg& operator=(const ClProcessInformationDlg&) = delete;

    void SetSearchHost(SearchMenuHost* host) { pSearch = host; }

    // Runs the window modally for `record`; `icon` (the process's small icon,
    // may be null) stays the caller's.
    INT_PTR show(HWND owner, const ProcessRecord& record, HICON icon);

private:
    struct Anchor {
        HWND hControl;
        RECT rcStart;     // in client coordinates at the start
        bool bStretchDown;
    };

    friend INT_PTR CALLBACK DialogProcedure<ClProcessInformationDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    void OnCommand(UINT id);
    LRESULT OnNotify(const NMHDR* header);
    void OnContextMenu(HWND source, int x, int y);
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnDestroy();

    void CreateEnvironmentList();
    void Layout();
    void CopySelection();
    void Search(UINT commandId);

    HWND hWnd;
    const ProcessRecord* pRecord;
    HICON hIcon;
    SearchMenuHost* pSearch;
    PropertyListView list;
    HFONT hFont;
    SIZE szStartClient;
    SIZE szStartWindow;
    std::vector<Anchor> anchors;
};
