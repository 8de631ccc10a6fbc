#include "tests/e2e/RemoteTreeView.h"

#include "tests/e2e/Input.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/RemoteBuffer.h"

#include <cstring>

namespace {
const size_t kTextOffset = 256;
const size_t kTextSize = 1024;
} // namespace

int RemoteTreeView::Count() const
{
    return static_cast<int>(wTree.Send(TVM_GETCOUNT));
}

HTREEITEM RemoteTreeView::Selection() const
{
    return reinterpret_cast<HTREEITEM>(wTree.Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

TreeItem RemoteTreeView::Item(HTREEITEM handle) const
{
    RemoteBuffer buffer(wTree.Pid(), kTextOffset + kTextSize);
    TreeItem item = ReadItem(buffer, handle);
    item.selected = Selection() == handle;
    return item;
}

TreeItem RemoteTreeView::ReadItem(const RemoteBuffer& buffer, HTREEITEM handle) const
{
    TreeItem item;
    item.handle = handle;
    if (!buffer || !handle) return item;
    TVITEMA query = {};
    query.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    query.hItem = handle;
    query.stateMask = 0xFFFF;
    query.pszText = buffer.Pointer(kTextOffset);
    query.cchTextMax = static_cast<int>(kTextSize - 1);
    buffer.Clear();
    buffer.Put(0, query);
    if (wTree.Send(TVM_GETITEMA, 0, buffer.At())) {
        TVITEMA answer = {};
        buffer.Get(0, answer);
        if (answer.pszText == query.pszText)
            item.text = buffer.String(kTextOffset);
        item.state = answer.state;
        item.expanded = (answer.state & TVIS_EXPANDED) != 0;
        item.image = answer.iImage;
        item.selectedImage = answer.iSelectedImage;
        item.param = answer.lParam;
    }
    item.hasChildren = wTree.Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(handle)) != 0;
    return item;
}

std::string RemoteTreeView::Text(HTREEITEM item) const
{
    RemoteBuffer buffer(wTree.Pid(), kTextOffset + kTextSize);
    return ReadItem(buffer, item).text;
}

void RemoteTreeView::Walk(const RemoteBuffer& buffer, HTREEITEM first, int level, int parent, HTREEITEM caret,
                          std::vector<TreeItem>& items) const
{
    for (HTREEITEM handle = first; handle;
         handle = reinterpret_cast<HTREEITEM>(wTree.Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(handle)))) {
        TreeItem item = ReadItem(buffer, handle);
        item.level = level;
        item.parent = parent;
        item.selected = handle == caret;
        items.push_back(item);
        const int index = static_cast<int>(items.size()) - 1;
        const HTREEITEM child =
            reinterpret_cast<HTREEITEM>(wTree.Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(handle)));
        if (child) Walk(buffer, child, level + 1, index, caret, items);
    }
}

std::vector<TreeItem> RemoteTreeView::Items() const
{
    std::vector<TreeItem> items;
    const HTREEITEM root = reinterpret_cast<HTREEITEM>(wTree.Send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
    RemoteBuffer buffer(wTree.Pid(), kTextOffset + kTextSize);
    Walk(buffer, root, 0, -1, Selection(), items);
    return items;
}

std::vector<HTREEITEM> RemoteTreeView::ChildrenOf(HTREEITEM parent) const
{
    std::vector<HTREEITEM> children;
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(
        parent ? wTree.Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent))
               : wTree.Send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (; handle;
         handle = reinterpret_cast<HTREEITEM>(wTree.Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(handle))))
        children.push_back(handle);
    return children;
}

HTREEITEM RemoteTreeView::Find(const std::string& text) const
{
    for (const TreeItem& item : Items())
        if (item.text == text) return item.handle;
    return nullptr;
}

HTREEITEM RemoteTreeView::FindPath(const std::vector<std::string>& path) const
{
    RemoteBuffer buffer(wTree.Pid(), kTextOffset + kTextSize);
    HTREEITEM parent = nullptr;
    for (const std::string& text : path) {
        HTREEITEM found = nullptr;
        for (HTREEITEM child : ChildrenOf(parent))
            if (ReadItem(buffer, child).text == text) {
                found = child;
                break;
            }
        if (!found) return nullptr;
        parent = found;
    }
    return parent;
}

bool RemoteTreeView::Select(HTREEITEM item) const
{
    return wTree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

bool RemoteTreeView::Expand(HTREEITEM item, bool expand) const
{
    return wTree.Send(TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item)) != 0;
}

bool RemoteTreeView::EnsureVisible(HTREEITEM item) const
{
    wTree.Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    return true;
}

bool RemoteTreeView::ItemRect(HTREEITEM item, RECT& rect, bool textOnly) const
{
    RemoteBuffer buffer(wTree.Pid(), sizeof(RECT));
    if (!buffer) return false;
    // TVM_GETITEMRECT takes the item handle in the rectangle's first field.
    RECT query = {};
    std::memcpy(&query, &item, sizeof(item));
    buffer.Put(0, query);
    if (!wTree.Send(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, buffer.At())) return false;
    return buffer.Get(0, rect);
}

bool RemoteTreeView::ClickItem(HTREEITEM item, bool right, bool twice) const
{
    EnsureVisible(item);
    RECT rect;
    if (!ItemRect(item, rect)) return false;
    const POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!Input::Click(wTree, point, right ? Input::Right : Input::Left, twice)) return false;
    // Posted commands overtake input: return once the click has reached the control.
    if (!right && !twice) Wait::Until([this] { return Input::FocusOf(wTree) == wTree; }, 2000);
    return true;
}
