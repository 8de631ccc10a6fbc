#include "controls/ButtonEx.h"
#include "controls/Superclass.h"
#include "controls/ThisModule.h"
#include "gdiutils/Orvo_GdiUtilities.h"

#include <commctrl.h>

namespace {
const char kClassName[] = "ClButtonEx";
Superclass g_class("Button", kClassName, 0);

const int kPushButtonPart = 1;   // BP_PUSHBUTTON
const int kGap = 4;              // between icon and text

bool CursorInside(HWND window, LPARAM lParam)
{
    RECT client;
    GetClientRect(window, &client);
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&client, point) != 0;
}

} // namespace

ButtonEx::ButtonEx()
    : hWnd(nullptr), hIcon(nullptr), nIconWidth(0), nIconHeight(0), bHot(false), bDefault(false), bPressed(false),
      bOwnedByWindow(false)
{
}

ButtonEx::~ButtonEx()
{
    if (hWnd && IsWindow(hWnd)) {
        SetWindowLongPtrA(hWnd, g_class.ObjectSlot(), 0);
        DestroyWindow(hWnd);
    }
}

bool ButtonEx::Register()
{
    return g_class.Register(WindowProc);
}

void ButtonEx::Unregister()
{
    g_class.Unregister();
}

bool ButtonEx::Create(DWORD exStyle, DWORD style, const char* text, const RECT& rect, HWND parent, UINT id)
{
    if (hWnd || !Register()) return false;
    ControlCreateParams params = {ControlCreateParams::kMagic, this};
    return CreateWindowExA(exStyle, kClassName, text, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           ThisModule(), &params) != nullptr;
}

ButtonEx* ButtonEx::FromWindow(HWND window)
{
    return reinterpret_cast<ButtonEx*>(GetWindowLongPtrA(window, g_class.ObjectSlot()));
}

HICON ButtonEx::SetIcon(HICON icon)
{
    HICON previous = hIcon;
    hIcon = icon;
    nIconWidth = nIconHeight = 0;
    ICONINFO info = {};
    if (icon && GetIconInfo(icon, &info)) {
        BITMAP bitmap = {};
        if (info.hbmColor && GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap)) {
            nIconWidth = bitmap.bmWidth;
            nIconHeight = bitmap.bmHeight;
        } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap)) {
            nIconWidth = bitmap.bmWidth;
            nIconHeight = bitmap.bmHeight / 2;
        }
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
    return previous;
}

void ButtonEx::Redraw()
{
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ButtonEx::SetPressed(bool pressed)
{
    if (bPressed == pressed) return;
    bPressed = pressed;
    Redraw();
}

void ButtonEx::Click()
{
    HWND parent = GetParent(hWnd);
    if (parent)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hWnd), BN_CLICKED), reinterpret_cast<LPARAM>(hWnd));
}

void ButtonEx::DrawClassicFrame(HDC dc, const RECT& rect)
{
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    const COLORREF light = GetSysColor(bPressed ? COLOR_BTNTEXT : COLOR_3DHILIGHT);
    const COLORREF dark = GetSysColor(bPressed ? COLOR_3DHILIGHT : COLOR_BTNSHADOW);
    Draw3dRect(dc, &rect, light, dark);
    // Hot (and not pressed): a second shadow line lifts the button a little more.
    if (bHot && !bPressed) {
        const RECT inner = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        Draw3dRect(dc, &inner, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));
    }
}

void ButtonEx::DrawContent(HDC dc, const RECT& rect)
{
    const bool enabled = IsWindowEnabled(hWnd) != 0;
    char text[256] = {};
    GetWindowTextA(hWnd, text, sizeof(text));
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));

    SIZE textSize = {0, 0};
    RECT measure = {0, 0, 0, 0};
    if (text[0]) {
        DrawTextA(dc, text, -1, &measure, DT_SINGLELINE | DT_CALCRECT);
        textSize.cx = measure.right - measure.left;
        textSize.cy = measure.bottom - measure.top;
    }
    const int iconWidth = hIcon ? nIconWidth : 0;
    const int gap = (iconWidth && textSize.cx) ? kGap : 0;
    const int total = iconWidth + gap + textSize.cx;
    const int offset = bPressed ? 1 : 0;
    int x = rect.left + (rect.right - rect.left - total) / 2 + offset;
    const int middle = (rect.top + rect.bottom) / 2 + offset;

    if (hIcon) {
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, x, middle - nIconHeight / 2, nIconWidth,
                   nIconHeight, DST_ICON | (enabled ? DSS_NORMAL : DSS_DISABLED));
        x += iconWidth + gap;
    }
    if (text[0]) {
        RECT textRect = {x, middle - textSize.cy / 2, x + textSize.cx, middle - textSize.cy / 2 + textSize.cy};
        SetBkMode(dc, TRANSPARENT);
        if (!enabled) {
            RECT shadow = textRect;
            OffsetRect(&shadow, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
            DrawTextA(dc, text, -1, &shadow, DT_SINGLELINE);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        } else {
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        }
        DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE);
    }
    if (GetFocus() == hWnd) {
        RECT focus = rect;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

void ButtonEx::Paint(HDC dc)
{
    RECT client;
    GetClientRect(hWnd, &client);
    const int saved = SaveDC(dc);
    bool themed = false;
    if (theme.IsAppThemed()) {
        HTHEME_T data = theme.OpenThemeData(hWnd, L"BUTTON");
        if (data) {
            int state = 1;
            if (!IsWindowEnabled(hWnd)) state = 4;
            else if (bPressed) state = 3;
            else if (bHot) state = 2;
            else if (bDefault) state = 5;
            theme.DrawThemeParentBackground(hWnd, dc, &client);
            themed = SUCCEEDED(theme.DrawThemeBackground(data, dc, kPushButtonPart, state, &client, nullptr));
            theme.CloseThemeData(data);
        }
    }
    if (!themed) DrawClassicFrame(dc, client);
    DrawContent(dc, client);
    RestoreDC(dc, saved);
}

LRESULT CALLBACK ButtonEx::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const ControlCreateParams* params = static_cast<const ControlCreateParams*>(create->lpCreateParams);
        ButtonEx* self = nullptr;
        if (params && params->dwMagic == ControlCreateParams::kMagic) {
            self = static_cast<ButtonEx*>(params->pObject);
        } else {
            self = new ButtonEx;
            self->bOwnedByWindow = true;
        }
        self->hWnd = window;
        self->bDefault = (create->style & 0x0F) == BS_DEFPUSHBUTTON;
        SetWindowLongPtrA(window, g_class.ObjectSlot(), reinterpret_cast<LONG_PTR>(self));
        return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
    }
    ButtonEx* self = FromWindow(window);
    if (!self) return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);

    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        self->Paint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        self->Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        if (!self->bHot) {
            self->bHot = true;
            InvalidateRect(window, nullptr, FALSE);
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, window, 0};
            _TrackMouseEvent(&track);
        }
        if ((wParam & MK_LBUTTON) && GetCapture() == window) self->SetPressed(CursorInside(window, lParam));
        return 0;
    case WM_MOUSELEAVE:
        self->bHot = false;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(window);
        SetCapture(window);
        self->SetPressed(true);
        return 0;
    case WM_LBUTTONUP: {
        // Only a press that began on the button clicks it.
        const bool captured = GetCapture() == window;
        const bool inside = CursorInside(window, lParam);
        self->bPressed = false;
        self->Redraw();
        // Released before the command: its handler may open a modal window.
        if (captured) ReleaseCapture();
        if (captured && inside) self->Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window) self->SetPressed(false);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            self->SetPressed(true);
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            if (self->bPressed) {
                self->SetPressed(false);
                self->Click();
            }
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (message == WM_KILLFOCUS) self->bPressed = false;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case BM_SETSTATE:
        self->SetPressed(wParam != 0);
        return 0;
    case BM_SETSTYLE: {
        LRESULT result = CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
        self->bDefault = (wParam & 0x0F) == BS_DEFPUSHBUTTON;
        self->Redraw();
        return result;
    }
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE: {
        LRESULT result = CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
        self->Redraw();
        return result;
    }
    case WM_NCDESTROY: {
        SetWindowLongPtrA(window, g_class.ObjectSlot(), 0);
        self->hWnd = nullptr;
        if (self->bOwnedByWindow) delete self;
        return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
}
