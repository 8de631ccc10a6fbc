#pragma once

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

class Window;

// Pixels captured from the screen (the Wine virtual desktop), for checks of
// what a window looks like and for PNG screenshots.
class ScreenImage {
public:
    static ScreenImage Capture(const RECT& screenRect);
    static ScreenImage CaptureDesktop();
    static ScreenImage CaptureWindow(const Window& window);   // whole window rectangle
    static ScreenImage CaptureClient(const Window& window);   // client area only

    bool Empty() const { return pixels.empty(); }
    int Width() const { return nWidth; }
    int Height() const { return nHeight; }
    // Colour at (x, y) as a COLORREF (RGB macro order); CLR_INVALID outside.
    COLORREF Pixel(int x, int y) const;
    ScreenImage Crop(const RECT& rect) const;            // in this image's coordinates
    // Pixels within tolerance (per channel) of the colour.
    int Count(COLORREF color, int tolerance = 0) const;
    bool Contains(COLORREF color, int tolerance = 0) const { return Count(color, tolerance) > 0; }
    int DistinctColors() const;
    // The colour that covers most pixels.
    COLORREF DominantColor() const;
    bool SavePng(const std::string& path) const;

private:
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, rows top-down
};
