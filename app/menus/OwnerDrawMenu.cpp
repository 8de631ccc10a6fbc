#include "app/menus/OwnerDrawMenu.h"

#include "gdiutils/Orvo_GdiUtilities.h"
#include "sysinfo/UxThemeWrapper.h"

#include <cctype>

namespace {
const int kIconColumn = 24;
const int kGap = 20;
const int kPicture = 16;
const int kPictureLeft = 4;
const int kMinHeight = 20;

// The text colour, inverted when its luminance is too close to the background's to be read.
COLORREF Readable(COLORREF text, COLORREF back)
{
    WORD hue = 0, textLuminance = 0, backLuminance = 0, saturation = 0;
    ColorToHls(text, &hue, &textLuminance, &saturation);
    ColorToHls(back, &hue, &backLuminance, &saturation);
    const int gap = textLuminance > backLuminance ? textLuminance - backLuminance : backLuminance - textLuminance;
    return gap < 60 ? InvertColor(text) : text;
}

// Image `index` greyed at (x, y): drawn over the button face, greyed, the face becoming `background`.
void DrawGreyedImage(HDC dc, HIMAGELIST images, int index, int x, int y, COLORREF background)
{
    HBITMAP bitmap = ImageListIconToBitmap(dc, images, index);
    if (!bitmap) return;
    // The library draws at the DC's origin.
    POINT origin = {0, 0};
    OffsetViewportOrgEx(dc, x, y, &origin);
    DrawGreyedBitmap(dc, bitmap, background);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    DeleteObject(bitmap);
}

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
    : hMenuFont(nullptr), hBoldMenuFont(nullptr), hImages(nullptr), bThemed(false)
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
    UxThemeWrapper theme;
    bThemed = theme.IsAppThemed() != FALSE;
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

OwnerDrawMenu::Look OwnerDrawMenu::LookOf(const Entry& entry) const
{
    Look look;
    look.strText = entry.strText;
    look.bBold = !entry.bPopup && GetMenuDefaultItem(entry.hMenu, FALSE, 0) == entry.nId;
    auto range = radioRanges.upper_bound(entry.nId);
    look.bRadio = range != radioRanges.begin() && entry.nId <= (--range)->second;
    look.hIcon = nullptr;
    const auto picture = images.find(entry.nId);
    look.nImage = hImages && picture != images.end() ? picture->second : -1;
    return look;
}

bool OwnerDrawMenu::Measure(MEASUREITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU) return false;
    const Entry* entry = FromData(item.itemData);
    if (!entry) return false;
    MeasureLook(item, LookOf(*entry));
    return true;
}

bool OwnerDrawMenu::Draw(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU) return false;
    const Entry* entry = FromData(item.itemData);
    if (!entry) return false;
    Paint(item, LookOf(*entry));
    return true;
}

void OwnerDrawMenu::MeasureLabel(MEASUREITEMSTRUCT& item, const std::string& text) const
{
    MeasureLook(item, Look{Before(text, '\t'), false, false, nullptr, -1});
}

void OwnerDrawMenu::DrawLabel(const DRAWITEMSTRUCT& item, const std::string& text, HICON icon) const
{
    Paint(item, Look{Before(text, '\t'), false, false, icon, -1});
}

void OwnerDrawMenu::MeasureLook(MEASUREITEMSTRUCT& item, const Look& look) const
{
    HDC dc = GetDC(nullptr);
    HFONT font = look.bBold && hBoldMenuFont ? hBoldMenuFont : hMenuFont;
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const SIZE label = TextSize(dc, font, Before(look.strText, '\t'));
    const std::string shortcut = After(look.strText, '\t');
    const SIZE keys = shortcut.empty() ? SIZE{0, 0} : TextSize(dc, font, shortcut);
    ReleaseDC(nullptr, dc);
    item.itemWidth = static_cast<UINT>(kIconColumn + 6 + label.cx + (keys.cx ? kGap + keys.cx : 0) + 8);
    const int height = label.cy + 6;
    item.itemHeight = static_cast<UINT>(height < kMinHeight ? kMinHeight : height);
}

void OwnerDrawMenu::Paint(const DRAWITEMSTRUCT& item, const Look& look) const
{
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool grayed = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;

    const int saved = SaveDC(dc);
    // The selection: with visual styles the highlight lightened and framed, else the highlight itself.
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF back = GetSysColor(COLOR_MENU);
    COLORREF text = GetSysColor(COLOR_MENUTEXT);
    if (selected && bThemed) {
        back = LightenColor(highlight, 0.7);
    } else if (selected) {
        back = highlight;
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    FillSolidRect(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, back);
    if (selected && bThemed) DrawFrame(dc, highlight, &rect, 1);
    text = grayed ? GetSysColor(COLOR_GRAYTEXT) : Readable(text, back);

    const int top = rect.top + (rect.bottom - rect.top - kPicture) / 2;
    const RECT cell = {rect.left + kPictureLeft - 2, top - 2, rect.left + kPictureLeft + kPicture + 2, top + kPicture + 2};
    PaintPicture(dc, cell, look, item.itemState, back, text);

    HFONT font = look.bBold && hBoldMenuFont ? hBoldMenuFont : hMenuFont;
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    RECT label = {rect.left + kIconColumn + 6, rect.top, rect.right - 8, rect.bottom};
    const UINT hide = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    DrawTextA(dc, Before(look.strText, '\t').c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT | hide);
    const std::string shortcut = After(look.strText, '\t');
    if (!shortcut.empty())
        DrawTextA(dc, shortcut.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    RestoreDC(dc, saved);
}

void OwnerDrawMenu::PaintPicture(HDC dc, const RECT& cell, const Look& look, UINT state, COLORREF back,
                                 COLORREF text) const
{
    const bool selected = (state & ODS_SELECTED) != 0;
    const bool grayed = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const int x = cell.left + 2, y = cell.top + 2;
    if ((state & ODS_CHECKED) && look.bRadio) {
        HBRUSH brush = CreateSolidBrush(text);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, x + 4, y + 5, x + 12, y + 13);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    } else if (state & ODS_CHECKED) {
        if (bThemed) {
            DrawMenuCheck(dc, &cell, GetSysColor(COLOR_HIGHLIGHT), selected);
        } else {
            // A sunken box on the menu colour, the mark in the menu text colour.
            FillSolidRect(dc, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
                          GetSysColor(COLOR_MENU));
            DrawCheckBox(dc, &cell);
        }
    } else if (look.hIcon) {
        DrawIconEx(dc, x, y, look.hIcon, kPicture, kPicture, 0, nullptr, DI_NORMAL);
    } else if (look.nImage >= 0 && grayed) {
        DrawGreyedImage(dc, hImages, look.nImage, x, y, back);
    } else if (look.nImage >= 0) {
        ImageList_DrawEx(hImages, look.nImage, dc, x, y, kPicture, kPicture, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
    }
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
