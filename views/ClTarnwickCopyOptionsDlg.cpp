#include "views/ClTarnwickCopyOptionsDlg.h"

#include "app/menus/StringTable.h"
#include "app/res/resource.h"

const char ClTarnwickCopyOptionsDlg::kTemplateName[] = "CLTARNWICKCOPYOPTIONSDLG";

namespace {
const int kListIds[2] = {IDC_COPY_PROCESSES, IDC_COPY_MODULES};
const int kAllIds[2] = {IDC_COPY_PROCESSES_ALL, IDC_COPY_MODULES_ALL};
const int kNoneIds[2] = {IDC_COPY_PROCESSES_NONE, IDC_COPY_MODULES_NONE};
// Radio buttons in the order of the values they stand for (1, 2, ...), with their tips.
const int kSeparators[4] = {IDC_COPY_TAB, IDC_COPY_SEMICOLON, IDC_COPY_COMMA, IDC_COPY_SPACE};
const unsigned kSeparatorTips[4] = {131, 132, 133, 134};
const int kDelimiters[3] = {IDC_COPY_DOUBLEQUOTE, IDC_COPY_SINGLEQUOTE, IDC_COPY_NODELIMITER};
const unsigned kDelimiterTips[3] = {135, 136, 137};
} // namespace

ClTarnwickCopyOptionsDlg::ClTarnwickCopyOptionsDlg(UserSettings& settings, LiveSettings& live)
    : settings(settings), live(live)
{
}

ClTarnwickCopyOptionsDlg::~ClTarnwickCopyOptionsDlg()
{
    Destroy();
}

uint32_t ClTarnwickCopyOptionsDlg::Mask(OptionItems::List list, size_t item) const
{
    if (OptionItems::IsLiveItem(list, item)) return live.dwCopyColumns;
    return list == OptionItems::Processes ? settings.dwCopyProcessColumns : settings.dwCopyModuleColumns;
}

void ClTarnwickCopyOptionsDlg::SetMask(OptionItems::List list, size_t item, uint32_t mask)
{
    if (mask == Mask(list, item)) return;
    if (OptionItems::IsLiveItem(list, item)) live.dwCopyColumns = mask;
    else if (list == OptionItems::Processes) settings.dwCopyProcessColumns = mask;
    else settings.dwCopyModuleColumns = mask;
    MarkChanged();
}

void ClTarnwickCopyOptionsDlg::OnInitPage()
{
    for (int l = 0; l < 2; ++l) {
        const auto list = static_cast<OptionItems::List>(l);
        lists[l].Attach(Item(kListIds[l]));
        for (size_t item = 0; item < OptionItems::Count(list); ++item)
            lists[l].Add(StringTable::Load(OptionItems::TextString(list, item)),
                         OptionItems::IsCopied(Mask(list, item), list, item));
    }
    // Values outside the known ones show as Tab and None; they stay stored until a choice is made.
    const uint8_t separator = OptionItems::SeparatorChoice(settings.nCopySeparator);
    CheckRadioButton(hWnd, kSeparators[0], kSeparators[3], kSeparators[separator - 1]);
    const uint8_t delimiter = OptionItems::DelimiterChoice(settings.nCopyDelimiter);
    CheckRadioButton(hWnd, kDelimiters[0], kDelimiters[2], kDelimiters[delimiter - 1]);
    for (int i = 0; i < 4; ++i) AddTip(kSeparators[i], kSeparatorTips[i]);
    for (int i = 0; i < 3; ++i) AddTip(kDelimiters[i], kDelimiterTips[i]);
}

void ClTarnwickCopyOptionsDlg::ShowChecks(OptionItems::List list)
{
    bFilling = true;
    for (int item = 0; item < lists[list].Count(); ++item)
        lists[list].SetChecked(item, OptionItems::IsCopied(Mask(list, static_cast<size_t>(item)), list,
                                                           static_cast<size_t>(item)));
    bFilling = false;
}

bool ClTarnwickCopyOptionsDlg::OnCommand(WORD id, WORD code, HWND)
{
    if (code != BN_CLICKED) return false;
    for (int l = 0; l < 2; ++l) {
        const auto list = static_cast<OptionItems::List>(l);
        if (id != kAllIds[l] && id != kNoneIds[l]) continue;
        const bool all = id == kAllIds[l];
        SetMask(list, 0, OptionItems::SetAllCopied(Mask(list, 0), list, all));
        if (list == OptionItems::Processes) {
            const size_t first = OptionItems::kRecordProcessItems;
            SetMask(list, first, OptionItems::SetAllCopied(Mask(list, first), list, all, true));
        }
        ShowChecks(list);
        return true;
    }
    for (int i = 0; i < 4; ++i)
        if (id == kSeparators[i]) {
            if (settings.nCopySeparator != i + 1) MarkChanged();
            settings.nCopySeparator = static_cast<uint8_t>(i + 1);
            return true;
        }
    for (int i = 0; i < 3; ++i)
        if (id == kDelimiters[i]) {
            if (settings.nCopyDelimiter != i + 1) MarkChanged();
            settings.nCopyDelimiter = static_cast<uint8_t>(i + 1);
            return true;
        }
    return false;
}

bool ClTarnwickCopyOptionsDlg::OnNotify(NMHDR& header, LRESULT&)
{
    int l = 0;
    while (l < 2 && header.idFrom != static_cast<UINT_PTR>(kListIds[l])) ++l;
    if (l == 2 || bFilling) return false;
    const auto list = static_cast<OptionItems::List>(l);
    if (header.code == LVN_GETINFOTIPA) {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPA&>(header);
        const unsigned text = TooltipsOn() ? OptionItems::CopyTipString(list, static_cast<size_t>(tip.iItem)) : 0;
        if (text && tip.pszText && tip.cchTextMax > 0)
            lstrcpynA(tip.pszText, StringTable::Load(text).c_str(), tip.cchTextMax);
        return true;
    }
    if (header.code != LVN_ITEMCHANGED) return false;
    bool checked = false;
    const int item = CheckList::CheckChange(reinterpret_cast<NMLISTVIEW&>(header), checked);
    if (item < 0) return true;
    const size_t at = static_cast<size_t>(item);
    SetMask(list, at, OptionItems::SetCopied(Mask(list, at), list, at, checked));
    return true;
}
