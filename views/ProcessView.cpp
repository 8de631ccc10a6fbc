#include "views/ProcessView.h"
#include "views/ItemBuilder.h"
#include "views/ItemList.h"
#include "views/RowPainter.h"
#include "views/TreeNesting.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"
#include "views/ViewSort.h"
#include "app/menus/StringTable.h"
#include "app/settings/UserSettings.h"
#include "sysinfo/ServiceList.h"

#include <map>
#include <utility>

ProcessView::ProcessView(UserSettings& settings, const ValueFormatter& formatter, FileFactsCache& cache,
                         ViewImages& images)
    : settings(settings), formatter(formatter), cache(cache), images(images)
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
    std::map<std::pair<uint32_t, uint64_t>, const ProcessItem*> known;
    for (const auto& item : previous)
        known[std::make_pair(item->dwPid, (uint64_t(item->ftCreated.dwHighDateTime) << 32) | item->ftCreated.dwLowDateTime)] =
            item.get();

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
        TVINSERTSTRUCTA insert = {};
        insert.hParent = row.nDepth == 0 || parents.size() < row.nDepth ? processesItem : parents[row.nDepth - 1];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
        insert.item.pszText = const_cast<char*>(item.strName.c_str());
        insert.item.iImage = insert.item.iSelectedImage = item.nImage;
        insert.item.lParam = reinterpret_cast<LPARAM>(&item);
        insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
        item.hTreeNode =
            reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        parents.resize(row.nDepth + 1);
        parents[row.nDepth] = item.hTreeNode;
    }
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(processesItem));
}

void ProcessView::SetupColumns(HWND list)
{
    ItemList<ProcessItem>::SetupColumns(list, ProcessColumns::Table(), columns, settings.aProcessColumns, settings.anProcessColumnOrder,
                                  settings.nProcessColumnCount, formatter.IsNtFamily());
}

void ProcessView::FillList(HWND list)
{
    ItemList<ProcessItem>::BeginFill(list, items);
    Sort(list);
    ItemList<ProcessItem>::EndFill(list);
}

void ProcessView::Sort(HWND list)
{
    SortState& sort = settings.ssProcessSort;
    if (sort.nSortColumn < 0 || !columns.IsShown(static_cast<uint32_t>(sort.nSortColumn))) {
        sort.nSortColumn = ProcessColumns::Name;
        sort.bAscending = 1;
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
    ItemList<ProcessItem>::ClickSort(settings.ssProcessSort, id);
    Sort(list);
}

void ProcessView::CaptureColumns(HWND list, bool withOrder)
{
    columns.CaptureWidths(list, settings.aProcessColumns);
    if (withOrder) columns.CaptureOrder(list, settings.anProcessColumnOrder, settings.nProcessColumnCount);
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
    RowPainter::Draw(draw, list, row);
}

std::string ProcessView::InfoTip(const ProcessItem& item) const
{
    return StringTable::Format(formatter.IsNtFamily() ? 73 : 74,
                               {item.strName, item.dwPid, item.strDescription, item.strPath});
}
