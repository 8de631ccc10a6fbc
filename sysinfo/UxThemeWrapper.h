#pragma once

#include "sysinfo/WrapperBase.h"

typedef HANDLE HTHEME_T;

// Visual-styles library. Each call looks its entry point up anew and falls
// back to a classic answer when the library or the entry point is missing.
class UxThemeWrapper : public WrapperBase {
public:
    UxThemeWrapper();

    HTHEME_T OpenThemeData(HWND window, LPCWSTR classList);
    HRESULT CloseThemeData(HTHEME_T theme);
    HRESULT DrawThemeBackground(HTHEME_T theme, HDC dc, int part, int state, const RECT* rect,
                                const RECT* clip);
    BOOL IsAppThemed();
    HRESULT DrawThemeParentBackground(HWND window, HDC dc, RECT* rect);
};
