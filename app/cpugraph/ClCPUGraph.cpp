#include "app/cpugraph/ClCPUGraph.h"

#include "controls/ThisModule.h"

#include <cstdio>

const char ClCPUGraph::kClassName[] = "ClCPUGraph";

namespace {
bool g_registered = false;
const char kWidestText[] = "CPU 100%";
} // namespace

ClCPUGraph::ClCPUGraph()
    : hWnd(nullptr), crBackground(0), crGraph(0xFF8000), hGraphPen(CreatePen(PS_SOLID, 0, 0xFF8000)),
      crText(0xFF8000), hFont(nullptr), nReservedTextWidth(0), hMemDC(nullptr), hBitmap(nullptr),
      hOldBitmap(nullptr)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        hFont = CreateFontIndirectA(&metrics.lfStatusFont);
}

ClCPUGraph::~ClCPUGraph()
{
    if (hWnd && IsWindow(hWnd)) DestroyWindow(hWnd);
    if (hGraphPen) DeleteObject(hGraphPen);
    if (hFont) DeleteObject(hFont);
}

bool ClCPUGraph::Register()
{
    if (g_registered) return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    g_registered = RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return g_registered;
}

void ClCPUGraph::Unregister()
{
    if (!g_registered) return;
    UnregisterClassA(kClassName, ThisModule());
    g_registered = false;
}

bool ClCPUGraph::Create(HWND parent, DWORD style, UINT id, const RECT* rect)
{
    if (hWnd || !Register()) return false;
    RECT area = rect ? *rect : RECT{0, 0, 0, 0};
    return CreateWindowExA(0, kClassName, "", style, area.left, area.top, area.right - area.left,
                           area.bottom - area.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           ThisModule(), this) != nullptr;
}

COLORREF ClCPUGraph::SetTextColor(COLORREF color)
{
    const COLORREF previous = crText;
    crText = color;
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
    return previous;
}

COLORREF ClCPUGraph::SetBackgroundColor(COLORREF color)
{
    const COLORREF previous = crBackground;
    crBackground = color;
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
    return previous;
}

COLORREF ClCPUGraph::SetGraphColor(COLORREF color)
{
    const COLORREF previous = crGraph;
    crGraph = color;
    HPEN pen = CreatePen(PS_SOLID, 0, color);
    if (pen) {
        if (hGraphPen) DeleteObject(hGraphPen);
        hGraphPen = pen;
    }
    if (hWnd) InvalidateRect(hWnd, nullptr, FALSE);
    return previous;
}

LRESULT CALLBACK ClCPUGraph::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ClCPUGraph* self = reinterpret_cast<ClCPUGraph*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<ClCPUGraph*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (!self) return FALSE;
        self->hWnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CREATE: return self->OnCreate();
    case WM_SIZE: self->OnSize(); return 0;
    case kSampleMessage: self->OnSample(lParam); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: self->OnPaint(); return 0;
    case WM_NCPAINT: self->OnNcPaint(wParam); return 0;
    case WM_DESTROY: self->OnDestroy(); return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hWnd = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT ClCPUGraph::OnCreate()
{
    HDC dc = GetDC(hWnd);
    if (!dc) return -1;
    HGDIOBJ oldFont = hFont ? SelectObject(dc, hFont) : nullptr;
    RECT measured = {0, 0, 0, 0};
    DrawTextA(dc, kWidestText, -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    if (oldFont) SelectObject(dc, oldFont);
    nReservedTextWidth = (measured.right - measured.left) + 2;
    hMemDC = CreateCompatibleDC(dc);
    ReleaseDC(hWnd, dc);
    return hMemDC ? 0 : -1;
}

void ClCPUGraph::OnSize()
{
    if (!hMemDC) return;
    if (hBitmap) {
        SelectObject(hMemDC, hOldBitmap);
        DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    RECT client;
    GetClientRect(hWnd, &client);
    if (client.right > 0 && client.bottom > 0) {
        HDC dc = GetDC(hWnd);
        hBitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        ReleaseDC(hWnd, dc);
        if (hBitmap) hOldBitmap = SelectObject(hMemDC, hBitmap);
    }
    InvalidateRect(hWnd, nullptr, FALSE);
}

void ClCPUGraph::OnSample(LPARAM value)
{
    RECT client;
    GetClientRect(hWnd, &client);
    const long columns = static_cast<long>(client.right - client.left) - 2 - nReservedTextWidth;
    while (!history.empty() && static_cast<long>(history.size()) >= columns) history.pop_front();
    const unsigned long usage = static_cast<unsigned long>(value);
    history.push_back(static_cast<uint8_t>(usage > 100 ? 100 : usage));
    InvalidateRect(hWnd, nullptr, FALSE);
}

void ClCPUGraph::FillBackground(const RECT& client)
{
    COLORREF fill = crBackground;
    if (crBackground == kDefaultBackground) {
        RECT area = client;
        if (uxTheme.IsAppThemed() && SUCCEEDED(uxTheme.DrawThemeParentBackground(hWnd, hMemDC, &area))) return;
        fill = GetSysColor(COLOR_BTNFACE);
    }
    SetBkColor(hMemDC, fill);
    ExtTextOutA(hMemDC, 0, 0, ETO_OPAQUE, &client, "", 0, nullptr);
}

void ClCPUGraph::Draw()
{
    RECT client;
    GetClientRect(hWnd, &client);
    const int saved = SaveDC(hMemDC);
    FillBackground(client);

    const long height = client.bottom - client.top;
    const long columns = client.right - nReservedTextWidth - client.left - 2;
    // The newest sample sits in the last column of the graph area.
    long x = columns - static_cast<long>(history.size());
    SelectObject(hMemDC, hGraphPen);
    bool first = true;
    for (uint8_t sample : history) {
        // Integer arithmetic: 100 reaches the top row for every height.
        const long h = (static_cast<long>(sample) * height) / 100;
        long y = client.bottom - h;
        if (y < 0) y = 0;
        if (first) MoveToEx(hMemDC, x, y, nullptr);
        first = false;
        LineTo(hMemDC, x, y);
        SetPixel(hMemDC, x, y, crGraph);
        ++x;
    }

    char text[16];
    std::snprintf(text, sizeof(text), "CPU %u%%", history.empty() ? 0u : static_cast<unsigned>(history.back()));
    RECT textRect = {x + 3, client.top, client.right - 1, client.bottom};
    if (hFont) SelectObject(hMemDC, hFont);
    SetBkMode(hMemDC, TRANSPARENT);
    ::SetTextColor(hMemDC, crText);
    DrawTextA(hMemDC, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    RestoreDC(hMemDC, saved);
}

void ClCPUGraph::CopyToWindow(HDC target)
{
    RECT client;
    GetClientRect(hWnd, &client);
    BitBlt(target, 0, 0, client.right, client.bottom, hMemDC, 0, 0, SRCCOPY);
}

void ClCPUGraph::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hWnd, &paint);
    if (hMemDC && hBitmap) {
        Draw();
        CopyToWindow(dc);
    }
    EndPaint(hWnd, &paint);
}

void ClCPUGraph::OnNcPaint(WPARAM region)
{
    DefWindowProcA(hWnd, WM_NCPAINT, region, 0);
    if (!hMemDC || !hBitmap) return;
    HDC dc = GetDC(hWnd);
    Draw();
    CopyToWindow(dc);
    ReleaseDC(hWnd, dc);
}

void ClCPUGraph::OnDestroy()
{
    if (hMemDC) {
        if (hBitmap) SelectObject(hMemDC, hOldBitmap);
        DeleteDC(hMemDC);
    }
    if (hBitmap) DeleteObject(hBitmap);
    hMemDC = nullptr;
    hBitmap = nullptr;
    hOldBitmap = nullptr;
}
