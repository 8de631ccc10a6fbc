#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The order of a view's rows: by a comparison, negated when descending; rows
// the comparison finds equal keep their list order (ascending) or its reverse
// (descending), so that the window and the console tool agree row for row.
class ViewSort {
public:
    template <class Item, class Compare>
    static std::vector<size_t> Order(const std::vector<const Item*>& items, Compare compare, bool ascending)
    {
        std::vector<size_t> order(items.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            int result = compare(*items[a], *items[b]);
            if (result == 0) result = a < b ? -1 : (a > b ? 1 : 0);
            return ascending ? result < 0 : result > 0;
        });
        return order;
    }

    // rank[i]: the position of row i in the sorted order.
    static std::vector<size_t> Ranks(const std::vector<size_t>& order)
    {
        std::vector<size_t> rank(order.size());
        for (size_t position = 0; position < order.size(); ++position) rank[order[position]] = position;
        return rank;
    }

    // Case-insensitive text comparison (ASCII letters folded, like _stricmp).
    static int CompareText(const std::string& a, const std::string& b);
    static int CompareUnsigned(uint32_t a, uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }
    static int CompareSigned(int32_t a, int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }
};
