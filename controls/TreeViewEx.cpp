#include "TreeViewEx.h"
#include "ThisModule.h"

#include <commctrl.h>

namespace {
const char kClassName[] = "Orvo_TreeViewEx";
WNDPROC g_baseProc = nullptr;
int g_baseExtra = 0;
bool g_registered = false;
} // namespace

TreeViewEx::TreeViewEx() : hWnd(nullptr) {}

TreeViewEx::~TreeViewEx()
{
    if (hWnd && IsWindow(hWnd)) {
        SetWindowLongA(hWnd, g_baseExtra, 0);
        DestroyWindow(hWnd);
    }
}

bool TreeViewEx::Register()
{
    if (g_registered) return true;
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSA base = {};
    if (!GetClassInfoA(nullptr, WC_TREEVIEWA, &base)) return false;
    g_baseProc = base.lpfnWndProc;
    g_baseExtra = base.cbWndExtra;
    WNDCLASSA windowClass = base;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ThisModule();
    windowClass.cbWndExtra = base.cbWndExtra + 4;
    windowClass.lpszClassName = kClassName;
    windowClass.style &= ~CS_GLOBALCLASS;
    g_registered = RegisterClassA(&windowClass) != 0;
    return g_registered;
}

void TreeViewEx::Unregister()
{
    if (!g_registered) return;
    UnregisterClassA(kClassName, ThisModule());
    g_registered = false;
}

bool TreeViewEx::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    if (hWnd || !Register()) return false;
    return CreateWindowExA(exStyle, kClassName, "", style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           ThisModule(), this) != nullptr;
}

LRESULT CALLBACK TreeViewEx::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        TreeViewEx* self = static_cast<TreeViewEx*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->hWnd = window;
            SetWindowLongA(window, g_baseExtra, static_cast<LONG>(reinterpret_cast<LONG_PTR>(self)));
        }
        break;
    }
    case WM_CHAR:
        if (wParam == VK_TAB || wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;
        break;
    case WM_NCDESTROY: {
        TreeViewEx* self = reinterpret_cast<TreeViewEx*>(static_cast<LONG_PTR>(GetWindowLongA(window, g_baseExtra)));
        if (self) {
            SetWindowLongA(window, g_baseExtra, 0);
            self->hWnd = nullptr;
        }
        break;
    }
    default:
        break;
    }
    return CallWindowProcA(g_baseProc, window, message, wParam, lParam);
}
