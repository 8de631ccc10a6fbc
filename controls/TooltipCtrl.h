#pragma once

#include <windows.h>
#include <string>

// A tooltip window for the controls of a dialog: one tip per control window,
// with a fixed text or one the owner supplies when asked (TTN_GETDISPINFO,
// whose idFrom is the control's window).
class TooltipCtrl {
public:
    TooltipCtrl();
    ~TooltipCtrl();
    TooltipCtrl(const TooltipCtrl&) = delete;
    TooltipCtrl& operator=(const TooltipCtrl&) = delete;

    bool Create(HWND owner);
    bool AddTool(HWND control, const std::string& text);
    // The text is asked of the owner each time the tip shows.
    bool AddTool(HWND control);
    void Activate(bool active);
    HWND GetHwnd() const { return hWnd; }

private:
    bool Add(HWND control, char* text);

    HWND hWnd;
    HWND hOwner;
};
