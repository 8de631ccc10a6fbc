#include "launchers/LauncherMenus.h"

#include "launchers/IconFromImage.h"

#include "app/menus/StringTable.h"

LauncherMenus::LauncherMenus() : bOwnerDraw(true) {}

LauncherMenus::~LauncherMenus()
{
    Release();
}

std::string LauncherMenus::MenuText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

void LauncherMenus::Release()
{
    for (const auto& item : items)
        if (item->bOwnsIcon && item->hIcon) DestroyIcon(item->hIcon);
    items.clear();
}

LauncherMenus::Item* LauncherMenus::Find(ULONG_PTR data) const
{
    for (const auto& item : items)
        if (reinterpret_cast<ULONG_PTR>(item.get()) == data) return item.get();
    return nullptr;
}

void LauncherMenus::AppendItem(HMENU menu, UINT id, const std::string& text, HICON icon, bool ownsIcon)
{
    const std::string shown = MenuText(text);
    if (!bOwnerDraw) {
        if (ownsIcon && icon) DestroyIcon(icon);
        AppendMenuA(menu, MF_STRING, id, shown.c_str());
        return;
    }
    items.emplace_back(new Item{shown, icon, ownsIcon});
    AppendMenuA(menu, MF_OWNERDRAW, id, reinterpret_cast<LPCSTR>(items.back().get()));
}

HMENU LauncherMenus::BuildApplicationMenu(const std::vector<UserApplication>& applications)
{
    if (applications.empty()) return nullptr;
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (size_t i = 0; i < applications.size() && i < kLastApplicationId; ++i)
        AppendItem(menu, static_cast<UINT>(kFirstApplicationId + i), applications[i].szDescription,
                   applications[i].hIcon, false);
    return menu;
}

HMENU LauncherMenus::BuildEngineMenu(const std::vector<SearchEngine>& engines)
{
    if (engines.empty()) return nullptr;
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (size_t i = 0; i < engines.size() && kFirstEngineId + i <= kLastEngineId; ++i) {
        HICON icon = bOwnerDraw ? IconFromImage::Create(engines[i].image, GetSysColor(COLOR_MENU)) : nullptr;
        AppendItem(menu, static_cast<UINT>(kFirstEngineId + i), engines[i].strName, icon, true);
    }
    return menu;
}

bool LauncherMenus::InsertOpenWith(HMENU menu, const std::vector<UserApplication>& applications)
{
    HMENU popup = BuildApplicationMenu(applications);
    if (!popup) return false;
    const std::string title = "&" + StringTable::Load(35);
    if (!InsertMenuA(menu, 0, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                     title.c_str())) {
        DestroyMenu(popup);
        return false;
    }
    InsertMenuA(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    return true;
}

bool LauncherMenus::InsertSearchEngines(HMENU menu, const std::vector<SearchEngine>& engines)
{
    char text[256] = {};
    if (GetMenuStringA(menu, kSearchCommand, text, sizeof(text), MF_BYCOMMAND) <= 0) return false;
    HMENU popup = BuildEngineMenu(engines);
    if (!popup) return false;
    if (!ModifyMenuA(menu, kSearchCommand, MF_BYCOMMAND | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                     text)) {
        DestroyMenu(popup);
        return false;
    }
    return true;
}

bool LauncherMenus::Lookup(ULONG_PTR data, std::string& text, HICON& icon) const
{
    const Item* item = Find(data);
    if (!item) return false;
    text = item->strText;
    icon = item->hIcon;
    return true;
}
