#pragma once

#include "controls/DialogResizer.h"
#include "controls/DialogProcedure.h"

#include <windows.h>

#include <string>

// "Errors": the error texts of a termination run in a read-only edit.
class ClTarnwickShowErrorsDlg {
public:
    ClTarnwickShowErrorsDlg() = default;
    ClTarnwickShowErrorsDlg(const ClTarnwickShowErrorsDlg&) = delete;
    ClTarnwickShowErrorsDlg& operator=(const ClTarnwickShowErrorsDlg&) = delete;

    // Runs modally; returns 1.
    int Show(HWND owner, const std::string& text);

private:
    friend INT_PTR CALLBACK DialogProcedure<ClTarnwickShowErrorsDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);

    HWND hWnd = nullptr;
    std::string strText;
    DialogResizer resizer;
};
