#include "app/settings/UserSettingsCheck.h"

#include <cstring>

namespace {

const uint32_t kColumns = 12;

template <size_t N>
bool Terminated(const char (&text)[N])
{
    return std::memchr(text, 0, N) != nullptr;
}

int RepairColumns(ColumnSetting* columns, const ColumnSetting* defaults)
{
    int repaired = 0;
    for (uint32_t i = 0; i < kColumns; ++i)
        if (columns[i].nColumnId >= kColumns) {
            columns[i].nColumnId = defaults[i].nColumnId;
            ++repaired;
        }
    return repaired;
}

int RepairOrder(uint32_t* order, uint32_t& count, const uint32_t* defaultOrder, uint32_t defaultCount)
{
    bool bad = count > kColumns;
    for (uint32_t i = 0; i < kColumns && !bad; ++i) bad = order[i] >= kColumns;
    if (!bad) return 0;
    std::memcpy(order, defaultOrder, kColumns * sizeof(uint32_t));
    count = defaultCount;
    return 1;
}

int RepairSort(SortState& sort, const SortState& defaults, bool withMode)
{
    int repaired = 0;
    if (sort.nSortColumn < 0 || sort.nSortColumn >= static_cast<int32_t>(kColumns)) {
        sort.nSortColumn = defaults.nSortColumn;
        sort.bAscending = defaults.bAscending;
        ++repaired;
    }
    if (withMode && sort.nSortMode > 4) {
        sort.nSortMode = defaults.nSortMode;
        ++repaired;
    }
    return repaired;
}

} // namespace

int UserSettingsCheck::Repair(UserSettings& s, const UserSettings& d)
{
    int repaired = 0;
    repaired += RepairColumns(s.aProcessColumns, d.aProcessColumns);
    repaired += RepairColumns(s.aModuleColumns, d.aModuleColumns);
    repaired += RepairOrder(s.anProcessColumnOrder, s.nProcessColumnCount, d.anProcessColumnOrder,
                            d.nProcessColumnCount);
    repaired += RepairOrder(s.anModuleColumnOrder, s.nModuleColumnCount, d.anModuleColumnOrder,
                            d.nModuleColumnCount);
    repaired += RepairSort(s.ssProcessSort, d.ssProcessSort, false);
    repaired += RepairSort(s.ssModuleSort, d.ssModuleSort, true);
    if (!Terminated(s.szDateFormat)) {
        std::memcpy(s.szDateFormat, d.szDateFormat, sizeof(s.szDateFormat));
        ++repaired;
    }
    if (!Terminated(s.szTimeFormat)) {
        std::memcpy(s.szTimeFormat, d.szTimeFormat, sizeof(s.szTimeFormat));
        ++repaired;
    }
    if (!Terminated(s.lfViewFont.lfFaceName)) {
        s.lfViewFont = d.lfViewFont;
        ++repaired;
    }
    return repaired;
}
