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
    // Wine paints into off-screen surfaces and shows them a little later: the
    // captures below first let pending paints happen and then take pictures
    // until two in a row agree (at most timeoutMs).
    static ScreenImage Capture(const RECT& screenRect, DWORD timeoutMs = 2000);
    static ScreenImage CaptureDesktop();
    static ScreenImage CaptureWindow(const Window& window);   // whole window rectangle
    static ScreenImage CaptureClient(const Window& window);   // client area only
    // One picture at once, without waiting for it to settle.
    static ScreenImage CaptureNow(const RECT& screenRect);

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

    bool operator==(const ScreenImage& other) const
    {
        return nWidth == other.nWidth && nHeight == other.nHeight && pixels == other.pixels;
    }

private:
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, rows top-down
};
