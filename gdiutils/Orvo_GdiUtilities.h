#pragma once

// Exports of OrvoGdiUtils.dll, called by ordinal. Bitmaps returned are
// owned by the caller.

#include <windows.h>
#include <commctrl.h>

#ifdef ORVOGDIUTILS_BUILD
#define ORVOGDIUTILS_API
#else
#define ORVOGDIUTILS_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

ORVOGDIUTILS_API WORD WINAPI ColorToHls(COLORREF color, WORD* hue, WORD* luminance,
                                        WORD* saturation);                                    // 1
ORVOGDIUTILS_API COLORREF WINAPI HlsToColor(WORD hue, WORD luminance, WORD saturation);       // 2
ORVOGDIUTILS_API COLORREF WINAPI SetColorLuminance(COLORREF color, short luminance,
                                                   BOOL relative);                            // 3
ORVOGDIUTILS_API COLORREF WINAPI InvertColor(COLORREF color);                                 // 4
ORVOGDIUTILS_API COLORREF WINAPI LightenColor(COLORREF color, double factor);                 // 5
ORVOGDIUTILS_API int WINAPI SaveBitmapFile(HDC dc, HBITMAP bitmap, const char* path);         // 6
ORVOGDIUTILS_API HBITMAP WINAPI LoadPaletteBitmap(HINSTANCE instance, const char* name);      // 7
ORVOGDIUTILS_API HPALETTE WINAPI CreateDibPalette(const BITMAPINFOHEADER* header,
                                                  int* colorCount);                           // 8
ORVOGDIUTILS_API BOOL WINAPI DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y);     // 9
ORVOGDIUTILS_API BOOL WINAPI PtInCircle(const RECT* square, POINT point);                     // 10
ORVOGDIUTILS_API BOOL WINAPI PtInEllipse(const RECT* rect, POINT point);                      // 11
ORVOGDIUTILS_API BOOL WINAPI RectInRect(const RECT* outer, const RECT* inner);                // 12
ORVOGDIUTILS_API void WINAPI CenterHorizontally(const RECT* outer, RECT* rect);               // 13
ORVOGDIUTILS_API void WINAPI CenterVertically(const RECT* outer, RECT* rect);                 // 14
ORVOGDIUTILS_API BOOL WINAPI DrawEtchedRect(HDC dc, const RECT* rect);                        // 15
ORVOGDIUTILS_API void WINAPI DrawSunkenEdge(HDC dc, const RECT* rect);                        // 16
ORVOGDIUTILS_API void WINAPI DrawFrame(HDC dc, COLORREF color, const RECT* rect,
                                       int thickness);                                        // 17
ORVOGDIUTILS_API void WINAPI FillGradientH(HDC dc, const RECT* rect, COLORREF start,
                                           COLORREF end);                                     // 18
ORVOGDIUTILS_API void WINAPI FillGradientV(HDC dc, const RECT* rect, COLORREF start,
                                           COLORREF end);                                     // 19
ORVOGDIUTILS_API int WINAPI HeightToPoints(int height, int pixelsPerInch);                    // 20
ORVOGDIUTILS_API int WINAPI PointsToHeight(int points, int pixelsPerInch);                    // 21
ORVOGDIUTILS_API BOOL WINAPI GetTextExtent(HDC dc, HFONT font, const char* text,
                                           SIZE* size);                                       // 22
ORVOGDIUTILS_API COLORREF WINAPI DarkenColor(COLORREF color, double factor);                  // 23
ORVOGDIUTILS_API COLORREF WINAPI FillSolidRect(HDC dc, int x, int y, int width, int height,
                                               COLORREF color);                               // 24
ORVOGDIUTILS_API void WINAPI Draw3dRect(HDC dc, const RECT* rect, COLORREF topLeft,
                                        COLORREF bottomRight);                                // 25
ORVOGDIUTILS_API HBITMAP WINAPI IconToBitmap(HICON icon);                                     // 26
ORVOGDIUTILS_API void WINAPI DrawEmbossedBitmap(HDC dc, int x, int y, int width, int height,
                                                HBITMAP bitmap, int sourceX, int sourceY,
                                                COLORREF background);                         // 27
ORVOGDIUTILS_API BOOL WINAPI DrawGreyedBitmap(HDC dc, HBITMAP bitmap, COLORREF replacement);  // 28
ORVOGDIUTILS_API BOOL WINAPI DrawCheckBox(HDC dc, const RECT* rect);                          // 29
ORVOGDIUTILS_API void WINAPI DrawCheckMark(HDC dc, int x, int y, COLORREF color, BOOL thin);   // 30
ORVOGDIUTILS_API BOOL WINAPI DrawMenuCheck(HDC dc, const RECT* rect, COLORREF color,
                                           BOOL selected);                                    // 31
ORVOGDIUTILS_API HBITMAP WINAPI ImageListIconToBitmap(HDC dc, HIMAGELIST imageList,
                                                      int index);                             // 32
ORVOGDIUTILS_API HBITMAP WINAPI GreyBitmap(HBITMAP bitmap, COLORREF replacement);             // 33

#ifdef __cplusplus
}
#endif
