#include "launchers/LauncherMenus.h"

#include "launchers/IconFromImage.h"

#include "app/menus/StringTable.h"

namespace {
// The same metrics as the main window's own owner-drawn items.
const int kIconSide = 16;
const int kIconLeft = 4;
const int kTextLeft = 30;
const int kMinHeight = 20;
} // namespace

LauncherMenus::LauncherMenus() : bOwnerDraw(true), hMenuFont(nullptr) {}

LauncherMenus::~LauncherMenus()
{
    Release();
    if (hMenuFont) DeleteObject(hMenuFont);
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

HFONT LauncherMenus::MenuFont()
{
    if (!hMenuFont) {
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = sizeof(metrics);  // without the Vista field: every version knows this size
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            hMenuFont = CreateFontIndirectA(&metrics.lfMenuFont);
    }
    return hMenuFont ? hMenuFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool LauncherMenus::MeasureItem(MEASUREITEMSTRUCT& measure)
{
    if (measure.CtlType != ODT_MENU) return false;
    const Item* item = Find(measure.itemData);
    if (!item) return false;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, MenuFont());
    RECT box = {0, 0, 0, 0};
    DrawTextA(dc, item->strText.c_str(), -1, &box, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    measure.itemWidth = static_cast<UINT>(kTextLeft + (box.right - box.left) + 8);
    const int height = (box.bottom - box.top) + 6;
    measure.itemHeight = static_cast<UINT>(height > kMinHeight ? height : kMinHeight);
    return true;
}

bool LauncherMenus::DrawItem(const DRAWITEMSTRUCT& draw)
{
    if (draw.CtlType != ODT_MENU) return false;
    const Item* item = Find(draw.itemData);
    if (!item) return false;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const bool grayed = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    HDC dc = draw.hDC;
    RECT box = draw.rcItem;
    FillRect(dc, &box, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (item->hIcon) {
        const int top = box.top + (box.bottom - box.top - kIconSide) / 2;
        DrawIconEx(dc, box.left + kIconLeft, top, item->hIcon, kIconSide, kIconSide, 0, nullptr, DI_NORMAL);
    }
    RECT textBox = box;
    textBox.left += kTextLeft;
    textBox.right -= 8;
    HGDIOBJ old = SelectObject(dc, MenuFont());
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = SetTextColor(
        dc, GetSysColor(grayed ? COLOR_GRAYTEXT : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT)));
    const UINT hidePrefix = (draw.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    DrawTextA(dc, item->strText.c_str(), -1, &textBox, DT_SINGLELINE | DT_VCENTER | DT_LEFT | hidePrefix);
    SetTextColor(dc, colour);
    SetBkMode(dc, mode);
    SelectObject(dc, old);
    return true;
}
