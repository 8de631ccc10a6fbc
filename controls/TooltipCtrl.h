#pragma once

#include <windows.h>
#include <string>

// A tooltip window for the controls of a dialog: one tip per control window.
class TooltipCtrl {
public:
    TooltipCtrl();
    ~TooltipCtrl();
    TooltipCtrl(const TooltipCtrl&) = delete;
    TooltipCtrl& operator=(const TooltipCtrl&) = delete;

    bool Create(HWND owner);
    bool AddTool(HWND control, const std::string& text);
    void Activate(bool active);
    HWND GetHwnd() const { return hWnd; }

private:
    HWND hWnd;
    HWND hOwner;
};
