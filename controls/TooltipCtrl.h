#pragma once

#include <windows.h>

// A tooltip window for the controls of a dialog. Texts are asked for when
// shown: the owner answers TTN_GETDISPINFO, whose idFrom is the control's window.
class TooltipCtrl {
public:
    TooltipCtrl() = default;
    ~TooltipCtrl();
    TooltipCtrl(const TooltipCtrl&) = delete;
    TooltipCtrl& operator=(const TooltipCtrl&) = delete;

    bool Create(HWND owner);
    void AddTool(HWND control);
    void Activate(bool active);
    HWND GetHwnd() const { return hWnd; }

private:
    HWND hWnd = nullptr;
    HWND hOwner = nullptr;
};
