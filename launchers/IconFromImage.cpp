#include "launchers/IconFromImage.h"

#include <vector>

HICON IconFromImage::Create(const IconImage& image, COLORREF background)
{
    if (image.Empty()) return nullptr;
    const int side = IconImage::kSide;
    const uint32_t backRed = GetRValue(background), backGreen = GetGValue(background), backBlue = GetBValue(background);

    // Colour: 32-bit top-down rows, black where the mask shows the background.
    std::vector<uint32_t> colour(static_cast<size_t>(side) * side, 0);
    // Mask: 1 bit per pixel, rows of 2 bytes (word aligned), 1 = transparent.
    std::vector<BYTE> mask(static_cast<size_t>(side) * 2, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const uint32_t pixel = image.At(x, y);
            const uint32_t alpha = pixel >> 24;
            if (image.Transparent(x, y)) {
                mask[static_cast<size_t>(y) * 2 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
                continue;
            }
            const uint32_t red = (((pixel >> 16) & 0xFF) * alpha + backRed * (255 - alpha)) / 255;
            const uint32_t green = (((pixel >> 8) & 0xFF) * alpha + backGreen * (255 - alpha)) / 255;
            const uint32_t blue = ((pixel & 0xFF) * alpha + backBlue * (255 - alpha)) / 255;
            colour[static_cast<size_t>(y) * side + x] = (red << 16) | (green << 8) | blue;
        }

    HDC screen = GetDC(nullptr);
    HBITMAP colourBitmap = CreateCompatibleBitmap(screen, side, side);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (colourBitmap) SetDIBits(screen, colourBitmap, 0, side, colour.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    HBITMAP maskBitmap = CreateBitmap(side, side, 1, 1, mask.data());

    HICON icon = nullptr;
    if (colourBitmap && maskBitmap) {
        ICONINFO parts = {};
        parts.fIcon = TRUE;
        parts.hbmColor = colourBitmap;
        parts.hbmMask = maskBitmap;
        icon = CreateIconIndirect(&parts);
    }
    if (colourBitmap) DeleteObject(colourBitmap);
    if (maskBitmap) DeleteObject(maskBitmap);
    return icon;
}
