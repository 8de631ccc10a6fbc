#include "app/mainframe/StatusDisplay.h"
#include "app/mainframe/FrameLayout.h"

#include <commctrl.h>

StatusDisplay::StatusDisplay() : hStatus(nullptr), hProgress(nullptr), nProgressDepth(0), nProgressPosition(0), dwLastPaint(0) {}

bool StatusDisplay::Create(HWND parent, bool visible)
{
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    hStatus = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                              WS_CHILD | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | SBARS_TOOLTIPS | (visible ? WS_VISIBLE : 0),
                              0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kStatusId)),
                              instance, nullptr);
    if (!hStatus) return false;
    hProgress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | PBS_SMOOTH, 4, 0, 196, 10, hStatus,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kProgressId)), instance, nullptr);
    return hProgress != nullptr;
}

bool StatusDisplay::IsVisible() const
{
    return hStatus && (GetWindowLongA(hStatus, GWL_STYLE) & WS_VISIBLE);
}

void StatusDisplay::Show(bool visible)
{
    if (hStatus) ShowWindow(hStatus, visible ? SW_SHOW : SW_HIDE);
}

int StatusDisplay::Height() const
{
    if (!IsVisible()) return 0;
    RECT rect;
    GetWindowRect(hStatus, &rect);
    return rect.bottom - rect.top;
}

void StatusDisplay::Layout(int cpuPartWidth)
{
    if (!hStatus) return;
    SendMessageA(hStatus, WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(hStatus, &client);
    int edges[3];
    FrameLayout::StatusParts(client.right - client.left, cpuPartWidth, edges);
    SendMessageA(hStatus, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}

RECT StatusDisplay::PartRect(int part) const
{
    RECT rect = {0, 0, 0, 0};
    if (hStatus) SendMessageA(hStatus, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void StatusDisplay::SetText(const std::string& text)
{
    if (!hStatus) return;
    SendMessageA(hStatus, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(hStatus, SB_SETTIPTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string StatusDisplay::Text() const
{
    if (!hStatus) return std::string();
    const LRESULT length = LOWORD(SendMessageA(hStatus, SB_GETTEXTLENGTHA, 0, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(hStatus, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

void StatusDisplay::OnProgress(unsigned phase, unsigned count)
{
    if (!hStatus || !hProgress) return;
    switch (phase) {
    case 0: {
        if (nProgressDepth++ > 0) break;
        RECT client;
        GetClientRect(hStatus, &client);
        const int middle = (client.bottom - client.top) / 2;
        MoveWindow(hProgress, 4, middle - 4, 196, 10, FALSE);
        SendMessageA(hProgress, PBM_SETRANGE32, 0, static_cast<LPARAM>(count));
        SendMessageA(hProgress, PBM_SETSTEP, 1, 0);
        SendMessageA(hProgress, PBM_SETPOS, 0, 0);
        nProgressPosition = 0;
        strSavedText = Text();
        char tip[1024] = {};
        SendMessageA(hStatus, SB_GETTIPTEXTA, MAKEWPARAM(0, sizeof(tip)), reinterpret_cast<LPARAM>(tip));
        strSavedTip = tip;
        SetText(std::string());
        ShowWindow(hProgress, SW_SHOW);
        UpdateWindow(hStatus);
        dwLastPaint = GetTickCount();
        break;
    }
    case 1:
        if (nProgressDepth > 0) {
            ++nProgressPosition;
            // Moving and painting the bar every step would cost more than the steps.
            const DWORD now = GetTickCount();
            if (now - dwLastPaint >= kPaintInterval) {
                SendMessageA(hProgress, PBM_SETPOS, nProgressPosition, 0);
                UpdateWindow(hProgress);
                dwLastPaint = now;
            }
        }
        break;
    default:
        if (nProgressDepth == 0 || --nProgressDepth > 0) break;
        ShowWindow(hProgress, SW_HIDE);
        SendMessageA(hStatus, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(strSavedText.c_str()));
        SendMessageA(hStatus, SB_SETTIPTEXTA, 0, reinterpret_cast<LPARAM>(strSavedTip.c_str()));
        break;
    }
}

void StatusDisplay::Destroy()
{
    if (hProgress && IsWindow(hProgress)) DestroyWindow(hProgress);
    if (hStatus && IsWindow(hStatus)) DestroyWindow(hStatus);
    hProgress = hStatus = nullptr;
    nProgressDepth = 0;
}
