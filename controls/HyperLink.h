#pragma once

#include <windows.h>

// A clickable link text. A click, or Enter or Space while it has the focus,
// posts WM_COMMAND (control id, window) to the parent; after the first click
// the link shows in its visited colour. The focused link has a focus rectangle.
class HyperLink {
public:
    static const COLORREF kUnvisitedColor = RGB(0, 0, 255);
    static const COLORREF kPressedColor = RGB(255, 0, 0);
    static const COLORREF kVisitedColor = RGB(128, 0, 0);

    HyperLink();
    ~HyperLink();
    HyperLink(const HyperLink&) = delete;
    HyperLink& operator=(const HyperLink&) = delete;

    static bool Register();
    static void Unregister();

    bool Create(DWORD exStyle, DWORD style, const char* text, const RECT& rect, HWND parent, UINT id);
    HWND GetHwnd() const { return hWnd; }
    bool IsVisited() const { return bVisited; }
    // The object of a window of this class (also of one made from a dialog template).
    static HyperLink* FromWindow(HWND window);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void SetFont(HFONT font);
    // What a click does: visited, and the command to the parent.
    void Follow();
    static LRESULT DialogCode(const MSG* message);

    HWND hWnd;
    HWND hNotifyTarget;
    HFONT hFont;
    bool bVisited;
    bool bOwnedByWindow;
};
