#include "views/ListViewColumns.h"
#include "views/ColumnOrderCheck.h"

#include <map>

void ListViewColumns::Setup(HWND list, const std::vector<Header>& headers, ColumnSetting* settings, uint32_t capacity,
                            const uint32_t* order, uint32_t orderCount)
{
    ids.clear();
    for (uint32_t i = 0; i < capacity; ++i) settings[i].dwRuntime = 0;
    for (const Header& header : headers) {
        if (header.nId >= capacity) continue;
        ColumnSetting& setting = settings[header.nId];
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = header.align == ColumnAlign::Right && !ids.empty() ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = setting.nWidth ? static_cast<int>(setting.nWidth) : kDefaultWidth;
        column.pszText = const_cast<char*>(header.strText.c_str());
        column.iSubItem = static_cast<int>(ids.size());
        const int position = static_cast<int>(ids.size());
        if (SendMessageA(list, LVM_INSERTCOLUMNA, position, reinterpret_cast<LPARAM>(&column)) != position) continue;
        setting.dwRuntime = static_cast<uint32_t>(position);
        setting.nColumnId = header.nId;
        ids.push_back(header.nId);
    }

    // The stored display order, only when it arranges exactly the shown
    // columns; the default order (every id in turn) stands for the family's
    // own order.
    bool identity = order && orderCount == capacity;
    for (uint32_t i = 0; identity && i < orderCount; ++i) identity = order[i] == i;
    if (identity || !ColumnOrderCheck::Fits(order, orderCount, capacity, ids)) return;
    std::vector<int> positions;
    for (uint32_t i = 0; i < orderCount; ++i) positions.push_back(PositionOf(order[i]));
    SendMessageA(list, LVM_SETCOLUMNORDERARRAY, positions.size(), reinterpret_cast<LPARAM>(positions.data()));
}

int64_t ListViewColumns::IdAt(int position) const
{
    if (position < 0 || static_cast<size_t>(position) >= ids.size()) return -1;
    return ids[static_cast<size_t>(position)];
}

int ListViewColumns::PositionOf(uint32_t id) const
{
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id) return static_cast<int>(i);
    return -1;
}

bool ListViewColumns::CaptureOrder(HWND list, uint32_t* order, uint32_t& count, uint32_t capacity) const
{
    if (!list || ids.empty()) return false;
    std::vector<int> positions(ids.size());
    if (!SendMessageA(list, LVM_GETCOLUMNORDERARRAY, positions.size(), reinterpret_cast<LPARAM>(positions.data())))
        return false;
    uint32_t written = 0;
    for (int position : positions) {
        const int64_t id = IdAt(position);
        if (id < 0 || written >= capacity) continue;
        order[written++] = static_cast<uint32_t>(id);
    }
    count = written;
    return true;
}

void ListViewColumns::CaptureWidths(HWND list, ColumnSetting* settings, uint32_t capacity) const
{
    if (!list) return;
    for (size_t position = 0; position < ids.size(); ++position) {
        if (ids[position] >= capacity) continue;
        const LRESULT width = SendMessageA(list, LVM_GETCOLUMNWIDTH, position, 0);
        if (width > 0) settings[ids[position]].nWidth = static_cast<uint32_t>(width);
    }
}

void ListViewColumns::SetArrow(HWND list, uint32_t sortId, bool ascending) const
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (!header) return;
    const int sorted = PositionOf(sortId);
    for (int position = 0; position < static_cast<int>(ids.size()); ++position) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, position, reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT | HDF_BITMAP);
        if (position == sorted) {
            item.mask |= HDI_IMAGE;
            item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
            item.iImage = ascending ? 0 : 1;
        }
        SendMessageA(header, HDM_SETITEMA, position, reinterpret_cast<LPARAM>(&item));
    }
}

namespace {
int CALLBACK CompareRanks(LPARAM a, LPARAM b, LPARAM ranks)
{
    const std::map<LPARAM, size_t>& rank = *reinterpret_cast<const std::map<LPARAM, size_t>*>(ranks);
    auto x = rank.find(a);
    auto y = rank.find(b);
    const size_t ra = x == rank.end() ? 0 : x->second;
    const size_t rb = y == rank.end() ? 0 : y->second;
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}
} // namespace

void ListViewColumns::SortRows(HWND list, const std::vector<LPARAM>& params, const std::vector<size_t>& order)
{
    std::map<LPARAM, size_t> rank;
    for (size_t position = 0; position < order.size(); ++position) rank[params[order[position]]] = position;
    SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&rank), reinterpret_cast<LPARAM>(CompareRanks));
}
