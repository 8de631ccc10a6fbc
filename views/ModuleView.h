#pragma once

#include "views/ItemList.h"
#include "views/ListViewColumns.h"
#include "views/ModuleColumns.h"
#include "views/ModuleItem.h"
#include "sysinfo/ModuleRecord.h"

#include <windows.h>
#include <commctrl.h>
#include <list>
#include <memory>
#include <string>
#include <vector>

class ClDebugString;
class FileFactsCache;
class ValueFormatter;
class ViewImages;
struct UserSettings;

// The modules of the selected process as rows of the list: configured
// columns, the header sort and the five sort modes of the Module column,
// dynamically loaded modules in their own colour. The list keeps pointers to
// the items as item data; they live until the next Build or Clear.
class ModuleView {
public:
    ModuleView(UserSettings& settings, const ValueFormatter& formatter, FileFactsCache& cache, ViewImages& images,
               ClDebugString& debug);
    ~ModuleView();
    ModuleView(const ModuleView&) = delete;
    ModuleView& operator=(const ModuleView&) = delete;

    // One item per module in load order; modules outside the static import
    // closure of the process's executable count as dynamically loaded.
    void Build(const std::list<ModuleRecord>& modules, SnapshotProgressCallback progress, uint32_t userValue);
    void Clear();

    void SetupColumns(HWND list);
    void FillList(HWND list);
    void SortByClick(HWND list, int position);
    // Sort-mode command: store the mode; the Module column becomes the sort
    // column (ascending when it was another one), then sort.
    void SetMode(HWND list, uint32_t mode);
    void Sort(HWND list);
    void CaptureColumns(HWND list, bool withOrder);

    bool GetDispInfo(NMLVDISPINFOA& info) const;
    void DrawRow(const DRAWITEMSTRUCT& item, HWND list) const;
    // String 75: location and description.
    std::string InfoTip(const ModuleItem& item) const;

    size_t Count() const { return items.size(); }
    // No file over the network is read for the rows (the window's thread).
    void SetLocalFilesOnly(bool on) { bLocalFilesOnly = on; }
    const std::vector<std::unique_ptr<ModuleItem>>& Items() const { return items; }
    const ListViewColumns& Columns() const { return columns; }
    static ModuleItem* FromParam(LPARAM param) { return ItemList<ModuleItem>::FromParam(param); }

private:
    UserSettings& settings;
    const ValueFormatter& formatter;
    FileFactsCache& cache;
    ViewImages& images;
    ClDebugString& debug;
    std::vector<std::unique_ptr<ModuleItem>> items;
    ListViewColumns columns;
    bool bLocalFilesOnly = false;
};
