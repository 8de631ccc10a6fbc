#include "app/menus/OwnerDrawMenu.h"

#include <cctype>

namespace {
const int kIconColumn = 24;
const int kGap = 20;

std::string Before(const std::string& text, char separator)
{
    const size_t at = text.find(separator);
    return at == std::string::npos ? text : text.substr(0, at);
}

std::string After(const std::string& text, char separator)
{
    const size_t at = text.find(separator);
    return at == std::string::npos ? std::string() : text.substr(at + 1);
}

SIZE TextSize(HDC dc, HFONT font, const std::string& text)
{
    SIZE size = {0, 0};
    RECT rect = {0, 0, 0, 0};
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextA(dc, text.c_str(), -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}
} // namespace

OwnerDrawMenu::OwnerDrawMenu()
    : hMenuFont(nullptr), hBoldMenuFont(nullptr), hImages(nullptr)
{
    RecreateFonts();
}

OwnerDrawMenu::~OwnerDrawMenu()
{
    if (hMenuFont) DeleteObject(hMenuFont);
    if (hBoldMenuFont) DeleteObject(hBoldMenuFont);
}

void OwnerDrawMenu::RecreateFonts()
{
    if (hMenuFont) DeleteObject(hMenuFont);
    if (hBoldMenuFont) DeleteObject(hBoldMenuFont);
    hMenuFont = hBoldMenuFont = nullptr;
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        hMenuFont = CreateFontIndirectA(&metrics.lfMenuFont);
        metrics.lfMenuFont.lfWeight = FW_BOLD;
        hBoldMenuFont = CreateFontIndirectA(&metrics.lfMenuFont);
    }
}

void OwnerDrawMenu::SetImages(HIMAGELIST list, const std::map<UINT, int>& commandImages)
{
    hImages = list;
    images = commandImages;
}

void OwnerDrawMenu::AddRadioCommands(UINT first, UINT last)
{
    radioRanges[first] = last;
}

void OwnerDrawMenu::Convert(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[256] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_TYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = sizeof(text) - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        if (info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW)) continue;
        if (info.hSubMenu) Convert(info.hSubMenu);
        entries.push_back({info.wID, text, info.hSubMenu != nullptr, menu});
        Entry* entry = &entries.back();
        UINT flags = MF_BYPOSITION | MF_OWNERDRAW;
        if (info.fState & MFS_GRAYED) flags |= MF_GRAYED;
        if (info.fState & MFS_CHECKED) flags |= MF_CHECKED;
        UINT_PTR idOrMenu = info.wID;
        if (info.hSubMenu) {
            flags |= MF_POPUP;
            idOrMenu = reinterpret_cast<UINT_PTR>(info.hSubMenu);
        }
        ModifyMenuA(menu, static_cast<UINT>(position), flags, idOrMenu, reinterpret_cast<LPCSTR>(entry));
        MENUITEMINFOA data = {};
        data.cbSize = sizeof(data);
        data.fMask = MIIM_DATA;
        data.dwItemData = reinterpret_cast<ULONG_PTR>(entry);
        SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &data);
        if (info.fState & MFS_DEFAULT) SetMenuDefaultItem(menu, static_cast<UINT>(position), TRUE);
    }
}

void OwnerDrawMenu::Release()
{
    entries.clear();
}

const OwnerDrawMenu::Entry* OwnerDrawMenu::FromData(ULONG_PTR data) const
{
    for (const Entry& entry : entries)
        if (reinterpret_cast<ULONG_PTR>(&entry) == data) return &entry;
    return nullptr;
}

bool OwnerDrawMenu::Measure(MEASUREITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU) return false;
    const Entry* entry = FromData(item.itemData);
    if (!entry) return false;
    HDC dc = GetDC(nullptr);
    const bool isDefault = GetMenuDefaultItem(entry->hMenu, FALSE, 0) == entry->nId && !entry->bPopup;
    HFONT font = isDefault && hBoldMenuFont ? hBoldMenuFont : hMenuFont;
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const SIZE label = TextSize(dc, font, Before(entry->strText, '\t'));
    const std::string shortcut = After(entry->strText, '\t');
    const SIZE keys = shortcut.empty() ? SIZE{0, 0} : TextSize(dc, font, shortcut);
    ReleaseDC(nullptr, dc);
    item.itemWidth = static_cast<UINT>(kIconColumn + 6 + label.cx + (keys.cx ? kGap + keys.cx : 0) + 8);
    const int height = label.cy + 6;
    item.itemHeight = static_cast<UINT>(height < 20 ? 20 : height);
    return true;
}

bool OwnerDrawMenu::Draw(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU) return false;
    const Entry* entry = FromData(item.itemData);
    if (!entry) return false;
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool grayed = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool checked = (item.itemState & ODS_CHECKED) != 0;

    const int saved = SaveDC(dc);
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);

    const int top = rect.top + (rect.bottom - rect.top - 16) / 2;
    auto picture = images.find(entry->nId);
    if (checked) {
        auto range = radioRanges.upper_bound(entry->nId);
        const bool radio = range != radioRanges.begin() && entry->nId <= (--range)->second;
        HBRUSH brush = CreateSolidBrush(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        if (radio) {
            Ellipse(dc, rect.left + 8, top + 5, rect.left + 16, top + 13);
        } else {
            POINT check[] = {{rect.left + 6, top + 8}, {rect.left + 9, top + 11}, {rect.left + 16, top + 4},
                             {rect.left + 16, top + 7}, {rect.left + 9, top + 14}, {rect.left + 6, top + 11}};
            Polygon(dc, check, 6);
        }
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    } else if (hImages && picture != images.end()) {
        ImageList_DrawEx(hImages, picture->second, dc, rect.left + 4, top, 16, 16, CLR_NONE, CLR_DEFAULT,
                         grayed ? ILD_TRANSPARENT | ILD_BLEND50 : ILD_TRANSPARENT);
    }

    const bool isDefault = GetMenuDefaultItem(entry->hMenu, FALSE, 0) == entry->nId && !entry->bPopup;
    HFONT font = isDefault && hBoldMenuFont ? hBoldMenuFont : hMenuFont;
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    COLORREF color = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    if (grayed) color = GetSysColor(COLOR_GRAYTEXT);
    SetTextColor(dc, color);
    RECT text = {rect.left + kIconColumn + 6, rect.top, rect.right - 8, rect.bottom};
    const UINT hide = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    DrawTextA(dc, Before(entry->strText, '\t').c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | hide);
    const std::string shortcut = After(entry->strText, '\t');
    if (!shortcut.empty())
        DrawTextA(dc, shortcut.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    RestoreDC(dc, saved);
    return true;
}

LRESULT OwnerDrawMenu::MenuChar(char character, HMENU menu) const
{
    const int wanted = std::tolower(static_cast<unsigned char>(character));
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        const Entry* entry = FromData(info.dwItemData);
        if (!entry) continue;
        const std::string& text = entry->strText;
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != '&') continue;
            if (text[i + 1] == '&') {
                ++i;
                continue;
            }
            if (std::tolower(static_cast<unsigned char>(text[i + 1])) == wanted)
                return MAKELRESULT(position, MNC_EXECUTE);
            break;
        }
    }
    return MAKELRESULT(0, MNC_IGNORE);
}
