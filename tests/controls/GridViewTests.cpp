#include <doctest/doctest.h>

#include "tests/controls/ControlHost.h"
#include "controls/GridView.h"

#include <algorithm>

namespace {

const char kEmptyText[] = "There are no items to show in this view";

struct Box {
    int left = 10000, right = -1, top = 10000, bottom = -1;
};

// Bounding box of the pixels of one colour inside [top, bottom) of a window.
Box FindColor(HWND window, COLORREF color, int top, int bottom)
{
    int width = 0, height = 0;
    std::vector<COLORREF> pixels = ControlHost::Capture(window, width, height);
    Box box;
    for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
        for (int x = 0; x < width; ++x)
            if (pixels[static_cast<size_t>(y * width + x)] == color) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

int HeaderBottom(const GridView& grid)
{
    RECT header;
    GetWindowRect(grid.GetHeader(), &header);
    MapWindowPoints(nullptr, grid.GetHwnd(), reinterpret_cast<POINT*>(&header), 2);
    return header.bottom;
}

void AddItems(HWND window, int count)
{
    for (int i = 0; i < count; ++i) {
        char text[16];
        wsprintfA(text, "item %d", i);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text;
        SendMessageA(window, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

const DWORD kStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS;

} // namespace

TEST_SUITE("controls")
{
    TEST_CASE("grid view: empty text centred below the header, or in the whole client without columns")
    {
        ControlHost host(400, 300);
        GridView grid;
        RECT rect = {0, 0, 300, 200};
        REQUIRE(grid.Create(0, kStyle, rect, host.GetHwnd(), 304));
        HWND window = grid.GetHwnd();
        SetWindowTextA(window, kEmptyText);
        SendMessageA(window, LVM_SETTEXTCOLOR, 0, RGB(200, 0, 0));
        SendMessageA(window, LVM_SETBKCOLOR, 0, RGB(255, 255, 240));
        host.Pump();

        Box whole = FindColor(window, RGB(200, 0, 0), 0, 200);
        REQUIRE(whole.right > 0);
        CHECK(std::abs((whole.left + whole.right) / 2 - 150) <= 3);
        CHECK(std::abs((whole.top + whole.bottom) / 2 - 100) <= 3);

        REQUIRE(grid.InsertColumn(0, "Module", 150) == 0);
        REQUIRE(grid.InsertColumn(1, "Location", 200) == 1);
        CHECK(grid.GetColumnCount() == 2);
        REQUIRE(grid.GetHeader() != nullptr);
        InvalidateRect(window, nullptr, TRUE);
        host.Pump();
        const int headerBottom = HeaderBottom(grid);
        REQUIRE(headerBottom > 10);
        Box below = FindColor(window, RGB(200, 0, 0), 0, 200);
        REQUIRE(below.right > 0);
        CHECK(below.top >= headerBottom);
        RECT client;
        GetClientRect(window, &client);
        CHECK(std::abs((below.top + below.bottom) / 2 - (headerBottom + client.bottom) / 2) <= 3);
        CHECK(ControlHost::Pixel(window, 5, headerBottom + 3) == RGB(255, 255, 240));

        // Once items arrive the empty text is gone.
        AddItems(window, 1);
        host.Pump();
        CHECK(FindColor(window, RGB(200, 0, 0), headerBottom + 40, 200).right < 0);
    }

    TEST_CASE("grid view: a list with items but no columns does not show the empty text over them")
    {
        ControlHost host(400, 300);
        GridView grid;
        RECT rect = {0, 0, 300, 200};
        REQUIRE(grid.Create(0, WS_CHILD | WS_VISIBLE | LVS_LIST, rect, host.GetHwnd(), 304));
        SetWindowTextA(grid.GetHwnd(), kEmptyText);
        SendMessageA(grid.GetHwnd(), LVM_SETTEXTCOLOR, 0, RGB(200, 0, 0));
        AddItems(grid.GetHwnd(), 1);
        host.Pump();
        CHECK(FindColor(grid.GetHwnd(), RGB(200, 0, 0), 60, 200).right < 0);
    }

    TEST_CASE("grid view: grid lines follow rows, the column order and scrolling")
    {
        ControlHost host(400, 300);
        GridView grid;
        RECT rect = {0, 0, 300, 200};
        REQUIRE(grid.Create(0, kStyle, rect, host.GetHwnd(), 304));
        HWND window = grid.GetHwnd();
        grid.InsertColumn(0, "Name", 60);
        grid.InsertColumn(1, "PID", 100);
        AddItems(window, 3);
        host.Pump();
        const COLORREF line = GetSysColor(COLOR_3DLIGHT);
        REQUIRE(line != GetSysColor(COLOR_WINDOW));

        // The header lost its full-drag style.
        CHECK((GetWindowLongA(grid.GetHeader(), GWL_STYLE) & HDS_FULLDRAG) == 0);

        RECT item = {LVIR_BOUNDS, 0, 0, 0};
        REQUIRE(SendMessageA(window, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item)));
        const int rowHeight = item.bottom - item.top;
        REQUIRE(rowHeight > 4);
        // Rows continue below the last item; a spot in the middle of such a row.
        const int emptyRow = item.bottom + rowHeight / 2;

        CHECK(ControlHost::Pixel(window, 59, emptyRow) == line);
        CHECK(ControlHost::Pixel(window, 159, emptyRow) == line);
        CHECK(ControlHost::Pixel(window, 99, emptyRow) != line);
        CHECK(ControlHost::Pixel(window, 200, item.bottom) == line);
        CHECK(ControlHost::Pixel(window, 200, item.bottom + rowHeight) == line);
        CHECK(ControlHost::Pixel(window, 200, emptyRow) != line);

        SUBCASE("reordered columns move the vertical lines")
        {
            int order[2] = {1, 0};
            REQUIRE(SendMessageA(window, LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(order)));
            InvalidateRect(window, nullptr, TRUE);
            host.Pump();
            CHECK(ControlHost::Pixel(window, 99, emptyRow) == line);
            CHECK(ControlHost::Pixel(window, 159, emptyRow) == line);
            CHECK(ControlHost::Pixel(window, 59, emptyRow) != line);
        }

        SUBCASE("scrolled rows keep their lines")
        {
            AddItems(window, 60);
            SendMessageA(window, LVM_SCROLL, 0, rowHeight * 7);
            host.Pump();
            const int top = static_cast<int>(SendMessageA(window, LVM_GETTOPINDEX, 0, 0));
            CHECK(top > 0);
            RECT first = {LVIR_BOUNDS, 0, 0, 0};
            SendMessageA(window, LVM_GETITEMRECT, top + 1, reinterpret_cast<LPARAM>(&first));
            CHECK(ControlHost::Pixel(window, 250, first.top) == line);
            CHECK(ControlHost::Pixel(window, 250, first.top + rowHeight / 2) != line);
        }

        SUBCASE("horizontal scrolling moves the vertical lines with the columns")
        {
            SendMessageA(window, LVM_SETCOLUMNWIDTH, 1, 400);
            SendMessageA(window, LVM_SCROLL, 20, 0);
            host.Pump();
            RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
            SendMessageA(window, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds));
            REQUIRE(bounds.left < 0);
            CHECK(ControlHost::Pixel(window, bounds.left + 59, emptyRow) == line);
        }
    }

    TEST_CASE("grid view: the column count follows inserts and deletes")
    {
        ControlHost host(400, 300);
        GridView grid;
        RECT rect = {0, 0, 300, 200};
        REQUIRE(grid.Create(0, kStyle, rect, host.GetHwnd(), 304));
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 50;
        for (int i = 0; i < 3; ++i) SendMessageA(grid.GetHwnd(), LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        CHECK(grid.GetColumnCount() == 3);
        CHECK(grid.DeleteColumn(1));
        CHECK_FALSE(grid.DeleteColumn(7));
        CHECK(grid.GetColumnCount() == 2);
    }
}
