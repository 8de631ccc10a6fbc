#pragma once

#include <windows.h>

#include "sysinfo/UxThemeWrapper.h"

// A push button with an icon and a hover look (superclass of "Button"). A click
// sends WM_COMMAND (control id, window) to the parent.
class ButtonEx {
public:
    ButtonEx();
    ~ButtonEx();
    ButtonEx(const ButtonEx&) = delete;
    ButtonEx& operator=(const ButtonEx&) = delete;

    static bool Register();
    static void Unregister();

    bool Create(DWORD exStyle, DWORD style, const char* text, const RECT& rect, HWND parent, UINT id);
    HWND GetHwnd() const { return hWnd; }
    // The icon stays the caller's; returns the previous one.
    HICON SetIcon(HICON icon);
    bool IsHot() const { return bHot; }
    bool IsPressed() const { return bPressed; }
    // The object of a window of this class (also of one made from a dialog template).
    static ButtonEx* FromWindow(HWND window);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void DrawClassicFrame(HDC dc, const RECT& rect);
    void DrawContent(HDC dc, const RECT& rect);
    void Redraw();
    void SetPressed(bool pressed);
    void Click();

    HWND hWnd;
    HICON hIcon;
    int nIconWidth;
    int nIconHeight;
    bool bHot;
    bool bDefault;
    bool bPressed;
    bool bOwnedByWindow;
    UxThemeWrapper theme;
};
