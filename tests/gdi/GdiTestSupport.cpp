#include "tests/gdi/GdiTestSupport.h"

#include "tests/TestPaths.h"

#include <vector>

namespace GdiTest {

namespace {

COLORREF FromQuad(DWORD quad)
{
    return RGB((quad >> 16) & 0xFF, (quad >> 8) & 0xFF, quad & 0xFF);
}

DWORD ToQuad(COLORREF color)
{
    return (static_cast<DWORD>(GetRValue(color)) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

GdiUtilsDll::GdiUtilsDll() : module(LoadLibraryA((TestPaths::BinFolder() + "OrvoGdiUtils.dll").c_str())) {}

GdiUtilsDll::~GdiUtilsDll()
{
    if (module) FreeLibrary(module);
}

Canvas::Canvas(int width, int height, COLORREF fill)
    : dc(CreateCompatibleDC(nullptr)), bitmap(nullptr), width(width), height(height), bits(nullptr),
      previous(nullptr)
{
    BITMAPINFO info = TopDown32(width, height);
    void* memory = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits = static_cast<DWORD*>(memory);
    previous = SelectObject(dc, bitmap);
    for (int i = 0; i < width * height; ++i) bits[i] = ToQuad(fill);
}

Canvas::~Canvas()
{
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

COLORREF Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    return FromQuad(bits[y * width + x]);
}

void Canvas::SetPixelAt(int x, int y, COLORREF color)
{
    GdiFlush();
    bits[y * width + x] = ToQuad(color);
}

int Canvas::CountNot(COLORREF color) const
{
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (Pixel(x, y) != color) ++count;
    return count;
}

HBITMAP MakeBitmap(int width, int height, const COLORREF* pixels)
{
    BITMAPINFO info = TopDown32(width, height);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    DWORD* bits = static_cast<DWORD*>(memory);
    for (int i = 0; i < width * height; ++i) bits[i] = ToQuad(pixels[i]);
    return bitmap;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y)
{
    BITMAP size = {};
    GetObjectA(bitmap, sizeof(size), &size);
    BITMAPINFO info = TopDown32(size.bmWidth, size.bmHeight);
    std::vector<DWORD> bits(static_cast<size_t>(size.bmWidth) * size.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, size.bmHeight, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return FromQuad(bits[y * size.bmWidth + x]);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

} // namespace GdiTest
