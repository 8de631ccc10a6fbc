#include "controls/ListRowLook.h"

#include "gdiutils/Orvo_GdiUtilities.h"
#include "sysinfo/UxThemeWrapper.h"

bool ListRowLook::ThemedNow()
{
    UxThemeWrapper theme;
    return theme.IsAppThemed() != FALSE;
}

COLORREF ListRowLook::Background(const DRAWITEMSTRUCT& draw) const
{
    COLORREF back = GetSysColor(COLOR_WINDOW);
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (draw.itemState & ODS_SELECTED) {
        back = bThemed ? LightenColor(GetSysColor(COLOR_HIGHLIGHT), 0.7) : GetSysColor(COLOR_HIGHLIGHT);
        if (!bThemed) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    const RECT& row = draw.rcItem;
    FillSolidRect(draw.hDC, row.left, row.top, row.right - row.left, row.bottom - row.top, back);
    return text;
}

void ListRowLook::Focus(const DRAWITEMSTRUCT& draw) const
{
    if (!(draw.itemState & ODS_FOCUS)) return;
    if (bThemed)
        DrawFrame(draw.hDC, GetSysColor(COLOR_HIGHLIGHT), &draw.rcItem, 1);
    else
        DrawFocusRect(draw.hDC, &draw.rcItem);
}
