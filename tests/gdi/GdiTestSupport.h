#pragma once

// Shared pieces of the OrvoGdiUtils tests: the DLL bound by ordinal as an
// outside program binds it, and 32-bit DIB canvases whose pixels can be read.

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace GdiTest {

typedef WORD(WINAPI* ColorToHlsFn)(COLORREF, WORD*, WORD*, WORD*);
typedef COLORREF(WINAPI* HlsToColorFn)(WORD, WORD, WORD);
typedef COLORREF(WINAPI* SetColorLuminanceFn)(COLORREF, short, BOOL);
typedef COLORREF(WINAPI* ColorFn)(COLORREF);
typedef COLORREF(WINAPI* ColorFactorFn)(COLORREF, double);
typedef int(WINAPI* SaveBitmapFileFn)(HDC, HBITMAP, const char*);
typedef HBITMAP(WINAPI* LoadPaletteBitmapFn)(HINSTANCE, const char*);
typedef HPALETTE(WINAPI* CreateDibPaletteFn)(const BITMAPINFOHEADER*, int*);
typedef BOOL(WINAPI* DrawTransparentBitmapFn)(HDC, HBITMAP, int, int);
typedef BOOL(WINAPI* PtInShapeFn)(const RECT*, POINT);
typedef BOOL(WINAPI* RectInRectFn)(const RECT*, const RECT*);
typedef void(WINAPI* CenterFn)(const RECT*, RECT*);
typedef BOOL(WINAPI* DrawEtchedRectFn)(HDC, const RECT*);
typedef void(WINAPI* DrawSunkenEdgeFn)(HDC, const RECT*);
typedef void(WINAPI* DrawFrameFn)(HDC, COLORREF, const RECT*, int);
typedef void(WINAPI* FillGradientFn)(HDC, const RECT*, COLORREF, COLORREF);
typedef int(WINAPI* FontSizeFn)(int, int);
typedef BOOL(WINAPI* GetTextExtentFn)(HDC, HFONT, const char*, SIZE*);
typedef COLORREF(WINAPI* FillSolidRectFn)(HDC, int, int, int, int, COLORREF);
typedef void(WINAPI* Draw3dRectFn)(HDC, const RECT*, COLORREF, COLORREF);
typedef HBITMAP(WINAPI* IconToBitmapFn)(HICON);
typedef void(WINAPI* DrawEmbossedBitmapFn)(HDC, int, int, int, int, HBITMAP, int, int, COLORREF);
typedef BOOL(WINAPI* DrawGreyedBitmapFn)(HDC, HBITMAP, COLORREF);
typedef BOOL(WINAPI* DrawCheckBoxFn)(HDC, const RECT*);
typedef void(WINAPI* DrawCheckMarkFn)(HDC, int, int, COLORREF, BOOL);
typedef BOOL(WINAPI* DrawMenuCheckFn)(HDC, const RECT*, COLORREF, BOOL);
typedef HBITMAP(WINAPI* ImageListIconToBitmapFn)(HDC, HIMAGELIST, int);
typedef HBITMAP(WINAPI* GreyBitmapFn)(HBITMAP, COLORREF);

// OrvoGdiUtils.dll from the bin folder, entry points by ordinal.
class GdiUtilsDll {
public:
    GdiUtilsDll();
    ~GdiUtilsDll();
    GdiUtilsDll(const GdiUtilsDll&) = delete;
    GdiUtilsDll& operator=(const GdiUtilsDll&) = delete;

    template <class T>
    T At(int ordinal) const
    {
        return reinterpret_cast<T>(reinterpret_cast<void*>(
            GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal)))));
    }
    HMODULE module;
};

// A top-down 32-bit DIB section selected into its own memory DC.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    COLORREF Pixel(int x, int y) const;
    void SetPixelAt(int x, int y, COLORREF color);
    // Number of pixels that differ from the colour.
    int CountNot(COLORREF color) const;

    HDC dc;
    HBITMAP bitmap;
    int width;
    int height;

private:
    DWORD* bits;
    HGDIOBJ previous;
};

// A 32-bit DIB section of the given pixels (row by row), not selected anywhere.
HBITMAP MakeBitmap(int width, int height, const COLORREF* pixels);
// Pixel of any bitmap, read through GetDIBits as 32 bits per pixel.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);

std::string ReadFileBytes(const std::string& path);

} // namespace GdiTest
