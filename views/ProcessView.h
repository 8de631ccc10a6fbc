#pragma once

#include "views/ItemList.h"
#include "views/ListViewColumns.h"
#include "views/ProcessColumns.h"
#include "views/ProcessItem.h"
#include "sysinfo/ProcessRecord.h"

#include <windows.h>
#include <commctrl.h>
#include <list>
#include <memory>
#include <string>
#include <vector>

class FileFactsCache;
class ValueFormatter;
class ViewImages;
struct UserSettings;

// The processes of the current snapshot as display rows: the process tree
// (nested by parent or flat) and the process list with its configured
// columns, sort order and colours. The tree and the list keep pointers to
// the items as their item data; the items live until the next Build or Clear.
class ProcessView {
public:
    ProcessView(UserSettings& settings, const ValueFormatter& formatter, FileFactsCache& cache, ViewImages& images);
    ~ProcessView();
    ProcessView(const ProcessView&) = delete;
    ProcessView& operator=(const ProcessView&) = delete;

    // One item per process in snapshot order, with the service test and icons.
    void Build(const std::list<ProcessRecord>& processes, SnapshotProgressCallback progress, uint32_t userValue);
    void Clear();
    // Empties `tree` below `processesItem` and inserts every item, expanded.
    void FillTree(HWND tree, HTREEITEM processesItem, bool nested);

    void SetupColumns(HWND list);
    void FillList(HWND list);
    // A header click at list position `position`: the same column again
    // flips the direction, another one sorts ascending by it.
    void SortByClick(HWND list, int position);
    // Sorts by the stored sort state; a hidden sort column falls back to Name, ascending.
    void Sort(HWND list);
    // Display order (when `withOrder`) and widths of the list into the settings.
    void CaptureColumns(HWND list, bool withOrder);

    bool GetDispInfo(NMLVDISPINFOA& info) const;
    void DrawRow(const DRAWITEMSTRUCT& item, HWND list) const;
    // Strings 73 (NT) or 74 (9x): name, id, description, file name.
    std::string InfoTip(const ProcessItem& item) const;

    size_t Count() const { return items.size(); }
    // No file over the network is read for the rows (the window's thread).
    void SetLocalFilesOnly(bool on) { bLocalFilesOnly = on; }
    const std::vector<std::unique_ptr<ProcessItem>>& Items() const { return items; }
    const ListViewColumns& Columns() const { return columns; }
    static ProcessItem* FromParam(LPARAM param) { return ItemList<ProcessItem>::FromParam(param); }

private:
    UserSettings& settings;
    const ValueFormatter& formatter;
    FileFactsCache& cache;
    ViewImages& images;
    std::vector<std::unique_ptr<ProcessItem>> items;
    ListViewColumns columns;
    bool bLocalFilesOnly = false;
};
