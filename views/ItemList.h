#pragma once

#include "views/ColumnTable.h"
#include "views/ListViewColumns.h"
#include "views/RowPainter.h"
#include "views/ViewSort.h"
#include "app/menus/StringTable.h"
#include "app/settings/UserSettings.h"

#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <vector>

// What the process and module lists share: each row's item data points at
// its item, texts come from the view's column table on request, and the
// rows are sorted by moving them, not by re-inserting.
template <class Item>
class ItemList {
public:
    typedef std::vector<std::unique_ptr<Item>> Items;

    static Item* FromParam(LPARAM param) { return reinterpret_cast<Item*>(param); }

    // The table's columns the settings show, with their headers, widths and
    // stored order; `settings` and `order` hold `capacity` entries.
    static void SetupColumns(HWND list, const ColumnTable<Item>& table, ListViewColumns& columns, ColumnSetting* settings,
                             uint32_t capacity, const uint32_t* order, uint32_t orderCount, bool nt)
    {
        std::vector<ListViewColumns::Header> headers;
        for (uint32_t id : table.ShownColumns(settings, capacity, nt)) {
            const auto* column = table.Find(id);
            headers.push_back({id, StringTable::Load(column->nHeaderString), column->align});
        }
        columns.Setup(list, headers, settings, capacity, order, orderCount);
    }

    // Replaces the rows by one per item, texts on request; redraw is off
    // until the caller has sorted them and calls EndFill.
    static void BeginFill(HWND list, const Items& items)
    {
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(list, LVM_SETITEMCOUNT, items.size(), 0);
        int index = 0;
        for (const auto& item : items) {
            LVITEMA row = {};
            row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            row.iItem = index++;
            row.pszText = LPSTR_TEXTCALLBACKA;
            row.iImage = item->nImage;
            row.lParam = reinterpret_cast<LPARAM>(item.get());
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
        }
    }
    static void EndFill(HWND list)
    {
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }

    // Orders the rows by `less` (stable) and shows the arrow on `column`.
    template <class Less>
    static void Sort(HWND list, const Items& items, const ListViewColumns& columns, uint32_t column, bool ascending,
                     Less less)
    {
        std::vector<const Item*> rows;
        std::vector<LPARAM> params;
        for (const auto& item : items) {
            rows.push_back(item.get());
            params.push_back(reinterpret_cast<LPARAM>(item.get()));
        }
        ListViewColumns::SortRows(list, params, ViewSort::Order(rows, less, ascending));
        columns.SetArrow(list, column, ascending);
    }

    // A header click on column `id`: the same column again flips the
    // direction, another one sorts ascending by it.
    static void ClickSort(SortState& sort, int64_t id)
    {
        if (sort.nSortColumn == id) {
            sort.bAscending = sort.bAscending ? 0 : 1;
        } else {
            sort.nSortColumn = static_cast<int32_t>(id);
            sort.bAscending = 1;
        }
    }

    // The text of a row's cell; false when the request asks for none.
    static bool GetDispInfo(NMLVDISPINFOA& info, const ColumnTable<Item>& table, const ListViewColumns& columns)
    {
        if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return false;
        const Item* item = FromParam(info.item.lParam);
        if (!item) {
            LVITEMA query = {};
            query.mask = LVIF_PARAM;
            query.iItem = info.item.iItem;
            if (SendMessageA(info.hdr.hwndFrom, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
                item = FromParam(query.lParam);
        }
        const int64_t id = columns.IdAt(info.item.iSubItem);
        if (!item || id < 0) {
            info.item.pszText[0] = '\0';
            return true;
        }
        lstrcpynA(info.item.pszText, table.Text(*item, static_cast<uint32_t>(id)).c_str(), info.item.cchTextMax);
        return true;
    }

    // The cells and picture of an owner-drawn row; the caller adds the colours.
    static RowPainter::Row PaintedRow(const Item& item, const ColumnTable<Item>& table, const ListViewColumns& columns,
                                      HIMAGELIST images)
    {
        RowPainter::Row row;
        for (uint32_t id : columns.Ids()) row.cells.push_back({&table.Text(item, id), table.Find(id)->align});
        row.hImages = images;
        row.nImage = item.nImage;
        return row;
    }
};
