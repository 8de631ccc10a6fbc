#pragma once

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

// The two-column report list of the information windows: owner-drawn rows,
// full-row selection, the window text shown centred while it has no rows, an
// optional sort arrow in the header. The rows' texts are kept in the list's
// items, so that any reader of the list sees what is drawn.
class PropertyListView {
public:
    PropertyListView();
    ~PropertyListView();
    PropertyListView(const PropertyListView&) = delete;
    PropertyListView& operator=(const PropertyListView&) = delete;

    // A report list with the given id over `rect` of `parent`; the parent has
    // to answer WM_MEASUREITEM with MeasureRow (sent during creation).
    bool Create(HWND parent, UINT id, const RECT& rect, HFONT font, const std::string& emptyText);
    void Destroy();
    HWND GetHwnd() const { return hWnd; }

    void SetColors(COLORREF text, COLORREF background);
    void SetColumns(const std::vector<std::string>& titles, int width);
    int AddRow(const std::vector<std::string>& cells, LPARAM data);
    int RowCount() const;
    int ColumnCount() const { return static_cast<int>(columns.size()); }
    std::string CellText(int row, int column) const;
    // Each column as wide as its widest cell, or its title when that is wider
    // (`titleWins` false for a column: the cells alone decide).
    void FitColumns(const std::vector<bool>& titleWins);

    std::vector<int> SelectedRows() const;
    // Selected rows in display order, each as its cells.
    std::vector<std::vector<std::string>> SelectedCells() const;
    void SelectAll();
    // The focused row, or the first selected one; -1 when none.
    int FocusedRow() const;
    // Screen position under the focused row for a menu opened from the keyboard.
    POINT MenuPoint() const;

    // The header's sort arrows (image 0 ascending, 1 descending); the caller owns the list.
    void AttachSortImages(HIMAGELIST images);
    // Image 0 (ascending) or 1 (descending) on `column`, none on the others.
    void ShowSortArrow(int column, bool ascending);

    // Row height for `font` (the stock GUI font when null): the height of "X"
    // rounded up to an even number, plus 3.
    static UINT RowHeight(HFONT font);
    static void MeasureRow(MEASUREITEMSTRUCT* measure, HFONT font);
    void DrawRow(const DRAWITEMSTRUCT* draw) const;

private:
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DrawEmptyText(HDC dc) const;
    int TextWidth(const std::string& text) const;

    HWND hWnd;
    WNDPROC baseProc;
    HFONT hFont;
    COLORREF crText;
    COLORREF crBackground;
    std::vector<std::string> columns;
};
