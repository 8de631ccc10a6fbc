#pragma once

#include "launchers/SearchEngine.h"
#include "launchers/UserApplication.h"

#include <windows.h>
#include <memory>
#include <string>
#include <vector>

// The "Open with" pop-up of the user-defined applications (ids 1 to 1000)
// and the search-engine pop-up (ids 2004 to 4002) of the context menus,
// owner-drawn with icons unless that is switched off. The items' records and
// icons live here until Release(); the window's menu renderer draws them
// from what Lookup gives.
class LauncherMenus {
public:
    static constexpr UINT kFirstApplicationId = 1;
    static constexpr UINT kLastApplicationId = 1000;
    static constexpr UINT kFirstEngineId = 2004;
    static constexpr UINT kLastEngineId = 4002;
    static constexpr UINT kSearchCommand = 40094;
    static bool IsApplicationCommand(UINT id) { return id >= kFirstApplicationId && id <= kLastApplicationId; }
    static bool IsEngineCommand(UINT id) { return id >= kFirstEngineId && id <= kLastEngineId; }

    LauncherMenus();
    ~LauncherMenus();
    LauncherMenus(const LauncherMenus&) = delete;
    LauncherMenus& operator=(const LauncherMenus&) = delete;

    void SetOwnerDraw(bool ownerDraw) { bOwnerDraw = ownerDraw; }
    bool OwnerDraw() const { return bOwnerDraw; }

    // Null for an empty list.
    HMENU BuildApplicationMenu(const std::vector<UserApplication>& applications);
    HMENU BuildEngineMenu(const std::vector<SearchEngine>& engines);
    // "&" + "Open with" and a separator at the top of a context menu; false for an empty list.
    bool InsertOpenWith(HMENU menu, const std::vector<UserApplication>& applications);
    // Item 40094 (also inside submenus) becomes the engine pop-up with the
    // same text; with no engines it stays the plain command.
    bool InsertSearchEngines(HMENU menu, const std::vector<SearchEngine>& engines);
    // Frees the item records and icons of the menus built so far (after the menu closed).
    void Release();

    // The text and icon (or null) of an owner-drawn item of ours by its item
    // data; false when the item is not one of ours.
    bool Lookup(ULONG_PTR data, std::string& text, HICON& icon) const;

    // Menu text: "&" doubled so that it shows as written.
    static std::string MenuText(const std::string& text);

private:
    struct Item {
        std::string strText;
        HICON hIcon;
        bool bOwnsIcon;
    };
    Item* Find(ULONG_PTR data) const;
    void AppendItem(HMENU menu, UINT id, const std::string& text, HICON icon, bool ownsIcon);

    std::vector<std::unique_ptr<Item>> items;
    bool bOwnerDraw;
};
