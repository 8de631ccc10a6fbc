#include "controls/HyperLink.h"
#include "controls/ThisModule.h"

namespace {
const char kClassName[] = "ClHyperLinkStatic";
bool g_registered = false;
} // namespace

HyperLink::HyperLink() : hWnd(nullptr), hNotifyTarget(nullptr), hFont(nullptr), bVisited(false), bOwnedByWindow(false)
{
}

HyperLink::~HyperLink()
{
    if (hWnd && IsWindow(hWnd)) {
        SetWindowLongPtrA(hWnd, 0, 0);
        DestroyWindow(hWnd);
    }
    if (hFont) DeleteObject(hFont);
}

bool HyperLink::Register()
{
    if (g_registered) return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_GLOBALCLASS | CS_PARENTDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = ThisModule();
    // IDC_HAND is missing before Windows 98 and 2000.
    windowClass.hCursor = LoadCursor(nullptr, IDC_HAND);
    if (!windowClass.hCursor) windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    g_registered = RegisterClassA(&windowClass) != 0;
    return g_registered;
}

void HyperLink::Unregister()
{
    if (!g_registered) return;
    UnregisterClassA(kClassName, ThisModule());
    g_registered = false;
}

bool HyperLink::Create(DWORD exStyle, DWORD style, const char* text, const RECT& rect, HWND parent, UINT id)
{
    if (hWnd || !Register()) return false;
    ControlCreateParams params = {ControlCreateParams::kMagic, this};
    return CreateWindowExA(exStyle, kClassName, text, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           ThisModule(), &params) != nullptr;
}

HyperLink* HyperLink::FromWindow(HWND window)
{
    return reinterpret_cast<HyperLink*>(GetWindowLongPtrA(window, 0));
}

void HyperLink::SetFont(HFONT font)
{
    // The link is drawn with an underlined copy of the font it is given.
    LOGFONTA description = {};
    if (!GetObjectA(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof(description),
                    &description))
        return;
    description.lfUnderline = TRUE;
    HFONT created = CreateFontIndirectA(&description);
    if (!created) return;
    if (hFont) DeleteObject(hFont);
    hFont = created;
}

void HyperLink::Paint(HDC dc)
{
    RECT client;
    GetClientRect(hWnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    COLORREF color = kUnvisitedColor;
    if (!IsWindowEnabled(hWnd))
        color = GetSysColor(COLOR_GRAYTEXT);
    else if (GetCapture() == hWnd)
        color = kPressedColor;
    else if (bVisited)
        color = kVisitedColor;
    char text[1024] = {};
    GetWindowTextA(hWnd, text, sizeof(text));
    const int saved = SaveDC(dc);
    if (hFont) SelectObject(dc, hFont);
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (GetFocus() == hWnd) {
        // Around the text, inside the window.
        RECT box = client;
        DrawTextA(dc, text, -1, &box, DT_SINGLELINE | DT_LEFT | DT_CALCRECT);
        const int height = box.bottom - box.top;
        box.top = client.top + (client.bottom - client.top - height) / 2 - 1;
        box.bottom = box.top + height + 2;
        box.right += 2;
        IntersectRect(&box, &box, &client);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawFocusRect(dc, &box);
    }
    RestoreDC(dc, saved);
}

void HyperLink::Follow()
{
    bVisited = true;
    InvalidateRect(hWnd, nullptr, FALSE);
    PostMessageA(hNotifyTarget, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hWnd), 0), reinterpret_cast<LPARAM>(hWnd));
}

LRESULT HyperLink::DialogCode(const MSG* message)
{
    // Enter and Space are the link's own: Enter would press the dialog's default button.
    if (message && (message->message == WM_KEYDOWN || message->message == WM_CHAR)
        && (message->wParam == VK_RETURN || message->wParam == VK_SPACE))
        return DLGC_WANTMESSAGE | DLGC_WANTCHARS;
    return 0;
}

LRESULT CALLBACK HyperLink::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const ControlCreateParams* params = static_cast<const ControlCreateParams*>(create->lpCreateParams);
        HyperLink* self = nullptr;
        if (params && params->dwMagic == ControlCreateParams::kMagic) {
            self = static_cast<HyperLink*>(params->pObject);
        } else {
            self = new HyperLink;
            self->bOwnedByWindow = true;
        }
        self->hWnd = window;
        self->hNotifyTarget = create->hwndParent;
        self->SetFont(nullptr);
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HyperLink* self = FromWindow(window);
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
    case WM_PRINTCLIENT:
        self->Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETFONT:
        self->SetFont(reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(self->hFont);
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window) {
            ReleaseCapture();
            InvalidateRect(window, nullptr, FALSE);
            RECT client;
            GetClientRect(window, &client);
            POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (PtInRect(&client, point)) self->Follow();
        }
        return 0;
    case WM_GETDLGCODE:
        return DialogCode(reinterpret_cast<const MSG*>(lParam));
    case WM_KEYDOWN:
        // Once per press, not again while the key repeats.
        if ((wParam == VK_RETURN || wParam == VK_SPACE) && !(lParam & 0x40000000)) {
            self->Follow();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CHAR:
        if (wParam == VK_RETURN || wParam == VK_SPACE) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_CAPTURECHANGED:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_NCDESTROY: {
        SetWindowLongPtrA(window, 0, 0);
        self->hWnd = nullptr;
        if (self->bOwnedByWindow) delete self;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
