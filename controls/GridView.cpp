#include "controls/GridView.h"
#include "controls/Superclass.h"
#include "controls/ThisModule.h"

#include <vector>

namespace {
const char kClassName[] = "Orvo_GridView";
Superclass g_class(WC_LISTVIEWA, kClassName, ICC_LISTVIEW_CLASSES);

// An opaque 1-pixel line drawn as a rectangle.
void FillLine(HDC dc, int left, int top, int right, int bottom)
{
    RECT rect = {left, top, right, bottom};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
}

COLORREF ListBackground(HWND window)
{
    COLORREF color = static_cast<COLORREF>(SendMessageA(window, LVM_GETBKCOLOR, 0, 0));
    return color == CLR_NONE ? GetSysColor(COLOR_WINDOW) : color;
}
} // namespace

GridView::GridView() : hWnd(nullptr), nColumns(0), hHeader(nullptr) {}

GridView::~GridView()
{
    if (hWnd && IsWindow(hWnd)) {
        SetWindowLongPtrA(hWnd, g_class.ObjectSlot(), 0);
        DestroyWindow(hWnd);
    }
}

bool GridView::Register()
{
    return g_class.Register(WindowProc);
}

void GridView::Unregister()
{
    g_class.Unregister();
}

GridView* GridView::FromWindow(HWND window)
{
    return reinterpret_cast<GridView*>(GetWindowLongPtrA(window, g_class.ObjectSlot()));
}

bool GridView::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    if (hWnd || !Register()) return false;
    HWND window = CreateWindowExA(exStyle, kClassName, "", style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  ThisModule(), this);
    if (!window) return false;
    hWnd = window;
    if (!hHeader) hHeader = FindWindowExA(window, nullptr, WC_HEADERA, nullptr);
    if (hHeader) {
        LONG headerStyle = GetWindowLongA(hHeader, GWL_STYLE);
        if (headerStyle & HDS_FULLDRAG) SetWindowLongA(hHeader, GWL_STYLE, headerStyle & ~HDS_FULLDRAG);
    }
    return true;
}

int GridView::InsertColumn(int index, const char* text, int width, int format)
{
    if (!hWnd) return -1;
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessageA(hWnd, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
}

bool GridView::DeleteColumn(int index)
{
    return hWnd && SendMessageA(hWnd, LVM_DELETECOLUMN, index, 0) != 0;
}

int GridView::ItemAreaTop() const
{
    if (!hHeader || !IsWindowVisible(hHeader)) return 0;
    RECT header;
    GetWindowRect(hHeader, &header);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&header), 2);
    return header.bottom > 0 ? header.bottom : 0;
}

void GridView::DrawEmptyText(HDC dc)
{
    RECT client;
    GetClientRect(hWnd, &client);
    if (nColumns > 0) client.top = ItemAreaTop();
    if (client.bottom <= client.top) return;

    const int saved = SaveDC(dc);
    HBRUSH brush = CreateSolidBrush(ListBackground(hWnd));
    FillRect(dc, &client, brush);
    DeleteObject(brush);

    char text[1024] = {};
    GetWindowTextA(hWnd, text, sizeof(text));
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, static_cast<COLORREF>(SendMessageA(hWnd, LVM_GETTEXTCOLOR, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    RestoreDC(dc, saved);
}

void GridView::DrawGrid(HDC dc)
{
    const int count = static_cast<int>(SendMessageA(hWnd, LVM_GETITEMCOUNT, 0, 0));
    const int top = static_cast<int>(SendMessageA(hWnd, LVM_GETTOPINDEX, 0, 0));
    if (count <= 0 || top < 0 || top >= count) return;
    RECT client;
    GetClientRect(hWnd, &client);
    const int areaTop = ItemAreaTop();

    RECT first = {LVIR_BOUNDS, 0, 0, 0};
    RECT last = {LVIR_BOUNDS, 0, 0, 0};
    if (!SendMessageA(hWnd, LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&first))) return;
    if (!SendMessageA(hWnd, LVM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last))) return;
    const int itemHeight = first.bottom - first.top;
    if (itemHeight <= 0) return;

    const int saved = SaveDC(dc);
    // The area below the last item, cleared off-screen and copied.
    if (last.bottom < client.bottom) {
        RECT below = {client.left, last.bottom > areaTop ? last.bottom : areaTop, client.right, client.bottom};
        const int width = below.right - below.left;
        const int height = below.bottom - below.top;
        if (width > 0 && height > 0) {
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
            HGDIOBJ old = SelectObject(memory, bitmap);
            SetBkColor(memory, ListBackground(hWnd));
            FillLine(memory, 0, 0, width, height);
            BitBlt(dc, below.left, below.top, width, height, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
        }
    }

    SetBkColor(dc, GetSysColor(COLOR_3DLIGHT));
    // Rows continue below the last item with the same height.
    for (int y = first.top; y < client.bottom; y += itemHeight) {
        if (y >= areaTop) FillLine(dc, client.left, y, client.right, y + 1);
        const int bottom = y + itemHeight;
        if (bottom >= areaTop && bottom < client.bottom) FillLine(dc, client.left, bottom, client.right, bottom + 1);
    }

    // Vertical lines in display order, shifted by the horizontal scroll position.
    const int columns = hHeader ? static_cast<int>(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0)) : nColumns;
    if (columns > 0) {
        std::vector<int> order(static_cast<size_t>(columns));
        if (!SendMessageA(hWnd, LVM_GETCOLUMNORDERARRAY, columns, reinterpret_cast<LPARAM>(order.data())))
            for (int i = 0; i < columns; ++i) order[static_cast<size_t>(i)] = i;
        int x = first.left;
        for (int index : order) {
            x += static_cast<int>(SendMessageA(hWnd, LVM_GETCOLUMNWIDTH, index, 0));
            FillLine(dc, x - 1, areaTop, x, client.bottom);
        }
    }
    RestoreDC(dc, saved);
}

LRESULT GridView::EraseAroundRows(HWND window, HDC dc)
{
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const bool ownerRows = (style & LVS_OWNERDRAWFIXED) && (style & LVS_TYPEMASK) == LVS_REPORT;
    const int saved = SaveDC(dc);
    if (ownerRows) {
        const int count = static_cast<int>(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0));
        const int top = static_cast<int>(SendMessageA(window, LVM_GETTOPINDEX, 0, 0));
        const int page = static_cast<int>(SendMessageA(window, LVM_GETCOUNTPERPAGE, 0, 0));
        for (int row = top; row >= 0 && row < count && row <= top + page; ++row) {
            RECT rect = {};
            rect.left = LVIR_BOUNDS;
            if (SendMessageA(window, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
                ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
        }
    }
    const LRESULT result = CallWindowProcA(g_class.BaseProc(), window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    // The rows are painted with the same device context afterwards.
    RestoreDC(dc, saved);
    return result;
}

LRESULT CALLBACK GridView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GridView* self = FromWindow(window);
    switch (message) {
    case WM_CREATE: {
        GridView* created = static_cast<GridView*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (created) {
            created->hWnd = window;
            SetWindowLongPtrA(window, g_class.ObjectSlot(), reinterpret_cast<LONG_PTR>(created));
        }
        return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
    }
    case WM_PARENTNOTIFY: {
        LRESULT result = CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
        if (self) {
            if (LOWORD(wParam) == WM_CREATE)
                self->hHeader = reinterpret_cast<HWND>(lParam);
            else if (LOWORD(wParam) == WM_DESTROY && reinterpret_cast<HWND>(lParam) == self->hHeader)
                self->hHeader = nullptr;
        }
        return result;
    }
    case LVM_INSERTCOLUMNA:
    case LVM_INSERTCOLUMNW: {
        LRESULT result = CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
        if (self && result >= 0) ++self->nColumns;
        return result;
    }
    case LVM_DELETECOLUMN: {
        LRESULT result = CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
        if (self && result && self->nColumns > 0) --self->nColumns;
        return result;
    }
    case WM_WINDOWPOSCHANGED: {
        LRESULT result = CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
        if (SendMessageA(window, LVM_GETITEMCOUNT, 0, 0) == 0) InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_ERASEBKGND: return EraseAroundRows(window, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
        LRESULT result = CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
        if (self) {
            const LRESULT count = SendMessageA(window, LVM_GETITEMCOUNT, 0, 0);
            HDC dc = GetDC(window);
            if (count > 0) {
                if (self->nColumns > 0) self->DrawGrid(dc);
            } else {
                self->DrawEmptyText(dc);
            }
            ReleaseDC(window, dc);
        }
        return result;
    }
    case WM_NCDESTROY:
        if (self) {
            SetWindowLongPtrA(window, g_class.ObjectSlot(), 0);
            self->hWnd = nullptr;
            self->hHeader = nullptr;
        }
        return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
    default:
        return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
    }
}
