#pragma once

#include <windows.h>

#include "sysinfo/UxThemeWrapper.h"

#include <cstdint>
#include <deque>

// Window class "ClCPUGraph": the recent history of the total processor usage
// as a line, one pixel column per sample, newest at the right, with the
// current value as "CPU n%" at the right end. Samples arrive as
// kSampleMessage with the usage in lParam.
class ClCPUGraph {
public:
    static const UINT kSampleMessage = WM_USER + 1;
    // Stands for the default background: the parent's themed background, or
    // the button-face colour without themes. Never drawn as a colour.
    static const COLORREF kDefaultBackground = 0xFF000000;
    static const char kClassName[];

    ClCPUGraph();
    ~ClCPUGraph();
    ClCPUGraph(const ClCPUGraph&) = delete;
    ClCPUGraph& operator=(const ClCPUGraph&) = delete;

    // Registers the window class once per process.
    static bool Register();
    static void Unregister();

    bool Create(HWND parent, DWORD style, UINT id, const RECT* rect = nullptr);
    HWND GetHwnd() const { return hWnd; }

    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBackgroundColor(COLORREF color);
    COLORREF SetGraphColor(COLORREF color);

    // Width of "CPU 100%" in the graph's font plus 2, measured at creation.
    int GetReservedTextWidth() const { return nReservedTextWidth; }
    size_t GetHistorySize() const { return history.size(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCreate();
    void OnSize();
    void OnSample(LPARAM value);
    void OnPaint();
    void OnNcPaint(WPARAM region);
    void OnDestroy();
    void Draw();
    void FillBackground(const RECT& client);
    void CopyToWindow(HDC target);

    HWND hWnd;
    COLORREF crBackground;
    COLORREF crGraph;
    HPEN hGraphPen;
    COLORREF crText;
    HFONT hFont;
    int nReservedTextWidth;
    HDC hMemDC;
    HBITMAP hBitmap;
    HGDIOBJ hOldBitmap;
    std::deque<uint8_t> history;
    UxThemeWrapper uxTheme;
};
