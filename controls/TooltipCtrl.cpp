#include "TooltipCtrl.h"

#include <commctrl.h>

TooltipCtrl::~TooltipCtrl()
{
    if (hWnd && IsWindow(hWnd)) DestroyWindow(hWnd);
}

bool TooltipCtrl::Create(HWND owner)
{
    if (hWnd) return true;
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    hOwner = owner;
    hWnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE)), nullptr);
    if (hWnd) SendMessageA(hWnd, TTM_SETMAXTIPWIDTH, 0, 300);
    return hWnd != nullptr;
}

void TooltipCtrl::AddTool(HWND control)
{
    if (!hWnd || !control) return;
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every common-controls version
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hOwner;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void TooltipCtrl::Activate(bool active)
{
    if (hWnd) SendMessageA(hWnd, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}
