#pragma once

#include <windows.h>
#include <vector>

// The item data (lParam) of a list view's selected rows.
class ListSelection {
public:
    // Every selected row, top to bottom.
    static std::vector<LPARAM> All(HWND list);
    // The row with the selection mark when it is selected, else the first
    // selected row; empty when nothing is selected.
    static std::vector<LPARAM> Marked(HWND list);
};
