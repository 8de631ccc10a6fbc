#include "views/ProcessView.h"
#include "views/ItemBuilder.h"
#include "views/ItemList.h"
#include "views/ProcessColumnSettings.h"
#include "views/RowPainter.h"
#include "views/TreeNesting.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"
#include "views/ViewSort.h"
#include "app/menus/StringTable.h"
#include "app/settings/UserSettings.h"
#include "sysinfo/ProcessSampler.h"
#include "sysinfo/ServiceList.h"

#include <cstring>
#include <algorithm>
#include <map>
#include <utility>

namespace {

typedef std::pair<uint32_t, uint64_t> ProcessKey;

ProcessKey KeyOf(const ProcessItem& item)
{
    return ProcessKey(item.dwPid, (uint64_t(item.ftCreated.dwHighDateTime) << 32) | item.ftCreated.dwLowDateTime);
}

int RowOf(HWND list, const ProcessItem& item)
{
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(&item);
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

} // namespace

ProcessView::ProcessView(UserSettings& settings, const ValueFormatter& formatter, FileFactsCache& cache,
                         ViewImages& images)
    : settings(settings), ownLive(new LiveSettings(LiveSettings::Defaults())), live(ownLive.get()),
      formatter(formatter), cache(cache), images(images)
{
}

ProcessView::ProcessView(UserSettings& settings, LiveSettings& live, const ValueFormatter& formatter,
                         FileFactsCache& cache, ViewImages& images)
    : settings(settings), live(&live), formatter(formatter), cache(cache), images(images)
{
}

ProcessView::~ProcessView() = default;

void ProcessView::Clear()
{
    items.clear();
    columns.Clear();
}

void ProcessView::Build(const std::list<ProcessRecord>& processes, SnapshotProgressCallback progress,
                        uint32_t userValue)
{
    // The last build's items by process id and creation time.
    std::vector<std::unique_ptr<ProcessItem>> previous;
    previous.swap(items);
    std::map<ProcessKey, const ProcessItem*> known;
    for (const auto& item : previous) known[KeyOf(*item)] = item.get();

    ServiceList services;
    if (formatter.IsNtFamily()) services.Collect(0x30, 1);
    ItemBuilder builder(formatter, cache, images);
    builder.SetLocalFilesOnly(bLocalFilesOnly);
    if (progress) progress(0, static_cast<uint32_t>(processes.size()), userValue);
    items.reserve(processes.size());
    for (const ProcessRecord& record : processes) {
        std::unique_ptr<ProcessItem> item(new ProcessItem);
        auto same = known.find(std::make_pair(record.dwProcessId, record.ftCreationTime.Value()));
        builder.BuildProcessItem(*item, record, services, true, same == known.end() ? nullptr : same->second);
        items.push_back(std::move(item));
        if (progress) progress(1, static_cast<uint32_t>(items.size()), userValue);
    }
    if (progress) progress(2, static_cast<uint32_t>(items.size()), userValue);
}

void ProcessView::FillTree(HWND tree, HTREEITEM processesItem, bool nested)
{
    HTREEITEM child;
    while ((child = reinterpret_cast<HTREEITEM>(
                SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(processesItem)))))
        SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));

    std::vector<TreeNesting::Node> nodes;
    nodes.reserve(items.size());
    for (const auto& item : items) nodes.push_back({item->dwPid, item->dwParentPid, item->dwSequence});
    std::vector<HTREEITEM> parents; // parents[d]: the last node inserted at depth d
    for (const TreeNesting::Row& row : TreeNesting::Arrange(nodes, nested)) {
        ProcessItem& item = *items[row.nIndex];
        InsertNode(tree, row.nDepth == 0 || parents.size() < row.nDepth ? processesItem : parents[row.nDepth - 1],
                   item);
        parents.resize(row.nDepth + 1);
        parents[row.nDepth] = item.hTreeNode;
    }
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(processesItem));
}

HTREEITEM ProcessView::InsertNode(HWND tree, HTREEITEM parent, ProcessItem& item)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = const_cast<char*>(item.strName.c_str());
    insert.item.iImage = insert.item.iSelectedImage = item.nImage;
    insert.item.lParam = reinterpret_cast<LPARAM>(&item);
    insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
    item.hTreeNode =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    return item.hTreeNode;
}

void ProcessView::SetupColumns(HWND list)
{
    ProcessColumnSettings both(settings, *live);
    ColumnSetting all[ProcessColumnSettings::kCount];
    both.Get(all);
    const std::vector<uint32_t> shown = ProcessColumns::Table().ShownColumns(all, formatter.IsNtFamily());
    const std::vector<uint32_t> order = both.DisplayOrder(shown);
    ItemList<ProcessItem>::SetupColumns(list, ProcessColumns::Table(), columns, all, ProcessColumnSettings::kCount,
                                        order.data(), static_cast<uint32_t>(order.size()), formatter.IsNtFamily());
    both.Put(all);
}

void ProcessView::FillList(HWND list)
{
    ItemList<ProcessItem>::BeginFill(list, items);
    Sort(list);
    ItemList<ProcessItem>::EndFill(list);
}

void ProcessView::Sort(HWND list)
{
    ProcessColumnSettings both(settings, *live);
    SortState sort = both.Sort();
    if (sort.nSortColumn < 0 || !columns.IsShown(static_cast<uint32_t>(sort.nSortColumn))) {
        sort.nSortColumn = ProcessColumns::Name;
        sort.bAscending = 1;
        both.PutSort(sort);
    }
    const uint32_t column = static_cast<uint32_t>(sort.nSortColumn);
    ItemList<ProcessItem>::Sort(
        list, items, columns, column, sort.bAscending != 0,
        [column](const ProcessItem& a, const ProcessItem& b) { return ProcessColumns::Compare(a, b, column); });
}

void ProcessView::SortByClick(HWND list, int position)
{
    const int64_t id = columns.IdAt(position);
    if (id < 0) return;
    ProcessColumnSettings both(settings, *live);
    SortState sort = both.Sort();
    ItemList<ProcessItem>::ClickSort(sort, id);
    both.PutSort(sort);
    Sort(list);
}

void ProcessView::CaptureColumns(HWND list, bool withOrder)
{
    ProcessColumnSettings both(settings, *live);
    ColumnSetting all[ProcessColumnSettings::kCount];
    both.Get(all);
    columns.CaptureWidths(list, all, ProcessColumnSettings::kCount);
    both.Put(all);
    uint32_t order[ProcessColumnSettings::kCount];
    uint32_t count = 0;
    if (withOrder && columns.CaptureOrder(list, order, count, ProcessColumnSettings::kCount))
        both.PutDisplayOrder(std::vector<uint32_t>(order, order + count));
}

bool ProcessView::GetDispInfo(NMLVDISPINFOA& info) const
{
    return ItemList<ProcessItem>::GetDispInfo(info, ProcessColumns::Table(), columns);
}

void ProcessView::DrawRow(const DRAWITEMSTRUCT& draw, HWND list) const
{
    const ProcessItem* item = FromParam(static_cast<LPARAM>(draw.itemData));
    if (!item) return;
    RowPainter::Row row = ItemList<ProcessItem>::PaintedRow(*item, ProcessColumns::Table(), columns, images.Views());
    row.crBackground = settings.crBackground;
    row.crText = settings.bHighlightServices && item->bService ? settings.crServices : settings.crText;
    COLORREF highlight;
    if (HighlightColor(*item, highlight)) row.crText = highlight;
    RowPainter::Draw(draw, list, row);
}

bool ProcessView::HighlightColor(const ProcessItem& item, COLORREF& color) const
{
    if (!live->bHighlightChanges || item.nHighlight == ProcessItem::kPlain) return false;
    color = item.nHighlight == ProcessItem::kNew ? live->crNewProcesses : live->crEndedProcesses;
    return true;
}

std::string ProcessView::InfoTip(const ProcessItem& item) const
{
    return StringTable::Format(formatter.IsNtFamily() ? 73 : 74,
                               {item.strName, item.dwPid, item.strDescription, item.strPath});
}

void ProcessView::RedrawRow(HWND list, const ProcessItem& item) const
{
    const int row = RowOf(list, item);
    if (row < 0) return;
    // The painter fills the whole row: no erasing first (it would flicker).
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect))) InvalidateRect(list, &rect, FALSE);
}

void ProcessView::AddItem(std::unique_ptr<ProcessItem> owned, HWND tree, HTREEITEM processesItem, bool nested,
                          HWND list)
{
    ProcessItem& item = *owned;
    items.push_back(std::move(owned));
    if (tree) {
        // Below the running process of its parent id that started before it.
        HTREEITEM parent = processesItem;
        const uint64_t created = KeyOf(item).second;
        for (const auto& other : items) {
            if (!nested) break;
            if (other.get() == &item || other->dwPid != item.dwParentPid || other->dwPid == item.dwPid
                || other->nHighlight == ProcessItem::kEnded || !other->hTreeNode || KeyOf(*other).second > created)
                continue;
            parent = other->hTreeNode;
            break;
        }
        InsertNode(tree, parent, item);
    }
    if (list) {
        LVITEMA row = {};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        row.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        row.pszText = LPSTR_TEXTCALLBACKA;
        row.iImage = item.nImage;
        row.lParam = reinterpret_cast<LPARAM>(&item);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
    }
}

void ProcessView::RemoveItem(ProcessItem* item, HWND tree, HTREEITEM processesItem, HWND list)
{
    if (list) {
        const int row = RowOf(list, *item);
        if (row >= 0) SendMessageA(list, LVM_DELETEITEM, row, 0);
    }
    if (tree && item->hTreeNode) {
        // The processes below it move to the top level with their own children.
        struct Moved {
            ProcessItem* item;
            int parent;  // index into `moved`, -1: the top level
        };
        std::vector<Moved> moved;
        std::vector<std::pair<HTREEITEM, int>> pending = {{item->hTreeNode, -1}};
        while (!pending.empty()) {
            const std::pair<HTREEITEM, int> at = pending.back();
            pending.pop_back();
            std::vector<std::pair<HTREEITEM, int>> children;
            for (HTREEITEM child = reinterpret_cast<HTREEITEM>(
                     SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(at.first)));
                 child; child = reinterpret_cast<HTREEITEM>(
                            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
                TVITEMA query = {};
                query.mask = TVIF_PARAM;
                query.hItem = child;
                if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)) || !query.lParam) continue;
                moved.push_back({FromParam(query.lParam), at.second});
                children.push_back({child, static_cast<int>(moved.size() - 1)});
            }
            // Depth first, each level in its order.
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
        HTREEITEM selected = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        ProcessItem* reselect = nullptr;
        for (const Moved& entry : moved)
            if (entry.item->hTreeNode == selected) reselect = entry.item;
        SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item->hTreeNode));
        item->hTreeNode = nullptr;
        for (const Moved& entry : moved)
            InsertNode(tree, entry.parent < 0 ? processesItem : moved[static_cast<size_t>(entry.parent)].item->hTreeNode,
                       *entry.item);
        if (reselect) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(reselect->hTreeNode));
    }
    for (auto it = items.begin(); it != items.end(); ++it)
        if (it->get() == item) {
            items.erase(it);
            break;
        }
}

ProcessView::Update ProcessView::ApplySample(const ProcessSampler& sampler, HWND tree, HTREEITEM processesItem,
                                             bool nested, HWND list, bool allFigures)
{
    Update update;
    auto redrawNode = [tree](const ProcessItem& item) {
        // TVM_GETITEMRECT takes the item in the rectangle.
        RECT rect = {};
        HTREEITEM node = item.hTreeNode;
        std::memcpy(&rect, &node, sizeof(node));
        if (tree && item.hTreeNode && SendMessageA(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)))
            InvalidateRect(tree, &rect, FALSE);
    };
    // What the last update marked: ended processes go, new ones become plain.
    std::vector<ProcessItem*> ended;
    for (const auto& item : items) {
        if (item->nHighlight == ProcessItem::kEnded) {
            ended.push_back(item.get());
        } else if (item->nHighlight == ProcessItem::kNew) {
            item->nHighlight = ProcessItem::kPlain;
            if (list) RedrawRow(list, *item);
            redrawNode(*item);
        }
    }
    for (ProcessItem* item : ended) RemoveItem(item, tree, processesItem, list);
    update.nRemoved = ended.size();

    std::map<ProcessKey, ProcessItem*> byKey;
    for (const auto& item : items) byKey[KeyOf(*item)] = item.get();
    ItemBuilder builder(formatter, cache, images);
    builder.SetLocalFilesOnly(bLocalFilesOnly);
    const SortState sort = ProcessColumnSettings(settings, *live).Sort();
    bool resort = false;
    std::vector<const SampledProcess*> added;
    auto take = [&](const SampledProcess& process) {
        auto found = byKey.find(ProcessKey(process.record.dwProcessId, process.record.ftCreationTime.Value()));
        if (found == byKey.end()) {
            added.push_back(&process);
            return;
        }
        const std::vector<uint32_t> changed =
            builder.UpdateProcessItem(*found->second, process.record, process.nLoadTenths);
        if (changed.empty()) return;
        ++update.nChanged;
        bool shown = false;
        for (uint32_t id : changed) {
            resort = resort || static_cast<int64_t>(id) == sort.nSortColumn;
            shown = shown || columns.IsShown(id);
        }
        if (list && shown) RedrawRow(list, *found->second);
    };
    if (allFigures) {
        for (const SampledProcess& process : sampler.Processes()) take(process);
    } else {
        for (const SampledProcess& process : sampler.Changed()) take(process);
        for (const SampledProcess& process : sampler.Added()) take(process);
    }

    if (!added.empty()) {
        ServiceList services;
        if (formatter.IsNtFamily()) services.Collect(0x30, 1);
        uint32_t sequence = 0;
        for (const auto& item : items) sequence = item->dwSequence >= sequence ? item->dwSequence + 1 : sequence;
        for (const SampledProcess* process : added) {
            std::unique_ptr<ProcessItem> item(new ProcessItem);
            builder.BuildProcessItem(*item, process->record, services, true);
            builder.UpdateProcessItem(*item, process->record, process->nLoadTenths);
            // After every process the view has: a parent for later ones, never a child of them.
            item->dwSequence = sequence++;
            item->nHighlight = live->bHighlightChanges ? ProcessItem::kNew : ProcessItem::kPlain;
            AddItem(std::move(item), tree, processesItem, nested, list);
        }
        update.nAdded = added.size();
        resort = true;
    }

    // Ended: what the sampler saw go, and items of a fill (refresh) that the
    // sample does not have (a process that ended before the sampler first looked).
    std::vector<ProcessItem*> gone;
    for (const SampledProcess& process : sampler.Removed()) {
        auto found = byKey.find(ProcessKey(process.record.dwProcessId, process.record.ftCreationTime.Value()));
        if (found != byKey.end()) gone.push_back(found->second);
    }
    for (const auto& item : items) {
        const ProcessKey key = KeyOf(*item);
        if (item->nHighlight != ProcessItem::kEnded && !sampler.Find(key.first, key.second)
            && std::find(gone.begin(), gone.end(), item.get()) == gone.end())
            gone.push_back(item.get());
    }
    for (ProcessItem* item : gone) {
        ++update.nEnded;
        if (live->bHighlightChanges) {
            item->nHighlight = ProcessItem::kEnded;
            if (list) RedrawRow(list, *item);
            redrawNode(*item);
        } else {
            RemoveItem(item, tree, processesItem, list);
            ++update.nRemoved;
        }
    }
    if (list && resort) {
        Sort(list);
        update.bSorted = true;
    }
    return update;
}
