#pragma once

#include <windows.h>
#include <commctrl.h>

// List view superclass that draws grid lines itself after the normal painting
// and shows its window text centred while the list is empty.
class GridView {
public:
    GridView();
    ~GridView();
    GridView(const GridView&) = delete;
    GridView& operator=(const GridView&) = delete;

    static bool Register();
    static void Unregister();

    bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id);
    HWND GetHwnd() const { return hWnd; }
    HWND GetHeader() const { return hHeader; }
    int GetColumnCount() const { return nColumns; }

    int InsertColumn(int index, const char* text, int width, int format = LVCFMT_LEFT);
    bool DeleteColumn(int index);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static GridView* FromWindow(HWND window);
    void DrawGrid(HDC dc);
    // WM_ERASEBKGND: owner-drawn rows paint their whole rectangle, so only
    // what lies around the visible rows is erased (rows updated in place do not flicker).
    static LRESULT EraseAroundRows(HWND window, HDC dc);
    void DrawEmptyText(HDC dc);
    int ItemAreaTop() const;

    HWND hWnd;
    int nColumns;
    HWND hHeader;
};
