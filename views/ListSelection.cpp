#include "views/ListSelection.h"

#include <commctrl.h>

namespace {
LPARAM RowParam(HWND list, int index)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}
} // namespace

std::vector<LPARAM> ListSelection::All(HWND list)
{
    std::vector<LPARAM> rows;
    if (!list) return rows;
    int index = -1;
    while ((index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED)))
           >= 0) {
        if (const LPARAM param = RowParam(list, index)) rows.push_back(param);
    }
    return rows;
}

std::vector<LPARAM> ListSelection::Marked(HWND list)
{
    std::vector<LPARAM> rows;
    if (!list) return rows;
    int index = static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
    if (index < 0 || !(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) & LVIS_SELECTED))
        index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (index < 0) return rows;
    if (const LPARAM param = RowParam(list, index)) rows.push_back(param);
    return rows;
}
