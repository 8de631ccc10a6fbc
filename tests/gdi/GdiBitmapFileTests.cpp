#include <doctest/doctest.h>

#include "tests/TestPaths.h"
#include "tests/gdi/GdiTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace GdiTest;

namespace {

DWORD Read32(const std::string& bytes, size_t at)
{
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

WORD Read16(const std::string& bytes, size_t at)
{
    WORD value = 0;
    std::memcpy(&value, bytes.data() + at, 2);
    return value;
}

COLORREF TableColor(int index)
{
    return RGB((index * 7) & 0xFF, 255 - (index & 0xFF), (index * 29) & 0xFF);
}

// A bottom-up DIB section of 5 x 3 pixels with a full colour table for up
// to 8 bits per pixel and varied pixel values.
HBITMAP MakeDib(int bitCount)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 5;
    info.header.biHeight = 3;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitCount);
    info.header.biCompression = BI_RGB;
    const int colors = bitCount <= 8 ? 1 << bitCount : 0;
    for (int i = 0; i < colors; ++i) {
        const COLORREF c = TableColor(i);
        info.colors[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &memory,
                                      nullptr, 0);
    BYTE* bits = static_cast<BYTE*>(memory);
    const int stride = (5 * bitCount + 31) / 32 * 4;
    for (int i = 0; i < stride * 3; ++i) bits[i] = static_cast<BYTE>(i * 53 + 17);
    return bitmap;
}

// Colour of a pixel (top row 0) as stored in a BMP file image.
COLORREF FilePixel(const std::string& file, int x, int y)
{
    const DWORD offBits = Read32(file, 10);
    const LONG height = static_cast<LONG>(Read32(file, 22));
    const int bitCount = Read16(file, 28);
    const DWORD compression = Read32(file, 30);
    const int stride = (Read32(file, 18) * bitCount + 31) / 32 * 4;
    const int row = height > 0 ? height - 1 - y : y;
    const BYTE* line = reinterpret_cast<const BYTE*>(file.data()) + offBits + row * stride;
    if (bitCount <= 8) {
        const int bitPos = x * bitCount;
        const int index = (line[bitPos / 8] >> (8 - bitCount - bitPos % 8)) & ((1 << bitCount) - 1);
        const BYTE* quad = reinterpret_cast<const BYTE*>(file.data()) + 54 + index * 4;
        return RGB(quad[2], quad[1], quad[0]);
    }
    if (bitCount == 24) return RGB(line[x * 3 + 2], line[x * 3 + 1], line[x * 3]);
    DWORD value = 0;
    std::memcpy(&value, line + x * bitCount / 8, bitCount / 8);
    DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == BI_BITFIELDS)
        for (int i = 0; i < 3; ++i) masks[i] = Read32(file, 54 + 4 * i);
    int channel[3];
    for (int i = 0; i < 3; ++i) {
        DWORD mask = masks[i], field = value & mask;
        while (mask && !(mask & 1)) mask >>= 1, field >>= 1;
        channel[i] = mask ? static_cast<int>(field * 255 / mask) : 0;
    }
    return RGB(channel[0], channel[1], channel[2]);
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

const BITMAPINFOHEADER* ResourceHeader(const char* name)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(self, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
    return resource ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, resource))) : nullptr;
}

} // namespace

TEST_SUITE("gdi utils")
{
    TEST_CASE("SaveBitmapFile writes every depth as a BMP file that reads back")
    {
        GdiUtilsDll dll;
        auto save = dll.At<SaveBitmapFileFn>(6);
        const std::string folder = TestPaths::MakeScratchFolder("gdi-bmp");
        HDC dc = CreateCompatibleDC(nullptr);

        for (int bitCount : {1, 4, 8, 16, 24, 32}) {
            CAPTURE(bitCount);
            HBITMAP bitmap = MakeDib(bitCount);
            REQUIRE(bitmap != nullptr);
            const std::string path = folder + "depth" + std::to_string(bitCount) + ".bmp";
            REQUIRE(save(dc, bitmap, path.c_str()) == 1);

            const std::string file = ReadFileBytes(path);
            REQUIRE(file.size() > 54);
            const DWORD block = bitCount == 24 ? 40 : bitCount > 8 ? 52 : 40 + 4 * (1 << bitCount);
            const DWORD stride = (5 * bitCount + 31) / 32 * 4;
            CHECK(Read16(file, 0) == 0x4D42);
            CHECK(Read32(file, 2) == file.size());
            CHECK(Read16(file, 6) == 0);
            CHECK(Read16(file, 8) == 0);
            CHECK(Read32(file, 10) == 14 + block);
            CHECK(Read32(file, 14) == 40);
            CHECK(Read32(file, 18) == 5);
            CHECK(std::labs(static_cast<LONG>(Read32(file, 22))) == 3);
            CHECK(Read16(file, 26) == 1);
            CHECK(Read16(file, 28) == bitCount);
            CHECK(Read32(file, 34) == stride * 3);
            CHECK(file.size() == 14 + block + stride * 3);
            if (bitCount == 24) CHECK(Read32(file, 10) == 54);
            for (int i = 0; bitCount <= 8 && i < (1 << bitCount); ++i) {
                const BYTE* quad = reinterpret_cast<const BYTE*>(file.data()) + 54 + 4 * i;
                CHECK(RGB(quad[2], quad[1], quad[0]) == TableColor(i));
            }

            HDC reader = CreateCompatibleDC(nullptr);
            HGDIOBJ previous = SelectObject(reader, bitmap);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) {
                    CAPTURE(x);
                    CAPTURE(y);
                    CHECK(Near(FilePixel(file, x, y), GetPixel(reader, x, y), bitCount == 16 ? 8 : 0));
                }
            SelectObject(reader, previous);
            DeleteDC(reader);
            DeleteObject(bitmap);
        }
        DeleteDC(dc);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("SaveBitmapFile with the bitmap selected in the DC, and its failures")
    {
        GdiUtilsDll dll;
        auto save = dll.At<SaveBitmapFileFn>(6);
        const std::string folder = TestPaths::MakeScratchFolder("gdi-bmp-sel");
        Canvas canvas(7, 4, RGB(12, 34, 56));
        canvas.SetPixelAt(6, 3, RGB(200, 100, 50));

        const std::string path = folder + "selected.bmp";
        TestPaths::WriteFile(path, "old contents that are longer than nothing", 41);
        CHECK(save(canvas.dc, canvas.bitmap, path.c_str()) == 1);
        CHECK(GetCurrentObject(canvas.dc, OBJ_BITMAP) == canvas.bitmap);
        const std::string file = ReadFileBytes(path);
        REQUIRE(file.size() == 14 + 52 + 7 * 4 * 4);
        CHECK(FilePixel(file, 0, 0) == RGB(12, 34, 56));
        CHECK(FilePixel(file, 6, 3) == RGB(200, 100, 50));

        const std::string missing = folder + "no-such-folder\\x.bmp";
        CHECK(save(canvas.dc, canvas.bitmap, missing.c_str()) == 0);
        CHECK(save(canvas.dc, nullptr, path.c_str()) == 0);
        CHECK(save(nullptr, canvas.bitmap, path.c_str()) == 0);
        CHECK(save(canvas.dc, canvas.bitmap, nullptr) == 0);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("LoadPaletteBitmap and CreateDibPalette read the test program's bitmap resources")
    {
        GdiUtilsDll dll;
        auto load = dll.At<LoadPaletteBitmapFn>(7);
        auto palette = dll.At<CreateDibPaletteFn>(8);
        HINSTANCE self = GetModuleHandleA(nullptr);
        const COLORREF table8[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(200, 150, 100)};

        SUBCASE("palettes")
        {
            int count = -1;
            HPALETTE pal = palette(ResourceHeader("GDITEST_PAL8"), &count);
            REQUIRE(pal != nullptr);
            CHECK(count == 4);
            PALETTEENTRY entries[8] = {};
            CHECK(GetPaletteEntries(pal, 0, 8, entries) == 4);
            for (int i = 0; i < 4; ++i) {
                CHECK(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue) == table8[i]);
                CHECK(entries[i].peFlags == 0);
            }
            DeleteObject(pal);

            pal = palette(ResourceHeader("GDITEST_PAL4"), &count);
            CHECK(count == 16);
            CHECK(GetPaletteEntries(pal, 0, 0, nullptr) == 16);
            DeleteObject(pal);

            count = -1;
            CHECK(palette(ResourceHeader("GDITEST_RGB24"), &count) == nullptr);
            CHECK(count == 0);
            count = -1;
            CHECK(palette(ResourceHeader("GDITEST_BF16"), &count) == nullptr);
            CHECK(count == 0);
            count = -1;
            CHECK(palette(nullptr, &count) == nullptr);
            CHECK(count == 0);
        }
        SUBCASE("bitmaps")
        {
            HBITMAP bitmap = load(self, "GDITEST_PAL8");
            REQUIRE(bitmap != nullptr);
            BITMAP info = {};
            GetObjectA(bitmap, sizeof(info), &info);
            CHECK(info.bmWidth == 6);
            CHECK(info.bmHeight == 4);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x) CHECK(BitmapPixel(bitmap, x, y) == table8[(x + y) % 4]);
            DeleteObject(bitmap);

            bitmap = load(self, "GDITEST_PAL4");
            REQUIRE(bitmap != nullptr);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 8; ++x) {
                    const int i = x + 8 * y;
                    CHECK(BitmapPixel(bitmap, x, y) == RGB(i * 16, 255 - i * 16, (i * 37) % 256));
                }
            DeleteObject(bitmap);

            bitmap = load(self, "GDITEST_RGB24");
            REQUIRE(bitmap != nullptr);
            CHECK(BitmapPixel(bitmap, 0, 0) == RGB(10, 20, 30));
            CHECK(BitmapPixel(bitmap, 2, 1) == RGB(1, 2, 3));
            DeleteObject(bitmap);

            // Bit-field masks sit between the header and the bits.
            bitmap = load(self, "GDITEST_BF16");
            REQUIRE(bitmap != nullptr);
            CHECK(Near(BitmapPixel(bitmap, 0, 0), RGB(255, 0, 0), 8));
            CHECK(Near(BitmapPixel(bitmap, 1, 0), RGB(0, 255, 0), 8));
            CHECK(Near(BitmapPixel(bitmap, 0, 1), RGB(0, 0, 255), 8));
            CHECK(Near(BitmapPixel(bitmap, 1, 1), RGB(255, 255, 255), 8));
            DeleteObject(bitmap);

            CHECK(load(self, "GDITEST_MISSING") == nullptr);
            // A colour table larger than the resource: refused, nothing read past its end.
            CHECK(load(self, "GDITEST_CORRUPT") == nullptr);
        }
    }
}
