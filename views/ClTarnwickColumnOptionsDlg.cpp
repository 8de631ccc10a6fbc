#include "views/ClTarnwickColumnOptionsDlg.h"

#include "app/menus/StringTable.h"
#include "app/res/resource.h"

const char ClTarnwickColumnOptionsDlg::kTemplateName[] = "CLTARNWICKCOLUMNOPTIONSDLG";

namespace {
const int kListIds[2] = {IDC_COLUMNS_PROCESSES, IDC_COLUMNS_MODULES};
const int kAllIds[2] = {IDC_COLUMNS_PROCESSES_ALL, IDC_COLUMNS_MODULES_ALL};
const int kNoneIds[2] = {IDC_COLUMNS_PROCESSES_NONE, IDC_COLUMNS_MODULES_NONE};
} // namespace

ClTarnwickColumnOptionsDlg::ClTarnwickColumnOptionsDlg(UserSettings& settings, LiveSettings& live)
    : settings(settings), live(live)
{
}

ClTarnwickColumnOptionsDlg::~ClTarnwickColumnOptionsDlg()
{
    Destroy();
}

uint8_t& ClTarnwickColumnOptionsDlg::Visible(OptionItems::List list, size_t item)
{
    if (OptionItems::IsLiveItem(list, item)) return live.Column(static_cast<uint32_t>(item)).bVisible;
    return (list == OptionItems::Processes ? settings.aProcessColumns : settings.aModuleColumns)[item].bVisible;
}

void ClTarnwickColumnOptionsDlg::OnInitPage()
{
    for (int l = 0; l < 2; ++l) {
        const auto list = static_cast<OptionItems::List>(l);
        lists[l].Attach(Item(kListIds[l]));
        for (size_t item = 0; item < OptionItems::Count(list); ++item)
            lists[l].Add(StringTable::Load(OptionItems::TextString(list, item)), Visible(list, item) != 0);
    }
}

bool ClTarnwickColumnOptionsDlg::OnCommand(WORD id, WORD code, HWND)
{
    if (code != BN_CLICKED) return false;
    for (int l = 0; l < 2; ++l) {
        if (id == kAllIds[l]) SetAll(static_cast<OptionItems::List>(l), true);
        else if (id == kNoneIds[l]) SetAll(static_cast<OptionItems::List>(l), false);
        else continue;
        return true;
    }
    return false;
}

void ClTarnwickColumnOptionsDlg::SetAll(OptionItems::List list, bool visible)
{
    // The notifications of each check change the settings.
    for (int item = 0; item < lists[list].Count(); ++item) lists[list].SetChecked(item, visible || item == 0);
}

bool ClTarnwickColumnOptionsDlg::OnNotify(NMHDR& header, LRESULT& result)
{
    int l = 0;
    while (l < 2 && header.idFrom != static_cast<UINT_PTR>(kListIds[l])) ++l;
    if (l == 2 || bFilling) return false;
    const auto list = static_cast<OptionItems::List>(l);
    switch (header.code) {
    case LVN_GETINFOTIPA: {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPA&>(header);
        const unsigned text = TooltipsOn() ? OptionItems::ColumnTipString(list, static_cast<size_t>(tip.iItem)) : 0;
        if (text && tip.pszText && tip.cchTextMax > 0)
            lstrcpynA(tip.pszText, StringTable::Load(text).c_str(), tip.cchTextMax);
        return true;
    }
    case LVN_ITEMCHANGING: {
        // The first column cannot be hidden.
        bool checked = false;
        const int item = CheckList::CheckChange(reinterpret_cast<NMLISTVIEW&>(header), checked);
        result = item == 0 && !checked ? TRUE : FALSE;
        return true;
    }
    case LVN_ITEMCHANGED: {
        bool checked = false;
        const int item = CheckList::CheckChange(reinterpret_cast<NMLISTVIEW&>(header), checked);
        if (item < 0 || static_cast<size_t>(item) >= OptionItems::Count(list)) return true;
        uint8_t& visible = Visible(list, static_cast<size_t>(item));
        if ((visible != 0) != checked) {
            visible = checked ? 1 : 0;
            MarkChanged();
        }
        return true;
    }
    default:
        return false;
    }
}
