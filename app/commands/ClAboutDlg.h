#pragma once

#include <windows.h>

// The about box (dialog CLABOUTDLG): product name and version.
class ClAboutDlg {
public:
    INT_PTR show(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void ShowVersion(HWND window);
};
