#include "controls/TreeViewEx.h"
#include "controls/Superclass.h"
#include "controls/ThisModule.h"

#include <commctrl.h>

namespace {
const char kClassName[] = "Orvo_TreeViewEx";
Superclass g_class(WC_TREEVIEWA, kClassName, ICC_TREEVIEW_CLASSES);
} // namespace

TreeViewEx::TreeViewEx() : hWnd(nullptr) {}

TreeViewEx::~TreeViewEx()
{
    if (hWnd && IsWindow(hWnd)) {
        SetWindowLongPtrA(hWnd, g_class.ObjectSlot(), 0);
        DestroyWindow(hWnd);
    }
}

bool TreeViewEx::Register()
{
    return g_class.Register(WindowProc);
}

void TreeViewEx::Unregister()
{
    g_class.Unregister();
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
            SetWindowLongPtrA(window, g_class.ObjectSlot(), reinterpret_cast<LONG_PTR>(self));
        }
        break;
    }
    case WM_CHAR:
        if (wParam == VK_TAB || wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;
        break;
    case WM_NCDESTROY: {
        TreeViewEx* self = reinterpret_cast<TreeViewEx*>(GetWindowLongPtrA(window, g_class.ObjectSlot()));
        if (self) {
            SetWindowLongPtrA(window, g_class.ObjectSlot(), 0);
            self->hWnd = nullptr;
        }
        break;
    }
    default:
        break;
    }
    return CallWindowProcA(g_class.BaseProc(), window, message, wParam, lParam);
}
