#include "controls/DialogResizer.h"

void DialogResizer::Attach(HWND dialog)
{
    hDialog = dialog;
    RECT client, window;
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    szClient.cx = client.right;
    szClient.cy = client.bottom;
    szMinimum.cx = window.right - window.left;
    szMinimum.cy = window.bottom - window.top;
    items.clear();
}

void DialogResizer::Add(int controlId, unsigned anchors)
{
    HWND control = GetDlgItem(hDialog, controlId);
    if (!control) return;
    Item item = {control, {0, 0, 0, 0}, anchors};
    GetWindowRect(control, &item.rcInitial);
    MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&item.rcInitial), 2);
    items.push_back(item);
}

void DialogResizer::Layout()
{
    if (!hDialog || items.empty()) return;
    RECT client;
    GetClientRect(hDialog, &client);
    const int dx = client.right - szClient.cx;
    const int dy = client.bottom - szClient.cy;
    HDWP defer = BeginDeferWindowPos(static_cast<int>(items.size()));
    for (const Item& item : items) {
        RECT rect = item.rcInitial;
        if (item.nAnchors & MoveX) OffsetRect(&rect, dx, 0);
        if (item.nAnchors & MoveY) OffsetRect(&rect, 0, dy);
        if (item.nAnchors & SizeX) rect.right += dx;
        if (item.nAnchors & SizeY) rect.bottom += dy;
        if (defer)
            defer = DeferWindowPos(defer, item.hControl, nullptr, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (defer) EndDeferWindowPos(defer);
    InvalidateRect(hDialog, nullptr, TRUE);
}

void DialogResizer::LimitSize(MINMAXINFO* info) const
{
    if (!hDialog || !info) return;
    info->ptMinTrackSize.x = szMinimum.cx;
    info->ptMinTrackSize.y = szMinimum.cy;
}
