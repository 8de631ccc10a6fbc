// OrvoGdiUtils.dll: colour and bitmap drawing helpers. Every function is
// stateless: it deletes what it creates and puts back what it selects.
#ifndef ORVOGDIUTILS_BUILD
#define ORVOGDIUTILS_BUILD
#endif
#include "gdiutils/Orvo_GdiUtilities.h"

#include "gdiutils/COMCTL32Wrapper.h"
#include "gdiutils/ColorArithmetic.h"

#include <cmath>
#include <cstdint>

namespace {

// Fills a rectangle through an opaque empty text output (no brush needed)
// and puts the DC's background colour back.
COLORREF FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    const COLORREF previous = SetBkColor(dc, color);
    RECT rect = {left, top, right, bottom};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
    return previous;
}

int RectWidth(const RECT& rect)
{
    return rect.right - rect.left;
}

int RectHeight(const RECT& rect)
{
    return rect.bottom - rect.top;
}

// Where a check mark of 7 x 7 pixels sits in a cell.
POINT CheckMarkOrigin(const RECT& cell)
{
    const int width = RectWidth(cell), height = RectHeight(cell);
    POINT origin = {cell.left + (width < 6 ? 0 : width / 2 - 3),
                    cell.top + (height < 6 ? 0 : height / 2 - 3)};
    return origin;
}

// Offset of the colour table behind a DIB header (the three colour masks of
// a bit-field header come first).
DWORD ColorTableOffset(const BITMAPINFOHEADER* header)
{
    DWORD offset = header->biSize;
    if (header->biSize == sizeof(BITMAPINFOHEADER) && header->biCompression == BI_BITFIELDS)
        offset += 3 * sizeof(DWORD);
    return offset;
}

DWORD DibColorCount(const BITMAPINFOHEADER* header)
{
    if (header->biClrUsed) return header->biClrUsed;
    return header->biBitCount <= 8 ? 1u << header->biBitCount : 0;
}

// True when the header, its colour table and its bits take at most `size` bytes.
bool DibFitsIn(const BITMAPINFOHEADER* header, DWORD size)
{
    if (header->biSize > size || header->biBitCount > 32 || header->biWidth <= 0 || header->biPlanes != 1)
        return false;
    const uint64_t lines = header->biHeight < 0 ? -static_cast<int64_t>(header->biHeight) : header->biHeight;
    const uint64_t stride = ((static_cast<uint64_t>(header->biWidth) * header->biBitCount + 31) / 32) * 4;
    const uint64_t bits = header->biCompression == BI_RGB || header->biCompression == BI_BITFIELDS
                            ? stride * lines
                            : header->biSizeImage;
    const uint64_t needed =
        uint64_t(ColorTableOffset(header)) + uint64_t(DibColorCount(header)) * sizeof(RGBQUAD) + bits;
    return needed <= size;
}

void PutLittleEndian(BYTE* at, DWORD value, int bytes)
{
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<BYTE>(value >> (8 * i));
}

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

double Distance(double x1, double y1, double x2, double y2)
{
    return std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
}

void FillGradient(HDC dc, const RECT* rect, COLORREF start, COLORREF end, bool horizontal)
{
    if (!dc || !rect) return;
    const int width = RectWidth(*rect), height = RectHeight(*rect);
    if (width <= 0 || height <= 0) return;

    HDC memory = CreateCompatibleDC(dc);
    HBITMAP canvas = CreateCompatibleBitmap(dc, width, height);
    if (memory && canvas) {
        HGDIOBJ previous = SelectObject(memory, canvas);
        // One line per column (or row); the first is the start colour and
        // the last the end colour.
        const int lines = horizontal ? width : height;
        for (int i = 0; i < lines; ++i) {
            const COLORREF color = ColorArithmetic::GradientColor(start, end, i, lines - 1);
            if (horizontal)
                FillSolid(memory, i, 0, i + 1, height, color);
            else
                FillSolid(memory, 0, i, width, i + 1, color);
        }
        BitBlt(dc, rect->left, rect->top, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (canvas) DeleteObject(canvas);
    if (memory) DeleteDC(memory);
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

// ---- Colour arithmetic ----------------------------------------------------

WORD WINAPI ColorToHls(COLORREF color, WORD* hue, WORD* luminance, WORD* saturation)
{
    const HlsValue hls = ColorArithmetic::ToHls(color);
    if (hue) *hue = static_cast<WORD>(hls.nHue);
    if (luminance) *luminance = static_cast<WORD>(hls.nLuminance);
    if (saturation) *saturation = static_cast<WORD>(hls.nSaturation);
    return static_cast<WORD>(hls.nSaturation);
}

COLORREF WINAPI HlsToColor(WORD hue, WORD luminance, WORD saturation)
{
    return ColorArithmetic::FromHls(hue, luminance, saturation);
}

COLORREF WINAPI SetColorLuminance(COLORREF color, short luminance, BOOL relative)
{
    return ColorArithmetic::WithLuminance(color, luminance, relative != FALSE);
}

COLORREF WINAPI InvertColor(COLORREF color)
{
    return ColorArithmetic::Invert(color);
}

COLORREF WINAPI LightenColor(COLORREF color, double factor)
{
    return ColorArithmetic::Lighten(color, factor);
}

COLORREF WINAPI DarkenColor(COLORREF color, double factor)
{
    return ColorArithmetic::Darken(color, factor);
}

// ---- Bitmap files and resources --------------------------------------------

int WINAPI SaveBitmapFile(HDC dc, HBITMAP bitmap, const char* path)
{
    if (!dc || !bitmap || !path) return 0;

    // Room for the header and the largest colour table the query might add.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } query;
    ZeroMemory(&query, sizeof(query));
    query.header.biSize = sizeof(BITMAPINFOHEADER);
    if (!GetDIBits(dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&query), DIB_RGB_COLORS))
        return 0;
    BITMAPINFOHEADER header = query.header;
    const int bitCount = header.biBitCount;
    const LONG lines = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (header.biWidth <= 0 || lines == 0 || bitCount == 0) return 0;
    if (header.biSizeImage == 0)
        header.biSizeImage = static_cast<DWORD>(((header.biWidth * bitCount + 31) / 32) * 4 * lines);

    DWORD blockSize;
    if (bitCount == 16 || bitCount == 32)
        blockSize = sizeof(BITMAPINFOHEADER) + 3 * sizeof(DWORD);
    else if (bitCount > 8)
        blockSize = sizeof(BITMAPINFOHEADER);
    else
        blockSize = sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * (1u << bitCount);

    BYTE* block = static_cast<BYTE*>(LocalAlloc(LPTR, blockSize));
    BYTE* bits = static_cast<BYTE*>(LocalAlloc(LPTR, header.biSizeImage));
    int result = 0;
    if (block && bits) {
        CopyMemory(block, &header, sizeof(header));

        // The bitmap must not be selected while its bits are read.
        HBITMAP standIn = CreateCompatibleBitmap(dc, header.biWidth, lines);
        HGDIOBJ previous = standIn ? SelectObject(dc, standIn) : nullptr;
        const int got = GetDIBits(dc, bitmap, 0, static_cast<UINT>(lines), bits,
                                  reinterpret_cast<BITMAPINFO*>(block), DIB_RGB_COLORS);
        if (previous) SelectObject(dc, previous);
        if (standIn) DeleteObject(standIn);

        if (got == lines) {
            // The header may come back with another image size; the file
            // keeps the one the buffer was made for.
            reinterpret_cast<BITMAPINFOHEADER*>(block)->biSizeImage = header.biSizeImage;
            BYTE fileHeader[14] = {'B', 'M'};
            PutLittleEndian(fileHeader + 2, 14 + blockSize + header.biSizeImage, 4);
            PutLittleEndian(fileHeader + 10, 14 + blockSize, 4);

            HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                const bool written = WriteAll(file, fileHeader, sizeof(fileHeader)) &&
                                     WriteAll(file, block, blockSize) &&
                                     WriteAll(file, bits, header.biSizeImage);
                const bool closed = CloseHandle(file) != FALSE;
                if (written && closed)
                    result = 1;
                else
                    DeleteFileA(path);
            }
        }
    }
    if (block) LocalFree(block);
    if (bits) LocalFree(bits);
    return result;
}

HPALETTE WINAPI CreateDibPalette(const BITMAPINFOHEADER* header, int* colorCount)
{
    if (colorCount) *colorCount = 0;
    if (!header) return nullptr;
    const DWORD count = DibColorCount(header);
    if (colorCount) *colorCount = static_cast<int>(count);
    if (count == 0 || count > 0xFFFF) return nullptr;

    const DWORD size = sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY);
    LOGPALETTE* palette = static_cast<LOGPALETTE*>(LocalAlloc(LPTR, size));
    if (!palette) return nullptr;
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    const RGBQUAD* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + ColorTableOffset(header));
    for (DWORD i = 0; i < count; ++i) {
        palette->palPalEntry[i].peRed = table[i].rgbRed;
        palette->palPalEntry[i].peGreen = table[i].rgbGreen;
        palette->palPalEntry[i].peBlue = table[i].rgbBlue;
        palette->palPalEntry[i].peFlags = 0;
    }
    HPALETTE result = CreatePalette(palette);
    LocalFree(palette);
    return result;
}

HBITMAP WINAPI LoadPaletteBitmap(HINSTANCE instance, const char* name)
{
    HRSRC resource = FindResourceA(instance, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(instance, resource);
    if (!loaded) return nullptr;
    const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(LockResource(loaded));
    const DWORD resourceSize = SizeofResource(instance, resource);
    // The resource may come from another module (a language module): its
    // header, colour table and bits must lie inside it.
    if (!header || resourceSize < sizeof(BITMAPINFOHEADER) || header->biSize < sizeof(BITMAPINFOHEADER)
        || !DibFitsIn(header, resourceSize)) {
        FreeResource(loaded);
        return nullptr;
    }

    HDC screen = GetDC(nullptr);
    int count = 0;
    HPALETTE palette = CreateDibPalette(header, &count);
    HPALETTE previousPalette = nullptr;
    if (palette) {
        previousPalette = SelectPalette(screen, palette, FALSE);
        RealizePalette(screen);
    }
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + ColorTableOffset(header) +
                       static_cast<DWORD>(count) * sizeof(RGBQUAD);
    HBITMAP bitmap = CreateDIBitmap(screen, header, CBM_INIT, bits,
                                    reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (palette && previousPalette) SelectPalette(screen, previousPalette, FALSE);
    ReleaseDC(nullptr, screen);
    FreeResource(loaded);
    if (palette) DeleteObject(palette);
    return bitmap;
}

// ---- Bitmap drawing ---------------------------------------------------------

BOOL WINAPI DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    if (!dc || !bitmap) return FALSE;
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof(info), &info)) return FALSE;

    HDC source = CreateCompatibleDC(dc);
    if (!source) return FALSE;
    HGDIOBJ sourcePrevious = SelectObject(source, bitmap);
    if (!sourcePrevious) {
        DeleteDC(source);
        return FALSE;
    }

    SetMapMode(source, GetMapMode(dc));
    POINT size = {info.bmWidth, info.bmHeight};
    DPtoLP(source, &size, 1);
    const int width = size.x, height = size.y;
    const COLORREF transparent = GetPixel(source, 0, 0);

    HDC back = CreateCompatibleDC(dc), object = CreateCompatibleDC(dc);
    HDC work = CreateCompatibleDC(dc), save = CreateCompatibleDC(dc);
    HBITMAP backBitmap = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP objectBitmap = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP workBitmap = CreateCompatibleBitmap(dc, width, height);
    HBITMAP saveBitmap = CreateCompatibleBitmap(dc, width, height);

    if (back && object && work && save && backBitmap && objectBitmap && workBitmap && saveBitmap) {
        HGDIOBJ backPrevious = SelectObject(back, backBitmap);
        HGDIOBJ objectPrevious = SelectObject(object, objectBitmap);
        HGDIOBJ workPrevious = SelectObject(work, workBitmap);
        HGDIOBJ savePrevious = SelectObject(save, saveBitmap);

        BitBlt(save, 0, 0, width, height, source, 0, 0, SRCCOPY);
        // Mask: the transparent colour white, everything else black.
        const COLORREF sourceBack = SetBkColor(source, transparent);
        BitBlt(object, 0, 0, width, height, source, 0, 0, SRCCOPY);
        SetBkColor(source, sourceBack);
        BitBlt(back, 0, 0, width, height, object, 0, 0, NOTSRCCOPY);

        BitBlt(work, 0, 0, width, height, dc, x, y, SRCCOPY);
        BitBlt(work, 0, 0, width, height, object, 0, 0, SRCAND);
        BitBlt(source, 0, 0, width, height, back, 0, 0, SRCAND);
        BitBlt(work, 0, 0, width, height, source, 0, 0, SRCPAINT);
        BitBlt(dc, x, y, width, height, work, 0, 0, SRCCOPY);
        BitBlt(source, 0, 0, width, height, save, 0, 0, SRCCOPY);

        SelectObject(back, backPrevious);
        SelectObject(object, objectPrevious);
        SelectObject(work, workPrevious);
        SelectObject(save, savePrevious);
    }
    SelectObject(source, sourcePrevious);

    if (backBitmap) DeleteObject(backBitmap);
    if (objectBitmap) DeleteObject(objectBitmap);
    if (workBitmap) DeleteObject(workBitmap);
    if (saveBitmap) DeleteObject(saveBitmap);
    if (back) DeleteDC(back);
    if (object) DeleteDC(object);
    if (work) DeleteDC(work);
    if (save) DeleteDC(save);
    return DeleteDC(source);
}

void WINAPI DrawEmbossedBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap,
                               int sourceX, int sourceY, COLORREF background)
{
    if (!dc || !bitmap || width <= 0 || height <= 0) return;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);

    HDC source = CreateCompatibleDC(dc), maskDc = CreateCompatibleDC(dc), work = CreateCompatibleDC(dc);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    // One pixel wider and higher: the highlight copy sits one pixel down-right.
    HBITMAP workBitmap = CreateCompatibleBitmap(dc, width + 1, height + 1);
    HBRUSH highlightBrush = CreateSolidBrush(highlight);
    HBRUSH shadowBrush = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));

    if (source && maskDc && work && mask && workBitmap && highlightBrush && shadowBrush) {
        HGDIOBJ sourcePrevious = SelectObject(source, bitmap);
        HGDIOBJ maskPrevious = SelectObject(maskDc, mask);
        HGDIOBJ workPrevious = SelectObject(work, workBitmap);
        if (sourcePrevious) {
            // Mask: button face and highlight pixels white, the drawing black.
            SetBkColor(source, face);
            BitBlt(maskDc, 0, 0, width, height, source, sourceX, sourceY, SRCCOPY);
            SetBkColor(source, highlight);
            BitBlt(maskDc, 0, 0, width, height, source, sourceX, sourceY, SRCPAINT);

            FillSolid(work, 0, 0, width + 1, height + 1, background);
            // Black mask bits become white here, so 0xE20746 (source set:
            // pattern, else destination) paints just the drawing.
            SetBkColor(work, RGB(0, 0, 0));
            SetTextColor(work, RGB(255, 255, 255));
            HGDIOBJ brushPrevious = SelectObject(work, highlightBrush);
            BitBlt(work, 1, 1, width, height, maskDc, 0, 0, 0x00E20746);
            SelectObject(work, shadowBrush);
            BitBlt(work, 0, 0, width, height, maskDc, 0, 0, 0x00E20746);
            SelectObject(work, brushPrevious);

            BitBlt(dc, x, y, width + 1, height + 1, work, 0, 0, SRCCOPY);
            SelectObject(source, sourcePrevious);
        }
        SelectObject(maskDc, maskPrevious);
        SelectObject(work, workPrevious);
    }
    if (highlightBrush) DeleteObject(highlightBrush);
    if (shadowBrush) DeleteObject(shadowBrush);
    if (mask) DeleteObject(mask);
    if (workBitmap) DeleteObject(workBitmap);
    if (source) DeleteDC(source);
    if (maskDc) DeleteDC(maskDc);
    if (work) DeleteDC(work);
}

HBITMAP WINAPI GreyBitmap(HBITMAP bitmap, COLORREF replacement)
{
    if (!bitmap) return bitmap;
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof(info), &info)) return bitmap;

    HDC screen = GetDC(nullptr);
    if (!screen) return bitmap;
    HDC memory = CreateCompatibleDC(screen);
    if (memory) {
        // The button face as the display stores it.
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        HBITMAP probe = CreateCompatibleBitmap(screen, 1, 1);
        if (probe) {
            HGDIOBJ previous = SelectObject(memory, probe);
            FillSolid(memory, 0, 0, 1, 1, face);
            face = GetPixel(memory, 0, 0);
            SelectObject(memory, previous);
            DeleteObject(probe);
        }

        const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        if (previous) {
            for (int x = 0; x < info.bmWidth; ++x) {
                for (int y = 0; y < info.bmHeight; ++y) {
                    const COLORREF pixel = GetPixel(memory, x, y);
                    if (pixel == CLR_INVALID) continue;
                    if (pixel != face) {
                        const int mean = (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel)) / 3;
                        SetPixel(memory, x, y, ColorArithmetic::Lighten(shadow, mean / 255.0));
                    } else if (replacement != RGB(0, 0, 0)) {
                        SetPixel(memory, x, y, replacement);
                    }
                }
            }
            SelectObject(memory, previous);
        }
        DeleteDC(memory);
    }
    ReleaseDC(nullptr, screen);
    return bitmap;
}

BOOL WINAPI DrawGreyedBitmap(HDC dc, HBITMAP bitmap, COLORREF replacement)
{
    if (!dc || !bitmap) return FALSE;
    GreyBitmap(bitmap, replacement);
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof(info), &info)) return FALSE;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return FALSE;
    BOOL drawn = FALSE;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (previous) {
        drawn = BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    return drawn;
}

HBITMAP WINAPI IconToBitmap(HICON icon)
{
    if (!icon) return nullptr;
    ICONINFO iconInfo;
    if (!GetIconInfo(icon, &iconInfo)) return nullptr;
    BITMAP info = {};
    int width = 0, height = 0;
    if (iconInfo.hbmColor && GetObjectA(iconInfo.hbmColor, sizeof(info), &info)) {
        width = info.bmWidth;
        height = info.bmHeight;
    } else if (iconInfo.hbmMask && GetObjectA(iconInfo.hbmMask, sizeof(info), &info)) {
        // A monochrome icon keeps its AND and XOR masks one above the other.
        width = info.bmWidth;
        height = info.bmHeight / 2;
    }
    if (iconInfo.hbmColor) DeleteObject(iconInfo.hbmColor);
    if (iconInfo.hbmMask) DeleteObject(iconInfo.hbmMask);
    if (width <= 0 || height <= 0) return nullptr;

    HDC screen = GetDC(nullptr);
    if (!screen) return nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        FillSolid(memory, 0, 0, width, height, GetSysColor(COLOR_WINDOW));
        DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        SelectObject(memory, previous);
    } else if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HBITMAP WINAPI ImageListIconToBitmap(HDC dc, HIMAGELIST imageList, int index)
{
    if (!dc || !imageList) return nullptr;
    COMCTL32Wrapper comctl;
    int width = 0, height = 0;
    if (!comctl.ImageList_GetIconSize(imageList, &width, &height) || width <= 0 || height <= 0)
        return nullptr;
    HICON icon = comctl.ImageList_GetIcon(imageList, index, ILD_NORMAL);
    if (!icon) return nullptr;

    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        FillSolid(memory, 0, 0, width, height, GetSysColor(COLOR_BTNFACE));
        DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        SelectObject(memory, previous);
    } else if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (memory) DeleteDC(memory);
    DestroyIcon(icon);
    return bitmap;
}

// ---- Geometry -----------------------------------------------------------------

BOOL WINAPI PtInCircle(const RECT* square, POINT point)
{
    if (!square) return FALSE;
    const int width = RectWidth(*square), height = RectHeight(*square);
    if (width != height || width <= 0) return FALSE;
    if (!PtInRect(square, point)) return FALSE;
    const double radius = width / 2.0;
    return Distance(point.x, point.y, square->left + radius, square->top + radius) <= radius;
}

BOOL WINAPI PtInEllipse(const RECT* rect, POINT point)
{
    if (!rect) return FALSE;
    const int width = RectWidth(*rect), height = RectHeight(*rect);
    if (width <= 0 || height <= 0) return FALSE;
    const double e = width / 2.0, f = height / 2.0;
    const double centreX = rect->left + static_cast<int>(e);
    const double centreY = rect->top + static_cast<int>(f);
    // Foci on the longer axis; the point is inside when the sum of its
    // distances to them is at most that axis.
    if (width >= height) {
        const int focal = static_cast<int>(std::sqrt(e * e - f * f));
        return Distance(point.x, point.y, centreX + focal, centreY) +
                   Distance(point.x, point.y, centreX - focal, centreY) <=
               2 * e;
    }
    const int focal = static_cast<int>(std::sqrt(f * f - e * e));
    return Distance(point.x, point.y, centreX, centreY + focal) +
               Distance(point.x, point.y, centreX, centreY - focal) <=
           2 * f;
}

BOOL WINAPI RectInRect(const RECT* outer, const RECT* inner)
{
    if (!outer || !inner) return FALSE;
    POINT topLeft = {inner->left, inner->top};
    // The bottom-right corner is exclusive in both rectangles, so it may
    // lie on the outer one's right or bottom edge.
    return PtInRect(outer, topLeft) && inner->right >= outer->left && inner->right <= outer->right &&
           inner->bottom >= outer->top && inner->bottom <= outer->bottom;
}

void WINAPI CenterHorizontally(const RECT* outer, RECT* rect)
{
    if (!outer || !rect) return;
    const int width = RectWidth(*rect);
    rect->left = RectWidth(*outer) / 2 - width / 2;
    rect->right = rect->left + width;
}

void WINAPI CenterVertically(const RECT* outer, RECT* rect)
{
    if (!outer || !rect) return;
    const int height = RectHeight(*rect);
    rect->top = RectHeight(*outer) / 2 - height / 2;
    rect->bottom = rect->top + height;
}

// ---- Frames, fills and marks ----------------------------------------------------

BOOL WINAPI DrawEtchedRect(HDC dc, const RECT* rect)
{
    if (!dc || !rect) return FALSE;
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    if (face && highlight && shadow) {
        HGDIOBJ previousBrush = SelectObject(dc, face);
        HGDIOBJ previousPen = SelectObject(dc, highlight);
        Rectangle(dc, rect->left, rect->top, rect->right, rect->bottom);

        SelectObject(dc, GetStockObject(NULL_BRUSH));
        SelectObject(dc, shadow);
        Rectangle(dc, rect->left, rect->top, rect->right - 1, rect->bottom - 1);

        SelectObject(dc, highlight);
        POINT position;
        MoveToEx(dc, rect->left + 1, rect->top + 1, &position);
        LineTo(dc, rect->right - 2, rect->top + 1);
        MoveToEx(dc, rect->left + 1, rect->top + 1, nullptr);
        LineTo(dc, rect->left + 1, rect->bottom - 2);
        MoveToEx(dc, position.x, position.y, nullptr);

        SelectObject(dc, previousPen);
        SelectObject(dc, previousBrush);
    }
    if (face) DeleteObject(face);
    if (shadow) DeleteObject(shadow);
    return highlight ? DeleteObject(highlight) : FALSE;
}

void WINAPI DrawSunkenEdge(HDC dc, const RECT* rect)
{
    if (!dc || !rect) return;
    const int l = rect->left, t = rect->top, r = rect->right, b = rect->bottom;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF darkShadow = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    FillSolid(dc, l, t, r - 1, t + 1, shadow);
    FillSolid(dc, l, t, l + 1, b - 1, shadow);
    FillSolid(dc, l, b - 1, r, b, highlight);
    FillSolid(dc, r - 1, t, r, b, highlight);
    FillSolid(dc, l + 1, t + 1, r - 2, t + 2, darkShadow);
    FillSolid(dc, l + 1, t + 1, l + 2, b - 2, darkShadow);
    FillSolid(dc, r - 2, t + 1, r - 1, b - 1, face);
    FillSolid(dc, l + 1, b - 2, r - 1, b - 1, face);
}

void WINAPI DrawFrame(HDC dc, COLORREF color, const RECT* rect, int thickness)
{
    if (!dc || !rect || thickness <= 0) return;
    const int l = rect->left, t = rect->top, r = rect->right, b = rect->bottom;
    FillSolid(dc, l, t, r, t + thickness, color);
    FillSolid(dc, l, b - thickness, r, b, color);
    FillSolid(dc, l, t, l + thickness, b, color);
    FillSolid(dc, r - thickness, t, r, b, color);
}

void WINAPI FillGradientH(HDC dc, const RECT* rect, COLORREF start, COLORREF end)
{
    FillGradient(dc, rect, start, end, true);
}

void WINAPI FillGradientV(HDC dc, const RECT* rect, COLORREF start, COLORREF end)
{
    FillGradient(dc, rect, start, end, false);
}

COLORREF WINAPI FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF color)
{
    if (!dc) return CLR_INVALID;
    return FillSolid(dc, x, y, x + width, y + height, color);
}

void WINAPI Draw3dRect(HDC dc, const RECT* rect, COLORREF topLeft, COLORREF bottomRight)
{
    if (!dc || !rect) return;
    const int x = rect->left, y = rect->top, cx = RectWidth(*rect), cy = RectHeight(*rect);
    FillSolid(dc, x, y, x + cx - 1, y + 1, topLeft);
    FillSolid(dc, x, y, x + 1, y + cy - 1, topLeft);
    FillSolid(dc, x + cx - 1, y, x + cx, y + cy, bottomRight);
    FillSolid(dc, x, y + cy - 1, x + cx, y + cy, bottomRight);
}

void WINAPI DrawCheckMark(HDC dc, int x, int y, COLORREF color, BOOL thin)
{
    if (!dc) return;
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    if (!pen) return;
    HGDIOBJ previous = SelectObject(dc, pen);
    // Three short strokes going down, then four going up.
    static const int kStrokeTop[7] = {2, 3, 4, 3, 2, 1, 0};
    const int length = thin ? 2 : 3;
    POINT position;
    MoveToEx(dc, x, y + kStrokeTop[0], &position);
    for (int i = 0; i < 7; ++i) {
        MoveToEx(dc, x + i, y + kStrokeTop[i], nullptr);
        LineTo(dc, x + i, y + kStrokeTop[i] + length);
    }
    MoveToEx(dc, position.x, position.y, nullptr);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

BOOL WINAPI DrawCheckBox(HDC dc, const RECT* rect)
{
    if (!dc || !rect) return 1;
    RECT edge = *rect;
    DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    const POINT origin = CheckMarkOrigin(*rect);
    DrawCheckMark(dc, origin.x, origin.y, GetSysColor(COLOR_MENUTEXT), TRUE);
    return 1;
}

BOOL WINAPI DrawMenuCheck(HDC dc, const RECT* rect, COLORREF color, BOOL selected)
{
    if (!dc || !rect) return 1;
    const COLORREF background = ColorArithmetic::Lighten(color, selected ? 0.55 : 0.85);
    FillSolid(dc, rect->left, rect->top, rect->right, rect->bottom, background);
    Draw3dRect(dc, rect, color, color);

    // A light menu text on a background nearly as light is inverted.
    COLORREF mark = GetSysColor(COLOR_MENUTEXT);
    const int markLuminance = ColorArithmetic::ToHls(mark).nLuminance;
    const int backLuminance = ColorArithmetic::ToHls(background).nLuminance;
    if (markLuminance != 0 && markLuminance >= backLuminance && backLuminance * 10 >= markLuminance * 8)
        mark = ColorArithmetic::Invert(mark);

    const POINT origin = CheckMarkOrigin(*rect);
    DrawCheckMark(dc, origin.x, origin.y, mark, TRUE);
    return 1;
}

// ---- Fonts and text -----------------------------------------------------------------

int WINAPI HeightToPoints(int height, int pixelsPerInch)
{
    if (pixelsPerInch <= 0) return 0;
    return -MulDiv(72, height, pixelsPerInch);
}

int WINAPI PointsToHeight(int points, int pixelsPerInch)
{
    return -MulDiv(points, pixelsPerInch, 72);
}

BOOL WINAPI GetTextExtent(HDC dc, HFONT font, const char* text, SIZE* size)
{
    if (!dc || !text || !size) return FALSE;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    const BOOL result = GetTextExtentPoint32A(dc, text, lstrlenA(text), size);
    if (previous) SelectObject(dc, previous);
    return result;
}
