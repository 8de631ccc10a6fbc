#include <doctest/doctest.h>

#include "tests/gdi/GdiTestSupport.h"

#include <set>
#include <vector>
#include <utility>

using namespace GdiTest;

namespace {

const COLORREF kPaper = RGB(1, 2, 3);

int Step(int start, int end, int index, int last)
{
    return start + static_cast<int>(static_cast<double>(end - start) * index / last);
}

// Pixels of a check mark whose top-left is (x, y): seven columns, the first
// three stepping down, the other four stepping up.
std::set<std::pair<int, int>> CheckMarkPixels(int x, int y, bool thin)
{
    static const int top[7] = {2, 3, 4, 3, 2, 1, 0};
    std::set<std::pair<int, int>> pixels;
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < (thin ? 2 : 3); ++j) pixels.insert({x + i, y + top[i] + j});
    return pixels;
}

int LuminanceOf(COLORREF color)
{
    typedef void(WINAPI * RgbToHlsFn)(COLORREF, WORD*, WORD*, WORD*);
    HMODULE shell = LoadLibraryA("shlwapi.dll");
    auto toHls = reinterpret_cast<RgbToHlsFn>(reinterpret_cast<void*>(GetProcAddress(shell, "ColorRGBToHLS")));
    WORD h = 0, l = 0, s = 0;
    toHls(color, &h, &l, &s);
    FreeLibrary(shell);
    return l;
}

// A small icon: the left half red and opaque, the right half transparent.
HICON MakeHalfIcon(int size)
{
    std::vector<COLORREF> colorPixels(size * size), maskPixels(size * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            colorPixels[y * size + x] = x < size / 2 ? RGB(255, 0, 0) : RGB(0, 0, 0);
            maskPixels[y * size + x] = x < size / 2 ? RGB(0, 0, 0) : RGB(255, 255, 255);
        }
    HBITMAP color = MakeBitmap(size, size, colorPixels.data());
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HDC maskDc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(maskDc, mask);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) SetPixel(maskDc, x, y, maskPixels[y * size + x]);
    SelectObject(maskDc, previous);
    DeleteDC(maskDc);
    ICONINFO info = {TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

} // namespace

TEST_SUITE("gdi utils")
{
    TEST_CASE("FillSolidRect, Draw3dRect and DrawFrame paint exactly their pixels")
    {
        GdiUtilsDll dll;
        const COLORREF a = RGB(200, 0, 0), b = RGB(0, 0, 200);

        SUBCASE("FillSolidRect")
        {
            Canvas canvas(12, 12, kPaper);
            SetBkColor(canvas.dc, RGB(9, 9, 9));
            CHECK(dll.At<FillSolidRectFn>(24)(canvas.dc, 2, 3, 4, 5, a) == RGB(9, 9, 9));
            CHECK(GetBkColor(canvas.dc) == RGB(9, 9, 9));
            CHECK(canvas.Pixel(2, 3) == a);
            CHECK(canvas.Pixel(5, 7) == a);
            CHECK(canvas.CountNot(kPaper) == 20);
        }
        SUBCASE("Draw3dRect")
        {
            Canvas canvas(8, 8, kPaper);
            const RECT rect = {1, 1, 6, 5};
            dll.At<Draw3dRectFn>(25)(canvas.dc, &rect, a, b);
            for (int x = 1; x <= 4; ++x) CHECK(canvas.Pixel(x, 1) == a);
            for (int y = 1; y <= 3; ++y) CHECK(canvas.Pixel(1, y) == a);
            for (int y = 1; y <= 4; ++y) CHECK(canvas.Pixel(5, y) == b);
            for (int x = 1; x <= 5; ++x) CHECK(canvas.Pixel(x, 4) == b);
            CHECK(canvas.Pixel(3, 2) == kPaper);
            CHECK(canvas.CountNot(kPaper) == 14);
        }
        SUBCASE("DrawFrame")
        {
            Canvas canvas(12, 10, kPaper);
            const RECT rect = {1, 1, 11, 9};
            dll.At<DrawFrameFn>(17)(canvas.dc, a, &rect, 2);
            CHECK(canvas.Pixel(1, 1) == a);
            CHECK(canvas.Pixel(2, 2) == a);
            CHECK(canvas.Pixel(3, 3) == kPaper);
            CHECK(canvas.Pixel(10, 8) == a);
            CHECK(canvas.Pixel(8, 6) == kPaper);
            CHECK(canvas.Pixel(0, 0) == kPaper);
            CHECK(canvas.CountNot(kPaper) == 10 * 8 - 6 * 4);
            dll.At<DrawFrameFn>(17)(canvas.dc, b, &rect, 0);
            CHECK(canvas.CountNot(a) == 12 * 10 - (10 * 8 - 6 * 4));
        }
    }

    TEST_CASE("etched and sunken frames use the system colours line by line")
    {
        GdiUtilsDll dll;
        const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
        const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW);
        const RECT rect = {0, 0, 8, 6};

        SUBCASE("etched")
        {
            Canvas canvas(8, 6, kPaper);
            CHECK(dll.At<DrawEtchedRectFn>(15)(canvas.dc, &rect));
            const char* rows[6] = {"sssssssh", "shhhhhsh", "shffffsh", "shffffsh", "sssssssh", "hhhhhhhh"};
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 8; ++x) {
                    CAPTURE(x);
                    CAPTURE(y);
                    const char c = rows[y][x];
                    CHECK(canvas.Pixel(x, y) == (c == 's' ? shadow : c == 'h' ? light : face));
                }
        }
        SUBCASE("sunken")
        {
            Canvas canvas(8, 6, kPaper);
            SetBkColor(canvas.dc, RGB(7, 7, 7));
            dll.At<DrawSunkenEdgeFn>(16)(canvas.dc, &rect);
            CHECK(GetBkColor(canvas.dc) == RGB(7, 7, 7));
            const char* rows[6] = {"sssssssh", "sddddd-h", "sd....fh", "sd....fh", "sffffffh", "hhhhhhhh"};
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 8; ++x) {
                    CAPTURE(x);
                    CAPTURE(y);
                    const char c = rows[y][x];
                    const COLORREF expected = c == 's' ? shadow : c == 'h' ? light : c == 'd' ? dark
                                              : c == 'f' ? face : c == '-' ? face : kPaper;
                    CHECK(canvas.Pixel(x, y) == expected);
                }
        }
    }

    TEST_CASE("gradients run from the start colour on the first line to the end colour on the last")
    {
        GdiUtilsDll dll;
        const COLORREF start = RGB(0, 200, 10), end = RGB(90, 20, 255);
        auto expected = [&](int index, int last) {
            return RGB(Step(0, 90, index, last), Step(200, 20, index, last), Step(10, 255, index, last));
        };

        SUBCASE("horizontal")
        {
            Canvas canvas(14, 6, kPaper);
            const RECT rect = {2, 1, 12, 4};
            dll.At<FillGradientFn>(18)(canvas.dc, &rect, start, end);
            CHECK(canvas.Pixel(2, 1) == start);
            CHECK(canvas.Pixel(11, 3) == end);
            for (int i = 0; i < 10; ++i)
                for (int y = 1; y < 4; ++y) CHECK(canvas.Pixel(2 + i, y) == expected(i, 9));
            CHECK(canvas.CountNot(kPaper) == 30);
        }
        SUBCASE("vertical")
        {
            Canvas canvas(6, 14, kPaper);
            const RECT rect = {1, 2, 4, 12};
            dll.At<FillGradientFn>(19)(canvas.dc, &rect, start, end);
            CHECK(canvas.Pixel(1, 2) == start);
            CHECK(canvas.Pixel(3, 11) == end);
            for (int i = 0; i < 10; ++i) CHECK(canvas.Pixel(2, 2 + i) == expected(i, 9));
            CHECK(canvas.CountNot(kPaper) == 30);
        }
        SUBCASE("one line wide")
        {
            Canvas canvas(4, 4, kPaper);
            const RECT rect = {1, 0, 2, 4};
            dll.At<FillGradientFn>(18)(canvas.dc, &rect, start, end);
            CHECK(canvas.Pixel(1, 3) == start);
            CHECK(canvas.CountNot(kPaper) == 4);
        }
        SUBCASE("empty and inverted rectangles draw nothing")
        {
            Canvas canvas(8, 8, kPaper);
            for (RECT rect : {RECT{3, 1, 3, 6}, RECT{1, 3, 6, 3}, RECT{6, 1, 2, 6}, RECT{1, 6, 6, 2}}) {
                dll.At<FillGradientFn>(18)(canvas.dc, &rect, start, end);
                dll.At<FillGradientFn>(19)(canvas.dc, &rect, start, end);
            }
            CHECK(canvas.CountNot(kPaper) == 0);
        }
    }

    TEST_CASE("check marks, the check box and the menu check cell")
    {
        GdiUtilsDll dll;
        const COLORREF ink = RGB(0, 128, 0);

        for (bool thin : {true, false}) {
            CAPTURE(thin);
            Canvas canvas(10, 10, kPaper);
            MoveToEx(canvas.dc, 9, 9, nullptr);
            dll.At<DrawCheckMarkFn>(30)(canvas.dc, 1, 2, ink, thin);
            const auto pixels = CheckMarkPixels(1, 2, thin);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x) {
                    CAPTURE(x);
                    CAPTURE(y);
                    CHECK((canvas.Pixel(x, y) == ink) == (pixels.count({x, y}) == 1));
                }
            POINT position;
            GetCurrentPositionEx(canvas.dc, &position);
            CHECK(position.x == 9);
            CHECK(position.y == 9);
        }

        SUBCASE("check box")
        {
            Canvas canvas(13, 13, kPaper);
            const RECT rect = {0, 0, 13, 13};
            CHECK(dll.At<DrawCheckBoxFn>(29)(canvas.dc, &rect) == 1);
            CHECK(canvas.Pixel(0, 0) == GetSysColor(COLOR_BTNSHADOW));
            CHECK(canvas.Pixel(12, 12) == GetSysColor(COLOR_BTNHIGHLIGHT));
            CHECK(canvas.Pixel(1, 1) == kPaper);
            for (const auto& p : CheckMarkPixels(3, 3, true))
                CHECK(canvas.Pixel(p.first, p.second) == GetSysColor(COLOR_MENUTEXT));
        }

        SUBCASE("menu check cell")
        {
            for (BOOL selected : {TRUE, FALSE}) {
                CAPTURE(selected);
                Canvas canvas(16, 14, kPaper);
                const RECT rect = {0, 0, 16, 14};
                const COLORREF frame = RGB(0, 0, 160);
                CHECK(dll.At<DrawMenuCheckFn>(31)(canvas.dc, &rect, frame, selected) == 1);
                const COLORREF back = dll.At<ColorFactorFn>(5)(frame, selected ? 0.55 : 0.85);
                CHECK(canvas.Pixel(0, 0) == frame);
                CHECK(canvas.Pixel(15, 13) == frame);
                CHECK(canvas.Pixel(1, 1) == back);
                CHECK(canvas.Pixel(14, 12) == back);

                COLORREF mark = GetSysColor(COLOR_MENUTEXT);
                const int markLum = LuminanceOf(mark), backLum = LuminanceOf(back);
                if (markLum != 0 && markLum >= backLum && backLum * 10 >= markLum * 8)
                    mark = RGB(255 - GetRValue(mark), 255 - GetGValue(mark), 255 - GetBValue(mark));
                const auto pixels = CheckMarkPixels(16 / 2 - 3, 14 / 2 - 3, true);
                for (const auto& p : pixels) CHECK(canvas.Pixel(p.first, p.second) == mark);
                CHECK(canvas.CountNot(back) == 2 * 16 + 2 * 12 + static_cast<int>(pixels.size()));
            }
        }
    }

    TEST_CASE("transparent bitmap: the colour of pixel (0,0) lets the destination through")
    {
        GdiUtilsDll dll;
        const COLORREF key = RGB(255, 0, 255), green = RGB(0, 255, 0);
        const COLORREF pixels[12] = {key, RGB(1, 1, 1), RGB(2, 2, 2), key,
                                     RGB(3, 3, 3), key, RGB(4, 4, 4), RGB(255, 255, 255),
                                     key, RGB(0, 0, 0), key, RGB(5, 6, 7)};
        HBITMAP bitmap = MakeBitmap(4, 3, pixels);
        Canvas canvas(8, 6, green);
        SetTextColor(canvas.dc, RGB(10, 10, 10));
        SetBkColor(canvas.dc, RGB(20, 20, 20));
        CHECK(dll.At<DrawTransparentBitmapFn>(9)(canvas.dc, bitmap, 2, 1));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                CAPTURE(x);
                CAPTURE(y);
                const COLORREF source = pixels[y * 4 + x];
                CHECK(canvas.Pixel(2 + x, 1 + y) == (source == key ? green : source));
                CHECK(BitmapPixel(bitmap, x, y) == source);
            }
        CHECK(canvas.CountNot(green) == 7);
        DeleteObject(bitmap);
    }

    TEST_CASE("embossed bitmap: the drawing in shadow with a highlight one pixel down-right")
    {
        GdiUtilsDll dll;
        const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
        const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), back = RGB(10, 20, 30);
        // A 5 x 4 source: a black pixel at (2, 1), a highlight pixel at (3, 2), face elsewhere.
        std::vector<COLORREF> pixels(20, face);
        pixels[1 * 5 + 2] = RGB(0, 0, 0);
        pixels[2 * 5 + 3] = light;
        HBITMAP bitmap = MakeBitmap(5, 4, pixels.data());
        Canvas canvas(12, 12, kPaper);

        // Source area from (1, 0), 4 x 4, drawn at (3, 3).
        dll.At<DrawEmbossedBitmapFn>(27)(canvas.dc, 3, 3, 4, 4, bitmap, 1, 0, back);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                CAPTURE(x);
                CAPTURE(y);
                COLORREF expected = kPaper;
                if (x >= 3 && x <= 7 && y >= 3 && y <= 7) expected = back;
                if (x == 4 && y == 4) expected = shadow;
                if (x == 5 && y == 5) expected = light;
                CHECK(canvas.Pixel(x, y) == expected);
            }
        DeleteObject(bitmap);
    }

    TEST_CASE("greying tints by brightness and replaces the button face")
    {
        GdiUtilsDll dll;
        const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
        const COLORREF pixels[4] = {face, RGB(0, 0, 0), RGB(255, 255, 255), RGB(90, 120, 150)};
        auto grey = dll.At<GreyBitmapFn>(33);
        const COLORREF tinted = dll.At<ColorFactorFn>(5)(shadow, 120 / 255.0);

        HBITMAP bitmap = MakeBitmap(4, 1, pixels);
        CHECK(grey(bitmap, RGB(0, 0, 0)) == bitmap);
        CHECK(BitmapPixel(bitmap, 0, 0) == face);
        CHECK(BitmapPixel(bitmap, 1, 0) == shadow);
        CHECK(BitmapPixel(bitmap, 2, 0) == RGB(255, 255, 255));
        CHECK(BitmapPixel(bitmap, 3, 0) == tinted);
        DeleteObject(bitmap);

        bitmap = MakeBitmap(4, 1, pixels);
        Canvas canvas(6, 3, kPaper);
        CHECK(dll.At<DrawGreyedBitmapFn>(28)(canvas.dc, bitmap, RGB(1, 200, 3)));
        CHECK(canvas.Pixel(0, 0) == RGB(1, 200, 3));
        CHECK(canvas.Pixel(1, 0) == shadow);
        CHECK(canvas.Pixel(3, 0) == tinted);
        CHECK(canvas.CountNot(kPaper) == 4);
        CHECK(BitmapPixel(bitmap, 0, 0) == RGB(1, 200, 3));
        DeleteObject(bitmap);
    }

    TEST_CASE("icons become bitmaps over the window or button face colour")
    {
        GdiUtilsDll dll;
        HICON icon = MakeHalfIcon(8);
        REQUIRE(icon != nullptr);

        HBITMAP bitmap = dll.At<IconToBitmapFn>(26)(icon);
        REQUIRE(bitmap != nullptr);
        BITMAP info = {};
        GetObjectA(bitmap, sizeof(info), &info);
        CHECK(info.bmWidth == 8);
        CHECK(info.bmHeight == 8);
        CHECK(BitmapPixel(bitmap, 1, 5) == RGB(255, 0, 0));
        CHECK(BitmapPixel(bitmap, 6, 2) == GetSysColor(COLOR_WINDOW));
        DeleteObject(bitmap);
        CHECK(dll.At<IconToBitmapFn>(26)(nullptr) == nullptr);

        typedef HIMAGELIST(WINAPI * CreateFn)(int, int, UINT, int, int);
        typedef int(WINAPI * ReplaceIconFn)(HIMAGELIST, int, HICON);
        typedef BOOL(WINAPI * DestroyFn)(HIMAGELIST);
        HMODULE comctl = LoadLibraryA("comctl32.dll");
        auto create = reinterpret_cast<CreateFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_Create")));
        auto replace =
            reinterpret_cast<ReplaceIconFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_ReplaceIcon")));
        auto destroy = reinterpret_cast<DestroyFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_Destroy")));
        const bool bound = create && replace && destroy;
        REQUIRE(bound);
        HIMAGELIST list = create(8, 8, ILC_COLOR32 | ILC_MASK, 2, 0);
        CHECK(replace(list, -1, icon) == 0);
        CHECK(replace(list, -1, icon) == 1);

        Canvas canvas(2, 2, kPaper);
        bitmap = dll.At<ImageListIconToBitmapFn>(32)(canvas.dc, list, 1);
        REQUIRE(bitmap != nullptr);
        CHECK(BitmapPixel(bitmap, 0, 0) == RGB(255, 0, 0));
        CHECK(BitmapPixel(bitmap, 7, 7) == GetSysColor(COLOR_BTNFACE));
        DeleteObject(bitmap);
        CHECK(dll.At<ImageListIconToBitmapFn>(32)(canvas.dc, list, 5) == nullptr);
        CHECK(dll.At<ImageListIconToBitmapFn>(32)(canvas.dc, nullptr, 0) == nullptr);

        destroy(list);
        FreeLibrary(comctl);
        DestroyIcon(icon);
    }

    TEST_CASE("GetTextExtent measures with the given font and puts the DC's font back")
    {
        GdiUtilsDll dll;
        auto extent = dll.At<GetTextExtentFn>(22);
        Canvas canvas(2, 2, kPaper);
        HGDIOBJ before = GetCurrentObject(canvas.dc, OBJ_FONT);
        HFONT big = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");

        SIZE plain = {}, large = {};
        CHECK(extent(canvas.dc, nullptr, "Tarnwick", &plain));
        CHECK(extent(canvas.dc, big, "Tarnwick", &large));
        CHECK(GetCurrentObject(canvas.dc, OBJ_FONT) == before);
        CHECK(plain.cx > 0);
        CHECK(large.cy > plain.cy);
        CHECK(large.cx > plain.cx);

        CHECK_FALSE(extent(canvas.dc, big, nullptr, &plain));
        CHECK_FALSE(extent(canvas.dc, big, "x", nullptr));
        CHECK_FALSE(extent(nullptr, big, "x", &plain));
        DeleteObject(big);
    }
}
