#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "controls/Infobar.h"

// The e2e driver's test target: a tree view, an infobar, a list view with
// callback texts and a header arrow, a status bar with parts and tips, a
// dialog, a message box, debug output and clipboard text on command.
class TargetWindow {
public:
    explicit TargetWindow(HINSTANCE instance);
    bool Create(const char* title, int exitCode);
    HWND GetHwnd() const { return hWnd; }
    int ExitCode() const { return nExitCode; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCreate();
    void OnSize(int width, int height);
    void OnCommand(int id);
    LRESULT OnNotify(NMHDR* header);
    void OnTreeSelection(const NMTREEVIEWA* change);
    void OnListItemChanged(const NMLISTVIEW* change);
    void OnGetDispInfo(NMLVDISPINFOA* info);
    void OnColumnClick(int column);
    void SetSortArrow(int column, bool ascending);
    void ShowDialog();
    void CopyToClipboard();
    void SetStatus(int part, const std::string& text);

    HINSTANCE hInstance;
    HWND hWnd;
    HWND hTree;
    HWND hList;
    HWND hStatus;
    HWND hToolbar;
    Infobar infobar;
    HIMAGELIST hImages;
    HIMAGELIST hArrows;
    int nExitCode;
    int nCount;
    int nFullCount;
    int nSortColumn;
    bool bAscending;
};
