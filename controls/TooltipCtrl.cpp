#include "controls/TooltipCtrl.h"

#include <commctrl.h>

TooltipCtrl::TooltipCtrl() : hWnd(nullptr), hOwner(nullptr) {}

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
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hWnd) SendMessageA(hWnd, TTM_SETMAXTIPWIDTH, 0, 300);
    return hWnd != nullptr;
}

bool TooltipCtrl::Add(HWND control, char* text)
{
    if (!hWnd || !control) return false;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the size every version of the common controls knows
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hOwner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    return SendMessageA(hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

bool TooltipCtrl::AddTool(HWND control, const std::string& text)
{
    return Add(control, const_cast<char*>(text.c_str()));
}

bool TooltipCtrl::AddTool(HWND control)
{
    return Add(control, LPSTR_TEXTCALLBACKA);
}

void TooltipCtrl::Activate(bool active)
{
    if (hWnd) SendMessageA(hWnd, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}
