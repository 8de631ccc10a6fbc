#include "controls/PropertyListView.h"

#include "controls/ThisModule.h"

namespace {

const char kObjectProperty[] = "PropertyListView";
const int kPadding = 4;

} // namespace

PropertyListView::PropertyListView()
    : hWnd(nullptr), baseProc(nullptr), hFont(nullptr), crText(GetSysColor(COLOR_WINDOWTEXT)),
      crBackground(GetSysColor(COLOR_WINDOW))
{
}

PropertyListView::~PropertyListView()
{
    Destroy();
}

bool PropertyListView::Create(HWND parent, UINT id, const RECT& rect, HFONT font, const std::string& emptyText)
{
    Destroy();
    hFont = font;
    columns.clear();
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT |
                        LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS;
    hWnd = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, emptyText.c_str(), style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ThisModule(), nullptr);
    if (!hWnd) return false;
    SendMessageA(hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    if (font) SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetPropA(hWnd, kObjectProperty, this);
    baseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PropertyListView::ListProc)));
    SetColors(crText, crBackground);
    return true;
}

void PropertyListView::Destroy()
{
    if (!hWnd) return;
    HWND window = hWnd;
    hWnd = nullptr;
    DestroyWindow(window);
    columns.clear();
}

LRESULT CALLBACK PropertyListView::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PropertyListView* self = static_cast<PropertyListView*>(GetPropA(window, kObjectProperty));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC base = self->baseProc;
    switch (message) {
    case WM_PAINT: {
        LRESULT result = CallWindowProcA(base, window, message, wParam, lParam);
        if (SendMessageA(window, LVM_GETITEMCOUNT, 0, 0) == 0) {
            HDC dc = GetDC(window);
            self->DrawEmptyText(dc);
            ReleaseDC(window, dc);
        }
        return result;
    }
    case WM_WINDOWPOSCHANGED:
        // The empty text is centred: redraw it all.
        if (SendMessageA(window, LVM_GETITEMCOUNT, 0, 0) == 0) InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_NCDESTROY:
        RemovePropA(window, kObjectProperty);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        if (self->hWnd == window) self->hWnd = nullptr;
        break;
    default:
        break;
    }
    return CallWindowProcA(base, window, message, wParam, lParam);
}

void PropertyListView::DrawEmptyText(HDC dc) const
{
    RECT client;
    GetClientRect(hWnd, &client);
    HWND header = reinterpret_cast<HWND>(SendMessageA(hWnd, LVM_GETHEADER, 0, 0));
    if (header && !columns.empty() && IsWindowVisible(header)) {
        RECT headerRect;
        GetWindowRect(header, &headerRect);
        client.top += headerRect.bottom - headerRect.top;
    }
    if (client.bottom <= client.top) return;
    const int saved = SaveDC(dc);
    HBRUSH brush = CreateSolidBrush(crBackground);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    char text[1024] = {};
    GetWindowTextA(hWnd, text, sizeof(text));
    SelectObject(dc, hFont ? static_cast<HGDIOBJ>(hFont) : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, crText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    RestoreDC(dc, saved);
}

void PropertyListView::SetColors(COLORREF text, COLORREF background)
{
    crText = text;
    crBackground = background;
    if (!hWnd) return;
    SendMessageA(hWnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    SendMessageA(hWnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessageA(hWnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
}

void PropertyListView::SetColumns(const std::vector<std::string>& titles, int width)
{
    while (SendMessageA(hWnd, LVM_DELETECOLUMN, 0, 0)) {}
    columns = titles;
    for (size_t i = 0; i < titles.size(); ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<char*>(titles[i].c_str());
        column.iSubItem = static_cast<int>(i);
        SendMessageA(hWnd, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

int PropertyListView::AddRow(const std::vector<std::string>& cells, LPARAM data)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = const_cast<char*>(cells.empty() ? "" : cells[0].c_str());
    item.lParam = data;
    int row = static_cast<int>(SendMessageA(hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return row;
    for (size_t i = 1; i < cells.size() && i < columns.size(); ++i) {
        LVITEMA sub = {};
        sub.iSubItem = static_cast<int>(i);
        sub.pszText = const_cast<char*>(cells[i].c_str());
        SendMessageA(hWnd, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
    }
    return row;
}

int PropertyListView::RowCount() const
{
    return hWnd ? static_cast<int>(SendMessageA(hWnd, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string PropertyListView::CellText(int row, int column) const
{
    std::vector<char> buffer(1024);
    for (;;) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        int length = static_cast<int>(SendMessageA(hWnd, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
        if (length < static_cast<int>(buffer.size()) - 1 || buffer.size() >= (1u << 20))
            return std::string(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
        buffer.resize(buffer.size() * 4);
    }
}

int PropertyListView::TextWidth(const std::string& text) const
{
    HDC dc = GetDC(hWnd);
    HGDIOBJ old = SelectObject(dc, hFont ? static_cast<HGDIOBJ>(hFont) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hWnd, dc);
    return size.cx;
}

void PropertyListView::FitColumns(const std::vector<bool>& titleWins)
{
    const int rows = RowCount();
    for (size_t c = 0; c < columns.size(); ++c) {
        int width = 0;
        for (int r = 0; r < rows; ++r) {
            int cell = TextWidth(CellText(r, static_cast<int>(c)));
            if (cell > width) width = cell;
        }
        width += 2 * kPadding;
        // The title needs room for the header's margins and the sort arrow.
        int title = TextWidth(columns[c]) + 3 * kPadding + 14 + 18;
        if ((c >= titleWins.size() || titleWins[c] || rows == 0) && title > width) width = title;
        SendMessageA(hWnd, LVM_SETCOLUMNWIDTH, c, MAKELPARAM(width, 0));
    }
}

std::vector<int> PropertyListView::SelectedRows() const
{
    std::vector<int> rows;
    int row = -1;
    while (hWnd && (row = static_cast<int>(SendMessageA(hWnd, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0)
        rows.push_back(row);
    return rows;
}

std::vector<std::vector<std::string>> PropertyListView::SelectedCells() const
{
    std::vector<std::vector<std::string>> cells;
    for (int row : SelectedRows()) {
        std::vector<std::string> line;
        for (size_t c = 0; c < columns.size(); ++c) line.push_back(CellText(row, static_cast<int>(c)));
        cells.push_back(line);
    }
    return cells;
}

void PropertyListView::SelectAll()
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

int PropertyListView::FocusedRow() const
{
    int row = static_cast<int>(SendMessageA(hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row < 0) row = static_cast<int>(SendMessageA(hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row;
}

POINT PropertyListView::MenuPoint() const
{
    POINT point = {0, 0};
    RECT rect = {};
    int row = FocusedRow();
    rect.left = LVIR_BOUNDS;
    if (row >= 0 && SendMessageA(hWnd, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect))) {
        point.x = rect.left + kPadding;
        point.y = rect.bottom;
    }
    ClientToScreen(hWnd, &point);
    return point;
}

void PropertyListView::AttachSortImages(HIMAGELIST images)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(hWnd, LVM_GETHEADER, 0, 0));
    if (header && images) SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void PropertyListView::ShowSortArrow(int column, bool ascending)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(hWnd, LVM_GETHEADER, 0, 0));
    if (!header) return;
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        item.mask = HDI_FORMAT | HDI_IMAGE;
        if (i == column) {
            item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
            item.iImage = ascending ? 0 : 1;
        } else {
            item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
            item.iImage = I_IMAGENONE;
        }
        SendMessageA(header, HDM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

UINT PropertyListView::RowHeight(HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, "X", 1, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    UINT height = static_cast<UINT>(size.cy);
    if (height & 1) ++height;
    return height + 3;
}

void PropertyListView::MeasureRow(MEASUREITEMSTRUCT* measure, HFONT font)
{
    measure->itemHeight = RowHeight(font);
}

void PropertyListView::DrawRow(const DRAWITEMSTRUCT* draw) const
{
    if (!hWnd || draw->hwndItem != hWnd || static_cast<int>(draw->itemID) < 0) return;
    const int row = static_cast<int>(draw->itemID);
    const bool focused = GetFocus() == hWnd;
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    COLORREF text = crText;
    COLORREF back = crBackground;
    if (selected && focused) {
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
        back = GetSysColor(COLOR_HIGHLIGHT);
    } else if (selected) {
        text = GetSysColor(COLOR_WINDOWTEXT);
        back = GetSysColor(COLOR_3DLIGHT);
    }
    HDC dc = draw->hDC;
    const int saved = SaveDC(dc);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &draw->rcItem, brush);
    DeleteObject(brush);
    SelectObject(dc, hFont ? static_cast<HGDIOBJ>(hFont) : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);

    for (size_t c = 0; c < columns.size(); ++c) {
        RECT cell = {};
        cell.top = static_cast<int>(c);
        cell.left = LVIR_LABEL;
        if (!SendMessageA(hWnd, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) continue;
        if (c == 0) {
            // The label rectangle of column 0 may leave out the item's left edge.
            cell.left = draw->rcItem.left;
            int width = static_cast<int>(SendMessageA(hWnd, LVM_GETCOLUMNWIDTH, 0, 0));
            cell.right = cell.left + width;
        }
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT;
        SendMessageA(hWnd, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
        UINT align = DT_LEFT;
        if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) align = DT_RIGHT;
        if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) align = DT_CENTER;
        cell.left += kPadding;
        cell.right -= kPadding;
        if (cell.right <= cell.left) continue;
        std::string value = CellText(row, static_cast<int>(c));
        DrawTextA(dc, value.c_str(), static_cast<int>(value.size()), &cell,
                  align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (focused && (draw->itemState & ODS_FOCUS)) DrawFocusRect(dc, &draw->rcItem);
    RestoreDC(dc, saved);
}
