#include <doctest/doctest.h>

#include "tests/gdi/GdiTestSupport.h"

#include <algorithm>
#include <cstdlib>

using namespace GdiTest;

namespace {

// The system's own conversions on the same 0..240 scale.
struct ShellColorApi {
    typedef void(WINAPI* RgbToHlsFn)(COLORREF, WORD*, WORD*, WORD*);
    typedef COLORREF(WINAPI* HlsToRgbFn)(WORD, WORD, WORD);
    ShellColorApi() : module(LoadLibraryA("shlwapi.dll"))
    {
        rgbToHls = reinterpret_cast<RgbToHlsFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ColorRGBToHLS")));
        hlsToRgb = reinterpret_cast<HlsToRgbFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ColorHLSToRGB")));
    }
    ~ShellColorApi()
    {
        if (module) FreeLibrary(module);
    }
    HMODULE module;
    RgbToHlsFn rgbToHls;
    HlsToRgbFn hlsToRgb;
};

int ChannelDistance(COLORREF a, COLORREF b)
{
    int worst = std::abs(GetRValue(a) - GetRValue(b));
    worst = std::max(worst, std::abs(GetGValue(a) - GetGValue(b)));
    return std::max(worst, std::abs(GetBValue(a) - GetBValue(b)));
}

} // namespace

TEST_SUITE("gdi utils")
{
    TEST_CASE("all 33 exports are there by ordinal and nothing more")
    {
        GdiUtilsDll dll;
        REQUIRE(dll.module != nullptr);
        for (int ordinal = 1; ordinal <= 33; ++ordinal) {
            CAPTURE(ordinal);
            CHECK(dll.At<void*>(ordinal) != nullptr);
        }
        CHECK(dll.At<void*>(34) == nullptr);
        CHECK(dll.At<void*>(0) == nullptr);
        const bool named = GetProcAddress(dll.module, "ColorToHls@16") || GetProcAddress(dll.module, "ColorToHls");
        CHECK_FALSE(named);
    }

    TEST_CASE("RGB to HLS and back agree with the system's conversion")
    {
        GdiUtilsDll dll;
        ShellColorApi shell;
        const bool shellBound = shell.rgbToHls && shell.hlsToRgb;
        REQUIRE(shellBound);
        auto toHls = dll.At<ColorToHlsFn>(1);
        auto toColor = dll.At<HlsToColorFn>(2);

        int mismatches = 0;
        for (int r = 0; r < 256; r += 5)
            for (int g = 0; g < 256; g += 3)
                for (int b = 0; b < 256; b += 7) {
                    const COLORREF color = RGB(r, g, b);
                    WORD h = 999, l = 999, s = 999, sh, sl, ss;
                    const WORD returned = toHls(color, &h, &l, &s);
                    shell.rgbToHls(color, &sh, &sl, &ss);
                    if (h != sh || l != sl || s != ss || returned != s) {
                        if (++mismatches < 5) {
                            CAPTURE(color);
                            CHECK(h == sh);
                            CHECK(l == sl);
                            CHECK(s == ss);
                        }
                    }
                }
        CHECK(mismatches == 0);

        mismatches = 0;
        for (int h = 0; h <= 240; ++h)
            for (int l = 0; l <= 240; l += 8)
                for (int s = 0; s <= 240; s += 12) {
                    const COLORREF ours = toColor(WORD(h), WORD(l), WORD(s));
                    const COLORREF theirs = shell.hlsToRgb(WORD(h), WORD(l), WORD(s));
                    if (ours != theirs && ++mismatches < 5) {
                        CAPTURE(h);
                        CAPTURE(l);
                        CAPTURE(s);
                        CHECK(ours == theirs);
                    }
                }
        CHECK(mismatches == 0);
    }

    TEST_CASE("HlsToColor wraps hues below 80 and inverts ColorToHls")
    {
        GdiUtilsDll dll;
        auto toHls = dll.At<ColorToHlsFn>(1);
        auto toColor = dll.At<HlsToColorFn>(2);

        CHECK(toColor(0, 120, 240) == RGB(255, 0, 0));
        CHECK(toColor(240, 120, 240) == RGB(255, 0, 0));
        CHECK(toColor(40, 120, 240) == RGB(255, 255, 0));
        CHECK(toColor(80, 120, 240) == RGB(0, 255, 0));
        CHECK(toColor(20, 120, 240) == RGB(255, 128, 0));
        CHECK(toColor(160, 120, 0) == RGB(127, 127, 127));

        // Quantisation to 241 steps loses at most a few units per channel.
        int worst = 0;
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 15)
                for (int b = 0; b < 256; b += 15) {
                    WORD h, l, s;
                    toHls(RGB(r, g, b), &h, &l, &s);
                    worst = std::max(worst, ChannelDistance(toColor(h, l, s), RGB(r, g, b)));
                }
        CHECK(worst <= 4);
    }

    TEST_CASE("ColorToHls of greys, white and black")
    {
        GdiUtilsDll dll;
        auto toHls = dll.At<ColorToHlsFn>(1);
        for (int v = 0; v < 256; v += 17) {
            WORD h, l, s;
            CAPTURE(v);
            CHECK(toHls(RGB(v, v, v), &h, &l, &s) == 0);
            CHECK(h == 160);
            CHECK(s == 0);
        }
        WORD h, l, s;
        toHls(RGB(255, 255, 255), &h, &l, &s);
        CHECK(l == 240);
        toHls(RGB(0, 0, 0), &h, &l, &s);
        CHECK(l == 0);
        // Missing outputs are skipped; the saturation still comes back.
        CHECK(toHls(RGB(255, 0, 0), nullptr, nullptr, nullptr) == 240);
    }

    TEST_CASE("SetColorLuminance keeps hue and saturation and stays within 0..240")
    {
        GdiUtilsDll dll;
        auto toHls = dll.At<ColorToHlsFn>(1);
        auto setLuminance = dll.At<SetColorLuminanceFn>(3);

        WORD h, l, s;
        const COLORREF navy = RGB(0, 0, 128);
        toHls(setLuminance(navy, 180, FALSE), &h, &l, &s);
        CHECK(h == 160);
        CHECK(s == 240);
        CHECK(l == doctest::Approx(180).epsilon(0.02));

        CHECK(setLuminance(navy, 500, FALSE) == RGB(255, 255, 255));
        CHECK(setLuminance(navy, 200, TRUE) == RGB(255, 255, 255));
        // A relative step below 0 gives black, not white.
        CHECK(setLuminance(navy, -100, TRUE) == RGB(0, 0, 0));
        // Greys stay grey; the luminance scale is coarser than the channels.
        toHls(setLuminance(RGB(100, 100, 100), 0, TRUE), &h, &l, &s);
        CHECK(std::abs(l - 94) <= 1);
        CHECK(s == 0);
    }

    TEST_CASE("InvertColor, LightenColor and DarkenColor")
    {
        GdiUtilsDll dll;
        auto invert = dll.At<ColorFn>(4);
        auto lighten = dll.At<ColorFactorFn>(5);
        auto darken = dll.At<ColorFactorFn>(23);
        const COLORREF color = RGB(10, 100, 200);

        CHECK(invert(color) == RGB(245, 155, 55));
        CHECK(invert(invert(color)) == color);

        for (double factor : {0.0, -0.5, 1.01, 7.0}) {
            CAPTURE(factor);
            CHECK(lighten(color, factor) == color);
            CHECK(darken(color, factor) == color);
        }
        CHECK(lighten(color, 1.0) == RGB(255, 255, 255));
        CHECK(darken(color, 1.0) == RGB(0, 0, 0));
        // 10 + 0.5 * 245 = 132.5, 100 + 77.5, 200 + 27.5: truncated.
        CHECK(lighten(color, 0.5) == RGB(132, 177, 227));
        // 10 - 0.3 * 10 = 7, 100 - 30 = 70, 200 - 60 = 140.
        CHECK(darken(color, 0.3) == RGB(7, 70, 140));
        CHECK(lighten(RGB(0, 0, 0), 0.7) == RGB(178, 178, 178));
    }

    TEST_CASE("point in circle and in ellipse")
    {
        GdiUtilsDll dll;
        auto inCircle = dll.At<PtInShapeFn>(10);
        auto inEllipse = dll.At<PtInShapeFn>(11);

        const RECT notSquare = {0, 0, 10, 11};
        int hits = 0;
        for (int y = -2; y < 14; ++y)
            for (int x = -2; x < 14; ++x) hits += inCircle(&notSquare, POINT{x, y});
        CHECK(hits == 0);

        const RECT square = {10, 20, 30, 40};
        CHECK(inCircle(&square, POINT{20, 30}));
        CHECK(inCircle(&square, POINT{10, 30}));
        CHECK(inCircle(&square, POINT{20, 20}));
        CHECK_FALSE(inCircle(&square, POINT{10, 20}));
        CHECK_FALSE(inCircle(&square, POINT{29, 39}));
        CHECK_FALSE(inCircle(&square, POINT{30, 30}));

        const RECT wide = {0, 0, 40, 20};
        CHECK(inEllipse(&wide, POINT{20, 10}));
        CHECK(inEllipse(&wide, POINT{1, 10}));
        CHECK(inEllipse(&wide, POINT{20, 1}));
        CHECK_FALSE(inEllipse(&wide, POINT{2, 2}));
        CHECK_FALSE(inEllipse(&wide, POINT{38, 18}));
        CHECK_FALSE(inEllipse(&wide, POINT{45, 10}));

        // A tall rectangle gives the same ellipse turned on its side.
        const RECT tall = {0, 0, 20, 40};
        int differences = 0;
        for (int y = -2; y < 44; ++y)
            for (int x = -2; x < 24; ++x)
                if (inEllipse(&tall, POINT{x, y}) != inEllipse(&wide, POINT{y, x})) ++differences;
        CHECK(differences == 0);
        CHECK(inEllipse(&tall, POINT{10, 20}));

        const RECT empty = {5, 5, 5, 5};
        CHECK_FALSE(inEllipse(&empty, POINT{5, 5}));
        CHECK_FALSE(inCircle(&empty, POINT{5, 5}));
    }

    TEST_CASE("RectInRect and centring")
    {
        GdiUtilsDll dll;
        auto rectInRect = dll.At<RectInRectFn>(12);
        auto centerH = dll.At<CenterFn>(13);
        auto centerV = dll.At<CenterFn>(14);

        const RECT outer = {10, 10, 50, 30};
        const RECT same = outer;
        const RECT inside = {20, 15, 30, 25};
        const RECT pastRight = {20, 15, 51, 25};
        const RECT pastBottom = {20, 15, 30, 31};
        const RECT leftOf = {9, 15, 30, 25};
        const RECT onRightEdge = {50, 15, 50, 25};
        CHECK(rectInRect(&outer, &inside));
        CHECK(rectInRect(&outer, &same));
        CHECK_FALSE(rectInRect(&outer, &pastRight));
        CHECK_FALSE(rectInRect(&outer, &pastBottom));
        CHECK_FALSE(rectInRect(&outer, &leftOf));
        CHECK_FALSE(rectInRect(&outer, &onRightEdge));

        // Centred relative to the outer rectangle's own origin.
        const RECT box = {100, 40, 201, 90};
        RECT moved = {7, 3, 37, 23};
        centerH(&box, &moved);
        CHECK(moved.left == 50 - 15);
        CHECK(moved.right == 65);
        CHECK(moved.top == 3);
        centerV(&box, &moved);
        CHECK(moved.top == 25 - 10);
        CHECK(moved.bottom == 35);
        CHECK(moved.left == 35);
    }

    TEST_CASE("font size conversions")
    {
        GdiUtilsDll dll;
        auto heightToPoints = dll.At<FontSizeFn>(20);
        auto pointsToHeight = dll.At<FontSizeFn>(21);
        CHECK(heightToPoints(-16, 96) == 12);
        CHECK(heightToPoints(-13, 96) == 10);
        CHECK(heightToPoints(20, 120) == -12);
        CHECK(pointsToHeight(12, 96) == -16);
        CHECK(pointsToHeight(8, 96) == -11);
        CHECK(pointsToHeight(10, 120) == -17);
        CHECK(heightToPoints(-16, 0) == 0);
    }
}
