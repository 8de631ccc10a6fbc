#pragma once

#include "views/ColumnTable.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <string>
#include <vector>

// The columns a view list shows: which column id sits at which list
// position, the stored display order and widths, and the header's sort arrow.
class ListViewColumns {
public:
    struct Header {
        uint32_t nId;
        std::string strText;
        ColumnAlign align;
    };

    // Inserts the columns in list position order with the stored widths, and
    // arranges them in the stored display order when it names exactly the
    // shown columns (ColumnOrderCheck); any other order, and the default
    // 0, 1, ..., capacity - 1, keeps the list order. `settings` holds
    // `capacity` columns by id, `order` as many entries. The list position of
    // each shown column goes to its setting's dwRuntime; the others get 0.
    void Setup(HWND list, const std::vector<Header>& headers, ColumnSetting* settings, uint32_t capacity,
               const uint32_t* order, uint32_t orderCount);
    void Clear() { ids.clear(); }

    size_t Count() const { return ids.size(); }
    // -1 when the position holds no column.
    int64_t IdAt(int position) const;
    // -1 when the column is not shown.
    int PositionOf(uint32_t id) const;
    bool IsShown(uint32_t id) const { return PositionOf(id) >= 0; }
    const std::vector<uint32_t>& Ids() const { return ids; }

    // The list's display order as column ids and their number (at most `capacity`).
    bool CaptureOrder(HWND list, uint32_t* order, uint32_t& count, uint32_t capacity) const;
    // Each shown column's width into its setting (`capacity` settings by id).
    void CaptureWidths(HWND list, ColumnSetting* settings, uint32_t capacity) const;
    // Arrow image 0 (ascending) or 1 (descending) on the sorted column's header, none on the others.
    void SetArrow(HWND list, uint32_t sortId, bool ascending) const;

    // Sorts the rows into `order` (indices into `params`, the rows' item data).
    static void SortRows(HWND list, const std::vector<LPARAM>& params, const std::vector<size_t>& order);

    static const int kDefaultWidth = 100;

private:
    std::vector<uint32_t> ids;
};
