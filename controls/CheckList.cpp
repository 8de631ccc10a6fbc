#include "controls/CheckList.h"

namespace {
const UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);
const UINT kChecked = INDEXTOSTATEIMAGEMASK(2);
} // namespace

void CheckList::Attach(HWND list)
{
    hList = list;
    if (!hList) return;
    SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    RECT client;
    GetClientRect(hList, &client);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageA(hList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

int CheckList::Add(const std::string& text, bool checked)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<char*>(text.c_str());
    const int index = static_cast<int>(SendMessageA(hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index >= 0) SetChecked(index, checked);
    return index;
}

int CheckList::Count() const
{
    return hList ? static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

bool CheckList::IsChecked(int item) const
{
    return (SendMessageA(hList, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK)
            & LVIS_STATEIMAGEMASK)
           == kChecked;
}

void CheckList::SetChecked(int item, bool checked)
{
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = checked ? kChecked : kUnchecked;
    SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

int CheckList::CheckChange(const NMLISTVIEW& change, bool& checked)
{
    if (change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return -1;
    const UINT now = change.uNewState & LVIS_STATEIMAGEMASK;
    if (now == (change.uOldState & LVIS_STATEIMAGEMASK) || (now != kChecked && now != kUnchecked)) return -1;
    checked = now == kChecked;
    return change.iItem;
}
