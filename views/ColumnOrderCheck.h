#pragma once

#include <cstdint>
#include <vector>

// Whether a stored column order fits the columns a list shows: its count
// equals their number (at most `capacity`, the size of the stored array) and
// its first `count` entries name each shown column exactly once. Any other
// order is not used: the list keeps its own order.
class ColumnOrderCheck {
public:
    static bool Fits(const uint32_t* order, uint32_t count, uint32_t capacity, const std::vector<uint32_t>& shown);
};
