#include "views/OptionItems.h"

#include "report/ClipboardCopy.h"

namespace {

const unsigned kProcessTexts[16] = {8, 169, 170, 14, 167, 168, 173, 171, 172, 166, 174, 175, 203, 204, 205, 206};
const unsigned kModuleTexts[9] = {11, 12, 13, 14, 167, 168, 15, 176, 177};
// The Name and Module columns are always shown: no tip of their own.
const unsigned kProcessColumnTips[16] = {0, 98, 99, 106, 178, 180, 100, 147, 138, 179, 101, 102, 207, 208, 209, 210};
const unsigned kModuleColumnTips[9] = {0, 103, 105, 106, 178, 180, 104, 107, 108};
const unsigned kProcessCopyTips[16] = {120, 121, 122, 128, 182, 181, 123, 148, 141, 183, 124, 125,
                                       211, 212, 213, 214};
const unsigned kModuleCopyTips[9] = {126, 127, 185, 128, 182, 181, 184, 129, 130};

template <size_t N>
unsigned At(const unsigned (&table)[N], size_t item)
{
    return item < N ? table[item] : 0;
}

} // namespace

size_t OptionItems::Count(List list)
{
    return list == Processes ? 16 : 9;
}

unsigned OptionItems::TextString(List list, size_t item)
{
    return list == Processes ? At(kProcessTexts, item) : At(kModuleTexts, item);
}

unsigned OptionItems::ColumnTipString(List list, size_t item)
{
    return list == Processes ? At(kProcessColumnTips, item) : At(kModuleColumnTips, item);
}

unsigned OptionItems::CopyTipString(List list, size_t item)
{
    return list == Processes ? At(kProcessCopyTips, item) : At(kModuleCopyTips, item);
}

uint32_t OptionItems::CopyBit(List list, size_t item)
{
    if (item >= Count(list)) return 0;
    if (IsLiveItem(list, item)) return 1u << (item - kRecordProcessItems);
    return list == Processes ? ClipboardCopy::kProcessBits[item] : ClipboardCopy::kModuleBits[item];
}

bool OptionItems::IsCopied(uint32_t mask, List list, size_t item)
{
    const uint32_t bit = CopyBit(list, item);
    return bit && (mask & bit) != 0;
}

uint32_t OptionItems::SetCopied(uint32_t mask, List list, size_t item, bool copied)
{
    const uint32_t bit = CopyBit(list, item);
    return copied ? (mask | bit) : (mask & ~bit);
}

uint32_t OptionItems::SetAllCopied(uint32_t mask, List list, bool copied, bool live)
{
    for (size_t item = 0; item < Count(list); ++item)
        if (IsLiveItem(list, item) == live) mask = SetCopied(mask, list, item, copied);
    return mask;
}

uint8_t OptionItems::SeparatorChoice(uint8_t stored)
{
    return stored >= 1 && stored <= 4 ? stored : 1;
}

uint8_t OptionItems::DelimiterChoice(uint8_t stored)
{
    return stored >= 1 && stored <= 3 ? stored : 3;
}
