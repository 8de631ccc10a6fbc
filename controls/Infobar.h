#pragma once

#include <windows.h>
#include <commctrl.h>

// A caption-like bar: one line of text on a colour gradient, with an optional
// 16 x 16 icon at its right end. A double click is reported as NM_DBLCLK.
class Infobar {
public:
    // Window style bit: paint straight into the window, without an off-screen bitmap.
    static const DWORD kDirectPaint = 0x20;

    Infobar();
    ~Infobar();
    Infobar(const Infobar&) = delete;
    Infobar& operator=(const Infobar&) = delete;

    bool Create(DWORD exStyle, DWORD style, const char* text, const RECT& rect, HWND parent, UINT id);
    HWND GetHwnd() const { return hWnd; }

    // kind 0: an icon; kind 1: a bitmap whose pixel at (0, 0) is transparent.
    void SetIcon(HANDLE handle, int kind);
    void SetGradient(COLORREF start, COLORREF end);
    void SetTextColor(COLORREF color);
    void SetMargins(WORD left, WORD top, WORD right, WORD bottom);
    int SetGradientMode(int mode);

    HIMAGELIST GetImageList() const { return hImageList; }
    static int GetInstanceCount();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void FillGradient(HDC dc, const RECT& rect);

    HWND hWnd;
    HWND hNotifyTarget;
    HINSTANCE hInstance;
    LOGFONTA lfFont;
    HFONT hFont;
    HIMAGELIST hImageList;
    WORD nMarginLeft;
    WORD nMarginTop;
    WORD nMarginRight;
    WORD nMarginBottom;
    COLORREF crGradientStart;
    COLORREF crGradientEnd;
    COLORREF crText;
    int nGradientMode;
};
