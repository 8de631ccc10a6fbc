#include "tests/e2e/RemoteListView.h"

#include "tests/e2e/Input.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/RemoteBuffer.h"

namespace {
const size_t kTextOffset = 256;
const size_t kTextSize = 2048;

std::string ReadText(const Window& list, const RemoteBuffer& buffer, int item, int column)
{
    LVITEMA query = {};
    query.iSubItem = column;
    query.pszText = buffer.Pointer(kTextOffset);
    query.cchTextMax = static_cast<int>(kTextSize - 1);
    buffer.Put(0, query);
    buffer.Put(kTextOffset, '\0');
    list.Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), buffer.At());
    return buffer.String(kTextOffset);
}
} // namespace

int RemoteListView::Count() const
{
    return static_cast<int>(wList.Send(LVM_GETITEMCOUNT));
}

Window RemoteListView::Header() const
{
    return Window(reinterpret_cast<HWND>(wList.Send(LVM_GETHEADER)));
}

int RemoteListView::ColumnCount() const
{
    const Window header = Header();
    if (!header) return 1;
    return static_cast<int>(header.Send(HDM_GETITEMCOUNT));
}

std::string RemoteListView::Text(int item, int column) const
{
    RemoteBuffer buffer(wList.Pid(), kTextOffset + kTextSize);
    return buffer ? ReadText(wList, buffer, item, column) : std::string();
}

ListRow RemoteListView::Row(int item) const
{
    ListRow row;
    RemoteBuffer buffer(wList.Pid(), kTextOffset + kTextSize);
    if (!buffer) return row;
    const int columns = ColumnCount();
    for (int column = 0; column < columns; ++column) row.texts.push_back(ReadText(wList, buffer, item, column));

    LVITEMA query = {};
    query.mask = LVIF_IMAGE | LVIF_INDENT | LVIF_PARAM | LVIF_STATE;
    query.iItem = item;
    query.stateMask = 0xFFFFFFFF;
    buffer.Put(0, query);
    if (wList.Send(LVM_GETITEMA, 0, buffer.At())) {
        LVITEMA answer = {};
        buffer.Get(0, answer);
        row.image = answer.iImage;
        row.indent = answer.iIndent;
        row.param = answer.lParam;
        row.state = answer.state;
    }
    row.selected = (row.state & LVIS_SELECTED) != 0;
    row.focused = (row.state & LVIS_FOCUSED) != 0;
    return row;
}

std::vector<ListRow> RemoteListView::Rows() const
{
    std::vector<ListRow> rows;
    const int count = Count();
    for (int item = 0; item < count; ++item) rows.push_back(Row(item));
    return rows;
}

std::vector<std::string> RemoteListView::Column(int column) const
{
    std::vector<std::string> texts;
    RemoteBuffer buffer(wList.Pid(), kTextOffset + kTextSize);
    if (!buffer) return texts;
    const int count = Count();
    for (int item = 0; item < count; ++item) texts.push_back(ReadText(wList, buffer, item, column));
    return texts;
}

int RemoteListView::FindRow(const std::string& text, int column) const
{
    const std::vector<std::string> texts = Column(column);
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return static_cast<int>(i);
    return -1;
}

std::vector<int> RemoteListView::Selected() const
{
    std::vector<int> items;
    for (int item = -1;;) {
        item = static_cast<int>(wList.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(item), MAKELPARAM(LVNI_SELECTED, 0)));
        if (item < 0 || (!items.empty() && item <= items.back())) break;
        items.push_back(item);
    }
    return items;
}

int RemoteListView::SelectedCount() const
{
    return static_cast<int>(wList.Send(LVM_GETSELECTEDCOUNT));
}

int RemoteListView::Focused() const
{
    return static_cast<int>(wList.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

namespace {
bool SetState(const Window& list, int item, UINT state, UINT mask)
{
    RemoteBuffer buffer(list.Pid(), sizeof(LVITEMA));
    if (!buffer) return false;
    LVITEMA change = {};
    change.state = state;
    change.stateMask = mask;
    buffer.Put(0, change);
    return list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), buffer.At()) != 0;
}
} // namespace

bool RemoteListView::Select(int item, bool only) const
{
    if (only) ClearSelection();
    const bool done = SetState(wList, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(item);
    return done;
}

bool RemoteListView::SelectAll() const
{
    return SetState(wList, -1, LVIS_SELECTED, LVIS_SELECTED);
}

bool RemoteListView::ClearSelection() const
{
    return SetState(wList, -1, 0, LVIS_SELECTED);
}

bool RemoteListView::IsChecked(int item) const
{
    return (wList.Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK)
           == INDEXTOSTATEIMAGEMASK(2);
}

bool RemoteListView::SetChecked(int item, bool checked) const
{
    return SetState(wList, item, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

std::vector<int> RemoteListView::Checked() const
{
    std::vector<int> rows;
    for (int item = 0; item < Count(); ++item)
        if (IsChecked(item)) rows.push_back(item);
    return rows;
}

bool RemoteListView::EnsureVisible(int item) const
{
    return wList.Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE) != 0;
}

bool RemoteListView::ItemRect(int item, RECT& rect, int code) const
{
    RemoteBuffer buffer(wList.Pid(), sizeof(RECT));
    RECT query = {};
    query.left = code;
    if (!buffer || !buffer.Put(0, query)) return false;
    if (!wList.Send(LVM_GETITEMRECT, static_cast<WPARAM>(item), buffer.At())) return false;
    return buffer.Get(0, rect);
}

bool RemoteListView::SubItemRect(int item, int column, RECT& rect) const
{
    RemoteBuffer buffer(wList.Pid(), sizeof(RECT));
    RECT query = {};
    query.left = LVIR_BOUNDS;
    query.top = column;
    if (!buffer || !buffer.Put(0, query)) return false;
    if (!wList.Send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), buffer.At())) return false;
    return buffer.Get(0, rect);
}

bool RemoteListView::ClickItem(int item, bool right, bool twice) const
{
    EnsureVisible(item);
    RECT rect;
    if (!ItemRect(item, rect)) return false;
    const POINT point = {rect.left + 4 < rect.right ? rect.left + 4 : rect.left, (rect.top + rect.bottom) / 2};
    if (!Input::Click(wList, point, right ? Input::Right : Input::Left, twice)) return false;
    // Posted commands overtake input: return once the click has reached the control.
    if (!right && !twice) Wait::Until([this] { return Input::FocusOf(wList) == wList; }, 2000);
    return true;
}
