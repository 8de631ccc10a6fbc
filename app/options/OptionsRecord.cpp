#include "app/options/OptionsRecord.h"

#include <cstddef>
#include <cstring>

namespace {

const uint32_t kColumns = 12;

// The record is packed: fields are compared and copied as bytes.
class Taker {
public:
    Taker(const UserSettings& edited, UserSettings& target)
        : from(reinterpret_cast<const char*>(&edited)), to(reinterpret_cast<char*>(&target))
    {
    }
    bool Take(size_t offset, size_t size) const
    {
        if (std::memcmp(to + offset, from + offset, size) == 0) return false;
        std::memcpy(to + offset, from + offset, size);
        return true;
    }
    // The visible flags only: widths, positions and ids stay the view's.
    bool TakeVisible(size_t columnsOffset) const
    {
        bool changed = false;
        for (uint32_t i = 0; i < kColumns; ++i)
            changed |= Take(columnsOffset + i * sizeof(ColumnSetting) + offsetof(ColumnSetting, bVisible), 1);
        return changed;
    }

private:
    const char* from;
    char* to;
};

#define TW_TAKE(field) taker.Take(offsetof(UserSettings, field), sizeof(static_cast<UserSettings*>(nullptr)->field))

const uint32_t kNaturalOrder[kColumns] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

} // namespace

unsigned OptionsRecord::TakeBack(const UserSettings& edited, UserSettings& target)
{
    const Taker taker(edited, target);
    unsigned changes = 0;
    auto flag = [&changes](bool changed, Change change) {
        if (changed) changes |= change;
    };

    bool bars = TW_TAKE(bShowToolbar);
    bars |= TW_TAKE(bShowInfobar);
    bars |= TW_TAKE(bShowStatusbar);
    flag(bars, kBars);
    flag(TW_TAKE(lfViewFont), kFont);
    flag(TW_TAKE(bResolveProcessDependencies), kNesting);
    bool highlights = TW_TAKE(bHighlightServices);
    highlights |= TW_TAKE(bHighlightDynamicLoads);
    flag(highlights, kHighlights);
    flag(TW_TAKE(bEnableTooltips), kTooltips);
    flag(TW_TAKE(bHideWhenMinimized), kHideWhenMinimized);

    if (taker.TakeVisible(offsetof(UserSettings, aProcessColumns))) {
        std::memcpy(target.anProcessColumnOrder, kNaturalOrder, sizeof(kNaturalOrder));
        target.nProcessColumnCount = kColumns;
        changes |= kProcessColumns;
    }
    if (taker.TakeVisible(offsetof(UserSettings, aModuleColumns))) {
        std::memcpy(target.anModuleColumnOrder, kNaturalOrder, sizeof(kNaturalOrder));
        target.nModuleColumnCount = kColumns;
        changes |= kModuleColumns;
    }

    bool viewColors = TW_TAKE(crText);
    viewColors |= TW_TAKE(crBackground);
    viewColors |= TW_TAKE(crServices);
    viewColors |= TW_TAKE(crDynamicLoads);
    flag(viewColors, kViewColors);
    bool cpuColors = TW_TAKE(crCpuText);
    cpuColors |= TW_TAKE(crCpuBackground);
    cpuColors |= TW_TAKE(crCpuGraph);
    flag(cpuColors, kCpuColors);

    bool formats = TW_TAKE(bDateUseDefault);
    formats |= TW_TAKE(bDateLong);
    formats |= TW_TAKE(szDateFormat);
    formats |= TW_TAKE(bTimeUseDefault);
    formats |= TW_TAKE(szTimeFormat);
    flag(formats, kFormats);

    bool copy = TW_TAKE(dwCopyProcessColumns);
    copy |= TW_TAKE(dwCopyModuleColumns);
    copy |= TW_TAKE(nCopySeparator);
    copy |= TW_TAKE(nCopyDelimiter);
    flag(copy, kCopy);
    return changes;
}

unsigned OptionsRecord::TakeBack(const UserSettings& edited, const LiveSettings& editedLive, UserSettings& target,
                                 LiveSettings& targetLive)
{
    unsigned changes = TakeBack(edited, target);
    auto take = [](uint32_t& to, uint32_t from) {
        const bool changed = to != from;
        to = from;
        return changed;
    };
    bool colors = take(targetLive.bHighlightChanges, editedLive.bHighlightChanges);
    colors |= take(targetLive.crNewProcesses, editedLive.crNewProcesses);
    colors |= take(targetLive.crEndedProcesses, editedLive.crEndedProcesses);
    if (colors) changes |= kViewColors;
    bool columns = false;
    for (uint32_t i = 0; i < LiveSettings::kColumns; ++i) {
        columns |= targetLive.aColumns[i].bVisible != editedLive.aColumns[i].bVisible;
        targetLive.aColumns[i].bVisible = editedLive.aColumns[i].bVisible;
    }
    if (columns) changes |= kProcessColumns;
    if (changes & kProcessColumns) targetLive.nColumnOrderCount = 0;
    if (take(targetLive.dwCopyColumns, editedLive.dwCopyColumns)) changes |= kCopy;
    return changes;
}
