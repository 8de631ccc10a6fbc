#include "tests/e2e/ScreenImage.h"

#include "tests/e2e/Wait.h"
#include "tests/e2e/Window.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {
BOOL CALLBACK PaintNow(HWND window, LPARAM)
{
    // RDW_UPDATENOW sends WM_PAINT and waits: only to windows that answer.
    DWORD_PTR ignored = 0;
    if (IsWindowVisible(window) && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored))
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}
} // namespace

ScreenImage ScreenImage::Capture(const RECT& screenRect, DWORD timeoutMs)
{
    // Paint whatever is pending in the windows (other processes' too).
    EnumWindows(PaintNow, 0);
    ScreenImage last = CaptureNow(screenRect);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        Wait::Pause(60);
        ScreenImage next = CaptureNow(screenRect);
        if (next == last) return next;
        last = next;
    }
    return last;
}

ScreenImage ScreenImage::CaptureNow(const RECT& screenRect)
{
    ScreenImage image;
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    if (width <= 0 || height <= 0) return image;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, screenRect.left, screenRect.top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        image.nWidth = width;
        image.nHeight = height;
        const uint32_t* source = static_cast<const uint32_t*>(bits);
        image.pixels.assign(source, source + static_cast<size_t>(width) * height);
        for (uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFF;
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

ScreenImage ScreenImage::CaptureDesktop()
{
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Capture(rect);
}

ScreenImage ScreenImage::CaptureWindow(const Window& window)
{
    return Capture(window.Rect());
}

ScreenImage ScreenImage::CaptureClient(const Window& window)
{
    return Capture(window.ClientRectOnScreen());
}

COLORREF ScreenImage::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= nWidth || y >= nHeight) return CLR_INVALID;
    const uint32_t pixel = pixels[static_cast<size_t>(y) * nWidth + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

ScreenImage ScreenImage::Crop(const RECT& rect) const
{
    ScreenImage part;
    const int left = std::max<int>(0, rect.left), top = std::max<int>(0, rect.top);
    const int right = std::min<int>(nWidth, rect.right), bottom = std::min<int>(nHeight, rect.bottom);
    if (right <= left || bottom <= top) return part;
    part.nWidth = right - left;
    part.nHeight = bottom - top;
    part.pixels.reserve(static_cast<size_t>(part.nWidth) * part.nHeight);
    for (int y = top; y < bottom; ++y) {
        const auto row = pixels.begin() + static_cast<ptrdiff_t>(y) * nWidth;
        part.pixels.insert(part.pixels.end(), row + left, row + right);
    }
    return part;
}

int ScreenImage::Count(COLORREF color, int tolerance) const
{
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    int count = 0;
    for (uint32_t pixel : pixels) {
        if (std::abs(static_cast<int>((pixel >> 16) & 0xFF) - r) <= tolerance
            && std::abs(static_cast<int>((pixel >> 8) & 0xFF) - g) <= tolerance
            && std::abs(static_cast<int>(pixel & 0xFF) - b) <= tolerance)
            ++count;
    }
    return count;
}

int ScreenImage::DistinctColors() const
{
    return static_cast<int>(std::set<uint32_t>(pixels.begin(), pixels.end()).size());
}

COLORREF ScreenImage::DominantColor() const
{
    std::map<uint32_t, int> counts;
    for (uint32_t pixel : pixels) ++counts[pixel];
    uint32_t best = 0;
    int bestCount = -1;
    for (const auto& entry : counts)
        if (entry.second > bestCount) {
            best = entry.first;
            bestCount = entry.second;
        }
    if (bestCount < 0) return CLR_INVALID;
    return RGB((best >> 16) & 0xFF, (best >> 8) & 0xFF, best & 0xFF);
}

bool ScreenImage::SavePng(const std::string& path) const
{
    if (pixels.empty()) return false;
    std::vector<unsigned char> rgb;
    rgb.reserve(pixels.size() * 3);
    for (uint32_t pixel : pixels) {
        rgb.push_back(static_cast<unsigned char>((pixel >> 16) & 0xFF));
        rgb.push_back(static_cast<unsigned char>((pixel >> 8) & 0xFF));
        rgb.push_back(static_cast<unsigned char>(pixel & 0xFF));
    }
    return stbi_write_png(path.c_str(), nWidth, nHeight, 3, rgb.data(), nWidth * 3) != 0;
}
