#include "controls/Infobar.h"
#include "controls/ThisModule.h"

#include "gdiutils/Orvo_GdiUtilities.h"
#include "sysinfo/MSIMG32Wrapper.h"

namespace {
const char kClassName[] = "Orvo_InfobarWndClass";
int g_instances = 0;
bool g_registered = false;
} // namespace

Infobar::Infobar()
    : hWnd(nullptr), hNotifyTarget(nullptr), hInstance(ThisModule()), lfFont(), hFont(nullptr),
      hImageList(nullptr), nMarginLeft(0), nMarginTop(0), nMarginRight(0), nMarginBottom(0),
      crGradientStart(GetSysColor(COLOR_BTNFACE)), crGradientEnd(GetSysColor(COLOR_BTNFACE)),
      crText(RGB(255, 255, 255)), nGradientMode(0)
{
    if (!g_registered) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_DBLCLKS | CS_PARENTDC;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.cbWndExtra = sizeof(LONG_PTR);
        windowClass.hInstance = hInstance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(5);
        windowClass.lpszClassName = kClassName;
        g_registered = RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }

    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        lfFont = metrics.lfStatusFont;
    else
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lfFont), &lfFont);
    HDC screen = GetDC(nullptr);
    lfFont.lfHeight = PointsToHeight(12, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    lfFont.lfWeight = FW_BOLD;
    hFont = CreateFontIndirectA(&lfFont);
    ++g_instances;
}

Infobar::~Infobar()
{
    if (hWnd && IsWindow(hWnd)) {
        SetWindowLongPtrA(hWnd, 0, 0);
        DestroyWindow(hWnd);
    }
    if (hFont) DeleteObject(hFont);
    if (hImageList) ImageList_Destroy(hImageList);
    --g_instances;
}

int Infobar::GetInstanceCount()
{
    return g_instances;
}

bool Infobar::Create(DWORD exStyle, DWORD style, const char* text, const RECT& rect, HWND parent, UINT id)
{
    if (hWnd) return false;
    hNotifyTarget = parent;
    HWND window = CreateWindowExA(exStyle, kClassName, text, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  hInstance, this);
    return window != nullptr;
}

void Infobar::SetIcon(HANDLE handle, int kind)
{
    if (!handle || (kind != 0 && kind != 1)) return;
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
    if (!list) return;
    if (kind == 0) {
        ImageList_AddIcon(list, static_cast<HICON>(handle));
    } else {
        HBITMAP bitmap = static_cast<HBITMAP>(handle);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        COLORREF transparent = GetPixel(dc, 0, 0);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_AddMasked(list, bitmap, transparent);
    }
    if (hImageList) ImageList_Destroy(hImageList);
    hImageList = list;
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
}

void Infobar::SetGradient(COLORREF start, COLORREF end)
{
    crGradientStart = start;
    crGradientEnd = end;
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
}

void Infobar::SetTextColor(COLORREF color)
{
    crText = color;
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
}

void Infobar::SetMargins(WORD left, WORD top, WORD right, WORD bottom)
{
    nMarginLeft = left;
    nMarginTop = top;
    nMarginRight = right;
    nMarginBottom = bottom;
}

int Infobar::SetGradientMode(int mode)
{
    int previous = nGradientMode;
    nGradientMode = mode;
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
    return previous;
}

void Infobar::FillGradient(HDC dc, const RECT& rect)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    static MSIMG32Wrapper msimg;
    if (msimg.pfnGradientFill) {
        TRIVERTEX vertices[2] = {};
        vertices[0].x = rect.left;
        vertices[0].y = rect.top;
        vertices[0].Red = static_cast<COLOR16>(GetRValue(crGradientStart) << 8);
        vertices[0].Green = static_cast<COLOR16>(GetGValue(crGradientStart) << 8);
        vertices[0].Blue = static_cast<COLOR16>(GetBValue(crGradientStart) << 8);
        vertices[1].x = rect.right;
        vertices[1].y = rect.bottom;
        vertices[1].Red = static_cast<COLOR16>(GetRValue(crGradientEnd) << 8);
        vertices[1].Green = static_cast<COLOR16>(GetGValue(crGradientEnd) << 8);
        vertices[1].Blue = static_cast<COLOR16>(GetBValue(crGradientEnd) << 8);
        GRADIENT_RECT mesh = {0, 1};
        if (msimg.GradientFill(dc, vertices, 2, &mesh, 1, nGradientMode == 1 ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H))
            return;
    }
    if (nGradientMode == 1)
        FillGradientV(dc, &rect, crGradientStart, crGradientEnd);
    else
        FillGradientH(dc, &rect, crGradientStart, crGradientEnd);
}

void Infobar::Paint(HDC windowDc)
{
    char text[260] = {};
    GetWindowTextA(hWnd, text, sizeof(text));
    RECT client;
    GetClientRect(hWnd, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    const bool direct = (GetWindowLongA(hWnd, GWL_STYLE) & kDirectPaint) != 0;
    HDC dc = windowDc;
    HBITMAP buffer = nullptr;
    HGDIOBJ oldBuffer = nullptr;
    if (!direct) {
        dc = CreateCompatibleDC(windowDc);
        buffer = CreateCompatibleBitmap(windowDc, width > 0 ? width : 1, height > 0 ? height : 1);
        oldBuffer = SelectObject(dc, buffer);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }

    const int saved = SaveDC(dc);
    SelectObject(dc, hFont);
    SetBkMode(dc, TRANSPARENT);

    RECT gradient = {client.left + nMarginLeft, client.top + nMarginTop, client.right - nMarginRight,
                     client.bottom - nMarginBottom};
    FillGradient(dc, gradient);

    RECT textRect = gradient;
    textRect.right -= 32;
    ::SetTextColor(dc, crText);
    if (textRect.right > textRect.left)
        DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);

    if (hImageList)
        ImageList_Draw(hImageList, 0, dc, client.right - nMarginRight - 20, height / 2 - 8, ILD_TRANSPARENT);
    RestoreDC(dc, saved);

    if (!direct) {
        BitBlt(windowDc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        SelectObject(dc, oldBuffer);
        DeleteObject(buffer);
        DeleteDC(dc);
    }
}

LRESULT CALLBACK Infobar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        Infobar* self = static_cast<Infobar*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->hWnd = window;
            SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    Infobar* self = reinterpret_cast<Infobar*>(GetWindowLongPtrA(window, 0));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);

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
    case WM_NCPAINT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        HDC dc = GetDC(window);
        self->Paint(dc);
        ReleaseDC(window, dc);
        return result;
    }
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        NMHDR header = {};
        header.hwndFrom = window;
        header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
        header.code = NM_DBLCLK;
        if (self->hNotifyTarget)
            SendMessageA(self->hNotifyTarget, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        return 0;
    }
    case WM_NCDESTROY:
        // The object may outlive its window (destroyed with the parent).
        SetWindowLongPtrA(window, 0, 0);
        self->hWnd = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
