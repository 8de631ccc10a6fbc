#include "views/ModuleView.h"
#include "views/ItemBuilder.h"
#include "views/ItemList.h"
#include "views/RowPainter.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"
#include "views/ViewSort.h"
#include "app/startup/ClDebugString.h"
#include "app/menus/StringTable.h"
#include "app/settings/UserSettings.h"
#include "image/ImportClosure.h"
#include "sysinfo/LocalFiles.h"
#include "sysinfo/NativeProcessList.h"


namespace {

// Walks the static imports of `path` with the file's folder as the current
// directory, as the loader would search them.
bool LoadClosure(ImportClosure& closure, const std::string& path)
{
    char previous[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof(previous), previous);
    const size_t slash = path.find_last_of("\\/");
    bool switched = false;
    if (slash != std::string::npos) {
        std::string folder = path.substr(0, slash + 1);
        switched = SetCurrentDirectoryA(folder.c_str()) != 0;
    }
    const bool loaded = closure.walk(path.c_str());
    if (switched && length > 0 && length < sizeof(previous)) SetCurrentDirectoryA(previous);
    return loaded;
}

} // namespace

ModuleView::ModuleView(UserSettings& settings, const ValueFormatter& formatter, FileFactsCache& cache,
                       ViewImages& images, ClDebugString& debug)
    : settings(settings), formatter(formatter), cache(cache), images(images), debug(debug)
{
}

ModuleView::~ModuleView() = default;

void ModuleView::Clear()
{
    items.clear();
    columns.Clear();
}

void ModuleView::Build(const std::list<ModuleRecord>& modules, SnapshotProgressCallback progress, uint32_t userValue)
{
    items.clear();

    ImportClosure closure;
    bool closureLoaded = false;
    if (bLocalFilesOnly) closure.SetSearchPath(LocalFiles::LocalSearchPath());
    for (const ModuleRecord& module : modules)
        if (NativeProcessList::LooksExecutable(module.strName)) {
            // An executable on a share is not read: no module is marked dynamically loaded then.
            if (bLocalFilesOnly && LocalFiles::IsNetworkPath(module.strPath)) break;
            closureLoaded = LoadClosure(closure, module.strPath);
            if (!closureLoaded) debug.print("Loading dependency-list failed!\n");
            break;
        }

    ItemBuilder builder(formatter, cache, images);
    builder.SetLocalFilesOnly(bLocalFilesOnly);
    if (progress) progress(0, static_cast<uint32_t>(modules.size()), userValue);
    items.reserve(modules.size());
    for (const ModuleRecord& record : modules) {
        std::unique_ptr<ModuleItem> item(new ModuleItem);
        builder.BuildModuleItem(*item, record, &closure, closureLoaded, true);
        items.push_back(std::move(item));
        if (progress) progress(1, static_cast<uint32_t>(items.size()), userValue);
    }
    if (progress) progress(2, static_cast<uint32_t>(items.size()), userValue);
}

void ModuleView::SetupColumns(HWND list)
{
    ItemList<ModuleItem>::SetupColumns(list, ModuleColumns::Table(), columns, settings.aModuleColumns, 12, settings.anModuleColumnOrder,
                                  settings.nModuleColumnCount, formatter.IsNtFamily());
}

void ModuleView::FillList(HWND list)
{
    ItemList<ModuleItem>::BeginFill(list, items);
    Sort(list);
    ItemList<ModuleItem>::EndFill(list);
}

void ModuleView::Sort(HWND list)
{
    SortState& sort = settings.ssModuleSort;
    if (sort.nSortColumn < 0 || !columns.IsShown(static_cast<uint32_t>(sort.nSortColumn))) {
        sort.nSortColumn = ModuleColumns::Name;
        sort.bAscending = 1;
    }
    if (sort.nSortMode >= ModuleColumns::kModeCount) sort.nSortMode = ModuleColumns::ByName;
    const uint32_t column = static_cast<uint32_t>(sort.nSortColumn);
    const uint32_t mode = sort.nSortMode;
    ItemList<ModuleItem>::Sort(
        list, items, columns, column, sort.bAscending != 0,
        [column, mode](const ModuleItem& a, const ModuleItem& b) { return ModuleColumns::Compare(a, b, column, mode); });
}

void ModuleView::SortByClick(HWND list, int position)
{
    const int64_t id = columns.IdAt(position);
    if (id < 0) return;
    ItemList<ModuleItem>::ClickSort(settings.ssModuleSort, id);
    Sort(list);
}

void ModuleView::SetMode(HWND list, uint32_t mode)
{
    SortState& sort = settings.ssModuleSort;
    sort.nSortMode = mode < ModuleColumns::kModeCount ? mode : ModuleColumns::ByName;
    if (sort.nSortColumn != ModuleColumns::Name) {
        sort.nSortColumn = ModuleColumns::Name;
        sort.bAscending = 1;
    }
    Sort(list);
}

void ModuleView::CaptureColumns(HWND list, bool withOrder)
{
    columns.CaptureWidths(list, settings.aModuleColumns, 12);
    if (withOrder) columns.CaptureOrder(list, settings.anModuleColumnOrder, settings.nModuleColumnCount, 12);
}

bool ModuleView::GetDispInfo(NMLVDISPINFOA& info) const
{
    return ItemList<ModuleItem>::GetDispInfo(info, ModuleColumns::Table(), columns);
}

void ModuleView::DrawRow(const DRAWITEMSTRUCT& draw, HWND list) const
{
    const ModuleItem* item = FromParam(static_cast<LPARAM>(draw.itemData));
    if (!item) return;
    RowPainter::Row row = ItemList<ModuleItem>::PaintedRow(*item, ModuleColumns::Table(), columns, images.Views());
    row.crBackground = settings.crBackground;
    row.crText = settings.bHighlightDynamicLoads && item->bDynamic ? settings.crDynamicLoads : settings.crText;
    RowPainter::Draw(draw, list, row);
}

std::string ModuleView::InfoTip(const ModuleItem& item) const
{
    return StringTable::Format(75, {item.strLocation, item.strDescription});
}
