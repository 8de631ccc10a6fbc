#include "sysinfo/UxThemeWrapper.h"

namespace {
const HRESULT kFail = static_cast<HRESULT>(0x80004005L);
}

UxThemeWrapper::UxThemeWrapper()
    : WrapperBase("UxTheme.dll", Quiet())
{
}

HTHEME_T UxThemeWrapper::OpenThemeData(HWND window, LPCWSTR classList)
{
    typedef HTHEME_T(WINAPI * Fn)(HWND, LPCWSTR);
    Fn fn = Resolve<Fn>("OpenThemeData");
    return fn ? fn(window, classList) : nullptr;
}

HRESULT UxThemeWrapper::CloseThemeData(HTHEME_T theme)
{
    typedef HRESULT(WINAPI * Fn)(HTHEME_T);
    Fn fn = Resolve<Fn>("CloseThemeData");
    return fn ? fn(theme) : kFail;
}

HRESULT UxThemeWrapper::DrawThemeBackground(HTHEME_T theme, HDC dc, int part, int state,
                                            const RECT* rect, const RECT* clip)
{
    typedef HRESULT(WINAPI * Fn)(HTHEME_T, HDC, int, int, const RECT*, const RECT*);
    Fn fn = Resolve<Fn>("DrawThemeBackground");
    return fn ? fn(theme, dc, part, state, rect, clip) : kFail;
}

BOOL UxThemeWrapper::IsAppThemed()
{
    typedef BOOL(WINAPI * Fn)();
    Fn fn = Resolve<Fn>("IsAppThemed");
    return fn ? fn() : FALSE;
}

HRESULT UxThemeWrapper::DrawThemeParentBackground(HWND window, HDC dc, RECT* rect)
{
    typedef HRESULT(WINAPI * Fn)(HWND, HDC, RECT*);
    Fn fn = Resolve<Fn>("DrawThemeParentBackground");
    return fn ? fn(window, dc, rect) : kFail;
}
