#pragma once

#include <cstddef>
#include <cstdint>

// The items of the check-box lists on the Columns and Copy option pages: the
// text of each, the column it stands for (item i is column i of its view), its
// tooltip and the copy bit of its value. The copy bits follow the value, not
// the item's position; bits no item stands for are kept as they are.
class OptionItems {
public:
    enum List { Processes = 0, Modules = 1 };
    // The process items after the first twelve stand for the live columns
    // (ids 12 to 15): their visible flags and copy bits are in LiveSettings.
    static const size_t kRecordProcessItems = 12;

    static size_t Count(List list);
    static bool IsLiveItem(List list, size_t item) { return list == Processes && item >= kRecordProcessItems && item < Count(list); }
    // String numbers of the item's text and of its tooltips on both pages.
    static unsigned TextString(List list, size_t item);
    static unsigned ColumnTipString(List list, size_t item);
    static unsigned CopyTipString(List list, size_t item);

    // The bit of the item in its mask: the record's copy mask, or for a live
    // item LiveSettings::dwCopyColumns.
    static uint32_t CopyBit(List list, size_t item);
    static bool IsCopied(uint32_t mask, List list, size_t item);
    static uint32_t SetCopied(uint32_t mask, List list, size_t item, bool copied);
    // Sets or clears the bits of every item of the list that the record's
    // mask holds (`live` false), or of every live item (`live` true).
    static uint32_t SetAllCopied(uint32_t mask, List list, bool copied, bool live = false);

    // The radio button a stored value shows: separators 1 Tab to 4 Space,
    // anything else Tab; delimiters 1 double quote to 3 none, anything else none.
    static uint8_t SeparatorChoice(uint8_t stored);
    static uint8_t DelimiterChoice(uint8_t stored);
};
