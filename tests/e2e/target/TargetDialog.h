#pragma once

#include <windows.h>

#include <string>

// The target's modal dialog: a list box of colours, an edit, a check box and
// a small list view. OK reports "colour / text / checked" as the result.
class TargetDialog {
public:
    explicit TargetDialog(HINSTANCE instance) : hInstance(instance) {}
    bool Run(HWND owner);
    const std::string& Result() const { return strResult; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit(HWND dialog);
    void OnOk(HWND dialog);

    HINSTANCE hInstance;
    std::string strResult;
};
