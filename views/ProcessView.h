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
class ProcessSampler;
class ValueFormatter;
class ViewImages;
struct UserSettings;

// The processes of the current snapshot as display rows: the process tree
// (nested by parent or flat) and the process list with its configured
// columns, sort order and colours. The tree and the list keep pointers to
// the items as their item data; the items live until the next Build or Clear,
// or until an update (ApplySample) finds their process ended.
class ProcessView {
public:
    // Without LiveSettings of the caller the view keeps their defaults.
    ProcessView(UserSettings& settings, const ValueFormatter& formatter, FileFactsCache& cache, ViewImages& images);
    ProcessView(UserSettings& settings, LiveSettings& live, const ValueFormatter& formatter, FileFactsCache& cache,
                ViewImages& images);
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
    // The text colour of a new or ended process while highlighting is on;
    // false for every other one (for the tree's custom draw).
    bool HighlightColor(const ProcessItem& item, COLORREF& color) const;

    // What one update did.
    struct Update {
        size_t nAdded = 0;
        size_t nChanged = 0;
        size_t nEnded = 0;    // marked ended, or gone at once without highlighting
        size_t nRemoved = 0;  // items that went (ended at an earlier update, or now)
        bool bSorted = false;
    };
    // One tick of the live view from the sampler's last sample. Processes
    // marked ended at the last update go, new ones lose their mark; figures
    // that changed are taken into their items in place (their rows redrawn,
    // the list sorted again when the sort column's values changed); added
    // processes get items (file facts and icons read once, as a refresh reads
    // them), a tree node below their parent and a list row; removed ones are
    // marked ended (gone at the next update) with highlighting on, else go at
    // once. A process the view does not have yet counts as added, one it
    // has already as changed. `list` is null when the list shows something else.
    // allFigures: the figures of every process of the sample are taken, not
    // only those that changed (the items were built anew since the last one).
    Update ApplySample(const ProcessSampler& sampler, HWND tree, HTREEITEM processesItem, bool nested, HWND list,
                       bool allFigures = false);

    size_t Count() const { return items.size(); }
    // No file over the network is read for the rows (the window's thread).
    void SetLocalFilesOnly(bool on) { bLocalFilesOnly = on; }
    const std::vector<std::unique_ptr<ProcessItem>>& Items() const { return items; }
    const ListViewColumns& Columns() const { return columns; }
    const LiveSettings& Live() const { return *live; }
    static ProcessItem* FromParam(LPARAM param) { return ItemList<ProcessItem>::FromParam(param); }

private:
    void AddItem(std::unique_ptr<ProcessItem> item, HWND tree, HTREEITEM processesItem, bool nested, HWND list);
    void RemoveItem(ProcessItem* item, HWND tree, HTREEITEM processesItem, HWND list);
    HTREEITEM InsertNode(HWND tree, HTREEITEM parent, ProcessItem& item);
    void RedrawRow(HWND list, const ProcessItem& item) const;

    UserSettings& settings;
    std::unique_ptr<LiveSettings> ownLive;
    LiveSettings* live;
    const ValueFormatter& formatter;
    FileFactsCache& cache;
    ViewImages& images;
    std::vector<std::unique_ptr<ProcessItem>> items;
    ListViewColumns columns;
    bool bLocalFilesOnly = false;
};
