#include "views/ProcessColumnSettings.h"

#include "views/ColumnOrderCheck.h"

namespace {
const uint32_t kOld = LiveSettings::kFirstColumn;
} // namespace

void ProcessColumnSettings::Get(ColumnSetting (&all)[kCount]) const
{
    for (uint32_t id = 0; id < kOld; ++id) all[id] = settings.aProcessColumns[id];
    for (uint32_t id = kOld; id < kCount; ++id) {
        const LiveColumn& column = live.Column(id);
        all[id].bVisible = column.bVisible;
        all[id].nWidth = column.nWidth;
        all[id].dwRuntime = column.dwRuntime;
        all[id].nColumnId = id;
    }
}

void ProcessColumnSettings::Put(const ColumnSetting (&all)[kCount])
{
    for (uint32_t id = 0; id < kOld; ++id) settings.aProcessColumns[id] = all[id];
    for (uint32_t id = kOld; id < kCount; ++id) {
        LiveColumn& column = live.Column(id);
        column.bVisible = all[id].bVisible;
        column.nWidth = all[id].nWidth;
        column.dwRuntime = all[id].dwRuntime;
    }
}

std::vector<uint32_t> ProcessColumnSettings::DisplayOrder(const std::vector<uint32_t>& shown) const
{
    if (ColumnOrderCheck::Fits(live.anColumnOrder, live.nColumnOrderCount, kCount, shown))
        return std::vector<uint32_t>(live.anColumnOrder, live.anColumnOrder + live.nColumnOrderCount);
    std::vector<uint32_t> oldShown, newShown;
    for (uint32_t id : shown) (id < kOld ? oldShown : newShown).push_back(id);
    const uint32_t* order = settings.anProcessColumnOrder;
    const uint32_t count = settings.nProcessColumnCount;
    bool identity = count == kOld;
    for (uint32_t i = 0; identity && i < count; ++i) identity = order[i] == i;
    if (identity || !ColumnOrderCheck::Fits(order, count, kOld, oldShown)) return std::vector<uint32_t>();
    std::vector<uint32_t> display(order, order + count);
    display.insert(display.end(), newShown.begin(), newShown.end());
    return display;
}

void ProcessColumnSettings::PutDisplayOrder(const std::vector<uint32_t>& displayed)
{
    uint32_t written = 0;
    bool hasNew = false;
    for (uint32_t id : displayed) {
        if (id >= kOld) {
            hasNew = hasNew || id < kCount;
            continue;
        }
        if (written < kOld) settings.anProcessColumnOrder[written++] = id;
    }
    settings.nProcessColumnCount = written;
    live.nColumnOrderCount = 0;
    if (!hasNew || displayed.size() > kCount) return;
    for (uint32_t i = 0; i < kCount; ++i) live.anColumnOrder[i] = i < displayed.size() ? displayed[i] : 0;
    live.nColumnOrderCount = static_cast<uint32_t>(displayed.size());
}

SortState ProcessColumnSettings::Sort() const
{
    SortState sort = settings.ssProcessSort;
    if (LiveSettings::IsLiveColumn(live.nSortColumn)) {
        sort.nSortColumn = static_cast<int32_t>(live.nSortColumn);
        sort.bAscending = live.bSortAscending;
    }
    return sort;
}

void ProcessColumnSettings::PutSort(const SortState& sort)
{
    if (sort.nSortColumn >= 0 && LiveSettings::IsLiveColumn(static_cast<uint32_t>(sort.nSortColumn))) {
        live.nSortColumn = static_cast<uint32_t>(sort.nSortColumn);
        live.bSortAscending = sort.bAscending ? 1 : 0;
        return;
    }
    live.nSortColumn = LiveSettings::kNoSortColumn;
    settings.ssProcessSort.nSortColumn = sort.nSortColumn;
    settings.ssProcessSort.bAscending = sort.bAscending;
}
