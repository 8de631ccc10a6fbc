#include "views/ColumnOrderCheck.h"

#include <algorithm>

bool ColumnOrderCheck::Fits(const uint32_t* order, uint32_t count, uint32_t capacity,
                            const std::vector<uint32_t>& shown)
{
    if (!order || count == 0 || count > capacity || count != shown.size()) return false;
    std::vector<bool> seen(shown.size(), false);
    for (uint32_t i = 0; i < count; ++i) {
        const auto at = std::find(shown.begin(), shown.end(), order[i]);
        if (at == shown.end()) return false;
        const size_t position = static_cast<size_t>(at - shown.begin());
        if (seen[position]) return false;
        seen[position] = true;
    }
    return true;
}
