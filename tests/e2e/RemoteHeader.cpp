#include "tests/e2e/RemoteHeader.h"

#include "tests/e2e/Input.h"
#include "tests/e2e/RemoteBuffer.h"

namespace {
const size_t kTextOffset = 256;
const size_t kTextSize = 1024;
} // namespace

int HeaderItem::SortArrow() const
{
    if (format & HDF_SORTUP) return 1;
    if (format & HDF_SORTDOWN) return -1;
    if (format & HDF_IMAGE) return image == 0 ? 1 : image == 1 ? -1 : 0;
    return 0;
}

int RemoteHeader::Count() const
{
    return static_cast<int>(wHeader.Send(HDM_GETITEMCOUNT));
}

std::vector<int> RemoteHeader::Order() const
{
    const int count = Count();
    std::vector<int> order;
    if (count <= 0) return order;
    RemoteBuffer buffer(wHeader.Pid(), sizeof(int) * count);
    order.resize(count);
    if (!buffer || !wHeader.Send(HDM_GETORDERARRAY, static_cast<WPARAM>(count), buffer.At())
        || !buffer.Read(0, order.data(), sizeof(int) * count)) {
        for (int i = 0; i < count; ++i) order[i] = i;
    }
    return order;
}

HeaderItem RemoteHeader::Item(int index) const
{
    HeaderItem item;
    item.index = index;
    RemoteBuffer buffer(wHeader.Pid(), kTextOffset + kTextSize);
    if (!buffer) return item;
    HDITEMA query = {};
    query.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH | HDI_BITMAP | HDI_IMAGE | HDI_ORDER | HDI_LPARAM;
    query.pszText = buffer.Pointer(kTextOffset);
    query.cchTextMax = static_cast<int>(kTextSize - 1);
    buffer.Clear();
    buffer.Put(0, query);
    if (wHeader.Send(HDM_GETITEMA, static_cast<WPARAM>(index), buffer.At())) {
        HDITEMA answer = {};
        buffer.Get(0, answer);
        if (answer.pszText == query.pszText) item.text = buffer.String(kTextOffset);
        item.format = answer.fmt;
        item.width = answer.cxy;
        item.bitmap = answer.hbm;
        item.image = (answer.fmt & HDF_IMAGE) ? answer.iImage : -1;
        item.order = answer.iOrder;
        item.param = answer.lParam;
    }
    return item;
}

std::vector<HeaderItem> RemoteHeader::ItemsByIndex() const
{
    std::vector<HeaderItem> items;
    const int count = Count();
    for (int index = 0; index < count; ++index) items.push_back(Item(index));
    return items;
}

std::vector<HeaderItem> RemoteHeader::Items() const
{
    const std::vector<HeaderItem> byIndex = ItemsByIndex();
    std::vector<HeaderItem> items;
    for (int index : Order())
        if (index >= 0 && index < static_cast<int>(byIndex.size())) items.push_back(byIndex[index]);
    return items;
}

std::vector<std::string> RemoteHeader::Texts() const
{
    std::vector<std::string> texts;
    for (const HeaderItem& item : Items()) texts.push_back(item.text);
    return texts;
}

HeaderItem RemoteHeader::SortedItem() const
{
    for (const HeaderItem& item : ItemsByIndex())
        if (item.SortArrow() != 0) return item;
    return HeaderItem();
}

bool RemoteHeader::ItemRect(int index, RECT& rect) const
{
    RemoteBuffer buffer(wHeader.Pid(), sizeof(RECT));
    if (!buffer || !wHeader.Send(HDM_GETITEMRECT, static_cast<WPARAM>(index), buffer.At())) return false;
    return buffer.Get(0, rect);
}

bool RemoteHeader::ClickItem(int index) const
{
    RECT rect;
    if (!ItemRect(index, rect)) return false;
    const POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return Input::Click(wHeader, point, Input::Left, false);
}
