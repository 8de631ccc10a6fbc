#include <doctest/doctest.h>

#include "tests/controls/ControlHost.h"
#include "controls/Infobar.h"

#include <algorithm>

namespace {

const COLORREF kStart = RGB(200, 0, 0);
const COLORREF kEnd = RGB(0, 0, 200);
const COLORREF kText = RGB(255, 255, 0);

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// An infobar as the main frame sets it up: margins 6, 4, 4, 4.
void SetUp(Infobar& bar, ControlHost& host, const char* text, DWORD extraStyle = 0, int width = 320)
{
    RECT rect = {0, 0, width, 32};
    REQUIRE(bar.Create(0, WS_CHILD | WS_VISIBLE | extraStyle, text, rect, host.GetHwnd(), 303));
    bar.SetMargins(6, 4, 4, 4);
    bar.SetGradient(kStart, kEnd);
    bar.SetTextColor(kText);
    InvalidateRect(bar.GetHwnd(), nullptr, FALSE);
    host.Pump();
}

struct TextBox {
    int left = 10000, right = -1, top = 10000, bottom = -1;
};

TextBox FindText(HWND window)
{
    int width = 0, height = 0;
    std::vector<COLORREF> pixels = ControlHost::Capture(window, width, height);
    TextBox box;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (Near(pixels[static_cast<size_t>(y * width + x)], kText, 40)) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

} // namespace

TEST_SUITE("controls")
{
    TEST_CASE("infobar: margins, gradient and text")
    {
        ControlHost host(400, 100);
        Infobar bar;
        SetUp(bar, host, "Processes");
        HWND window = bar.GetHwnd();

        // Outside the margins: the button face; inside: the gradient from left to right.
        CHECK(ControlHost::Pixel(window, 2, 16) == GetSysColor(COLOR_BTNFACE));
        CHECK(ControlHost::Pixel(window, 100, 1) == GetSysColor(COLOR_BTNFACE));
        CHECK(ControlHost::Pixel(window, 318, 16) == GetSysColor(COLOR_BTNFACE));
        CHECK(Near(ControlHost::Pixel(window, 6, 5), kStart, 12));
        CHECK(Near(ControlHost::Pixel(window, 315, 5), kEnd, 12));

        // The text starts at the left margin and is centred vertically.
        TextBox box = FindText(window);
        REQUIRE(box.right > 0);
        CHECK(box.left >= 6);
        CHECK(box.left <= 9);
        CHECK(std::abs((box.top + box.bottom) / 2 - 16) <= 3);

        SUBCASE("vertical mode runs from top to bottom")
        {
            CHECK(bar.SetGradientMode(1) == 0);
            host.Pump();
            CHECK(Near(ControlHost::Pixel(window, 300, 4), kStart, 25));
            CHECK(Near(ControlHost::Pixel(window, 300, 27), kEnd, 25));
            CHECK(bar.SetGradientMode(0) == 1);
        }

        SUBCASE("a text change repaints")
        {
            SetWindowTextA(window, "");
            host.Pump();
            CHECK(FindText(window).right < 0);
        }
    }

    TEST_CASE("infobar: a long text ends with an ellipsis 32 pixels before the gradient's end")
    {
        ControlHost host(400, 100);
        Infobar bar;
        SetUp(bar, host, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 0, 200);
        TextBox box = FindText(bar.GetHwnd());
        REQUIRE(box.right > 0);
        const int textRight = 200 - 4 - 32;
        CHECK(box.right < textRight);
        CHECK(box.right > textRight - 20);

        // The last few columns hold only the dots of the ellipsis: low, few rows.
        int width = 0, height = 0;
        std::vector<COLORREF> pixels = ControlHost::Capture(bar.GetHwnd(), width, height);
        int rows = 0, highest = height;
        for (int y = 0; y < height; ++y) {
            bool any = false;
            for (int x = box.right - 6; x <= box.right; ++x)
                if (Near(pixels[static_cast<size_t>(y * width + x)], kText, 40)) any = true;
            if (any) {
                ++rows;
                highest = std::min(highest, y);
            }
        }
        CHECK(rows <= 4);
        CHECK(highest > box.top + (box.bottom - box.top) / 2);
    }

    TEST_CASE("infobar: icon placement, SetIcon twice, bitmaps with a transparent corner")
    {
        ControlHost host(400, 100);
        Infobar bar;
        SetUp(bar, host, "Modules");
        HWND window = bar.GetHwnd();
        const int iconLeft = 320 - 4 - 20;
        const int iconTop = 32 / 2 - 8;

        HICON green = ControlHost::MakeSolidIcon(RGB(0, 160, 0));
        bar.SetIcon(green, 0);
        host.Pump();
        HIMAGELIST first = bar.GetImageList();
        REQUIRE(first != nullptr);
        CHECK(ControlHost::Pixel(window, iconLeft, iconTop) == RGB(0, 160, 0));
        CHECK(ControlHost::Pixel(window, iconLeft + 15, iconTop + 15) == RGB(0, 160, 0));
        CHECK(ControlHost::Pixel(window, iconLeft - 1, iconTop) != RGB(0, 160, 0));
        CHECK(ControlHost::Pixel(window, iconLeft + 16, iconTop + 8) != RGB(0, 160, 0));
        CHECK(ControlHost::Pixel(window, iconLeft, iconTop - 1) != RGB(0, 160, 0));

        // Ignored: a null handle and unknown kinds.
        bar.SetIcon(nullptr, 0);
        bar.SetIcon(green, 2);
        CHECK(bar.GetImageList() == first);

        HICON blue = ControlHost::MakeSolidIcon(RGB(0, 0, 160));
        bar.SetIcon(blue, 0);
        host.Pump();
        CHECK(bar.GetImageList() != first);
        CHECK(ImageList_GetImageCount(bar.GetImageList()) == 1);
        CHECK(ControlHost::Pixel(window, iconLeft + 8, iconTop + 8) == RGB(0, 0, 160));

        // Kind 1: the bitmap's pixel (0, 0) is the transparent colour.
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
        RECT all = {0, 0, 16, 16}, middle = {4, 4, 12, 12};
        FillRect(dc, &all, magenta);
        FillRect(dc, &middle, yellow);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        bar.SetIcon(bitmap, 1);
        host.Pump();
        CHECK(ControlHost::Pixel(window, iconLeft + 8, iconTop + 8) == RGB(255, 255, 0));
        CHECK(ControlHost::Pixel(window, iconLeft + 1, iconTop + 1) != RGB(255, 0, 255));
        DeleteObject(magenta);
        DeleteObject(yellow);
        DeleteObject(bitmap);
        DestroyIcon(green);
        DestroyIcon(blue);
    }

    TEST_CASE("infobar: style bit 0x20 paints straight into the window")
    {
        ControlHost host(400, 100);
        const COLORREF marker = RGB(10, 200, 30);
        for (DWORD style : {DWORD(0), Infobar::kDirectPaint}) {
            CAPTURE(style);
            Infobar bar;
            SetUp(bar, host, "Processes", style);
            HWND window = bar.GetHwnd();
            // Paint a marker over the margins, then let the control repaint.
            HDC dc = GetDC(window);
            HBRUSH brush = CreateSolidBrush(marker);
            RECT all = {0, 0, 320, 32};
            FillRect(dc, &all, brush);
            DeleteObject(brush);
            ReleaseDC(window, dc);
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            // The off-screen path fills the whole client area first; the direct one does not.
            const COLORREF margin = ControlHost::Pixel(window, 2, 16);
            if (style)
                CHECK(margin == marker);
            else
                CHECK(margin == GetSysColor(COLOR_BTNFACE));
            CHECK(Near(ControlHost::Pixel(window, 6, 5), kStart, 12));
        }
    }

    TEST_CASE("infobar: a double click notifies the parent; objects are counted")
    {
        ControlHost host(400, 100);
        const int before = Infobar::GetInstanceCount();
        {
            Infobar bar;
            CHECK(Infobar::GetInstanceCount() == before + 1);
            SetUp(bar, host, "Processes");
            SendMessageA(bar.GetHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
            REQUIRE(host.notifications.size() == 1);
            CHECK(host.notifications[0].nId == 303);
            CHECK(host.notifications[0].nCode == static_cast<UINT>(NM_DBLCLK));
            CHECK(host.notifications[0].hControl == bar.GetHwnd());

            // The window may go first (with its parent); the object stays usable.
            DestroyWindow(bar.GetHwnd());
            CHECK(bar.GetHwnd() == nullptr);
            bar.SetGradient(kStart, kEnd);
        }
        CHECK(Infobar::GetInstanceCount() == before);
    }
}
