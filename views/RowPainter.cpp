#include "views/RowPainter.h"

#include <vector>

namespace {
const int kIconSize = 16;
const int kTextMargin = 4;
} // namespace

void RowPainter::Draw(const DRAWITEMSTRUCT& item, HWND list, const Row& row)
{
    const RECT& bounds = item.rcItem;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return;

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = GetFocus() == list;
    COLORREF back = row.crBackground;
    COLORREF text = row.crText;
    if (selected) {
        back = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_3DLIGHT);
        text = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    }

    HDC memory = CreateCompatibleDC(item.hDC);
    HBITMAP bitmap = CreateCompatibleBitmap(item.hDC, width, height);
    if (!memory || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (memory) DeleteDC(memory);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(memory, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkColor(memory, back);
    RECT all = {0, 0, width, height};
    ExtTextOutA(memory, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
    SetTextColor(memory, text);
    SetBkMode(memory, TRANSPARENT);

    // Cells in display order, from the row's left edge (already scrolled).
    const int columns = static_cast<int>(row.cells.size());
    std::vector<int> order(static_cast<size_t>(columns));
    if (columns == 0
        || !SendMessageA(list, LVM_GETCOLUMNORDERARRAY, columns, reinterpret_cast<LPARAM>(order.data())))
        for (int i = 0; i < columns; ++i) order[static_cast<size_t>(i)] = i;
    int x = 0;
    for (int index : order) {
        if (index < 0 || index >= columns) continue;
        const int cellWidth = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, index, 0));
        RECT cell = {x, 0, x + cellWidth, height};
        x += cellWidth;
        if (cellWidth <= 0) continue;
        if (index == 0 && row.hImages && row.nImage >= 0) {
            ImageList_Draw(row.hImages, row.nImage, memory, cell.left + 2, (height - kIconSize) / 2,
                           ILD_TRANSPARENT);
            cell.left += kIconSize + 2;
        }
        const Cell& content = row.cells[static_cast<size_t>(index)];
        const char* shown = content.text && !content.text->empty() ? content.text->c_str() : "<Null>";
        RECT textRect = {cell.left + kTextMargin, 0, cell.right - kTextMargin, height};
        if (textRect.right > textRect.left)
            DrawTextA(memory, shown, -1, &textRect,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS
                          | (content.align == ColumnAlign::Right ? DT_RIGHT : DT_LEFT));
    }
    if (item.itemState & ODS_FOCUS) {
        SetTextColor(memory, RGB(0, 0, 0));
        SetBkColor(memory, RGB(255, 255, 255));
        DrawFocusRect(memory, &all);
    }
    BitBlt(item.hDC, bounds.left, bounds.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}
