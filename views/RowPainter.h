#pragma once

#include "views/ColumnTable.h"

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

// Paints one row of an owner-drawn view list: the cells in display order,
// the item's icon in the first column, "<Null>" for an empty cell, the
// selection in the system colours (a lighter look while the list has no
// focus) and a focus rectangle. The row is drawn off-screen and copied.
class RowPainter {
public:
    struct Cell {
        const std::string* text;
        ColumnAlign align;
    };
    struct Row {
        std::vector<Cell> cells; // by list position (column index)
        HIMAGELIST hImages;
        int nImage;
        COLORREF crText;
        COLORREF crBackground;
    };

    static void Draw(const DRAWITEMSTRUCT& item, HWND list, const Row& row);
};
