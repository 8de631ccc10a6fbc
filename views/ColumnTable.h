#pragma once

#include "app/settings/UserSettings.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ColumnAlign { Left, Right };

// The columns of one view: header string, alignment, the item's text and its
// sort key, and the OS families that show the column. The GUI list and the
// console tool both read their columns from here.
template <class Item>
class ColumnTable {
public:
    static const unsigned kNtFamily = 1;
    static const unsigned k9xFamily = 2;
    static const uint32_t kMaxColumns = 16;

    struct Column {
        uint32_t nId;
        unsigned nHeaderString;
        ColumnAlign align;
        std::string Item::*text;
        // The column's sort key: <0, 0, >0 like strcmp.
        int (*compare)(const Item&, const Item&);
        unsigned families;
    };

    // `ntOrder` and `order9x`: the ids after the first column, in list order.
    ColumnTable(std::vector<Column> columns, std::vector<uint32_t> ntOrder, std::vector<uint32_t> order9x)
        : columns(std::move(columns)), ntOrder(std::move(ntOrder)), order9x(std::move(order9x))
    {
    }

    size_t Size() const { return columns.size(); }
    const Column* Find(uint32_t id) const
    {
        for (const Column& column : columns)
            if (column.nId == id) return &column;
        return nullptr;
    }

    // The ids the list shows, in list position order: the first column
    // always, then every column of the family's order whose setting is
    // visible. `settings` holds `count` columns by id; an id beyond them is
    // not shown. Without settings every column of the family is shown.
    std::vector<uint32_t> ShownColumns(const ColumnSetting* settings, size_t count, bool nt) const
    {
        std::vector<uint32_t> shown;
        if (columns.empty()) return shown;
        shown.push_back(columns.front().nId);
        for (uint32_t id : nt ? ntOrder : order9x) {
            const Column* column = Find(id);
            if (!column || id >= kMaxColumns) continue;
            if (!(column->families & (nt ? kNtFamily : k9xFamily))) continue;
            if (settings && (id >= count || !settings[id].bVisible)) continue;
            shown.push_back(id);
        }
        return shown;
    }
    template <size_t N>
    std::vector<uint32_t> ShownColumns(const ColumnSetting (&settings)[N], bool nt) const
    {
        return ShownColumns(settings, N, nt);
    }

    const std::string& Text(const Item& item, uint32_t id) const
    {
        static const std::string empty;
        const Column* column = Find(id);
        return column ? item.*(column->text) : empty;
    }

    int Compare(const Item& a, const Item& b, uint32_t id) const
    {
        const Column* column = Find(id);
        return column ? column->compare(a, b) : 0;
    }

private:
    std::vector<Column> columns;
    std::vector<uint32_t> ntOrder;
    std::vector<uint32_t> order9x;
};
