#include "app/mainframe/DragToKill.h"

#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameIds.h"
#include "app/mainframe/FrameWindows.h"
#include "views/ViewImages.h"

DragToKill::DragToKill(FrameHost& host, FrameWindows& windows, ViewImages& images)
    : host(host), windows(windows), images(images), bDragging(false), hDropTarget(nullptr)
{
}

void DragToKill::Begin(const std::vector<ProcessItem>& processes, int image)
{
    if (processes.empty()) return;
    bDragging = true;
    draggedProcesses = processes;
    hDropTarget = nullptr;
    SetCapture(host.Window());
    POINT screen;
    GetCursorPos(&screen);
    RECT window;
    GetWindowRect(host.Window(), &window);
    ImageList_BeginDrag(images.Views(), image >= 0 ? image : ViewImages::kProcess, 8, 8);
    ImageList_DragEnter(host.Window(), screen.x - window.left, screen.y - window.top);
    UpdateDropTarget(screen);
}

void DragToKill::Move(int x, int y)
{
    POINT screen = {x, y};
    ClientToScreen(host.Window(), &screen);
    RECT window;
    GetWindowRect(host.Window(), &window);
    ImageList_DragMove(screen.x - window.left, screen.y - window.top);
    UpdateDropTarget(screen);
}

void DragToKill::UpdateDropTarget(POINT screen)
{
    HWND tree = windows.Tree();
    HTREEITEM target = nullptr;
    RECT treeRect;
    GetWindowRect(tree, &treeRect);
    if (PtInRect(&treeRect, screen)) {
        TVHITTESTINFO hit = {};
        hit.pt = screen;
        ScreenToClient(tree, &hit.pt);
        target = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        SetTimer(host.Window(), FrameIds::kDragScrollTimer, 50, nullptr);
    }
    if (target != hDropTarget) {
        ImageList_DragShowNolock(FALSE);
        SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(target));
        ImageList_DragShowNolock(TRUE);
        hDropTarget = target;
    }
    SetCursor(LoadCursorA(nullptr, target == windows.KillItem() ? IDC_ARROW : IDC_NO));
}

bool DragToKill::End(bool drop, std::vector<ProcessItem>& dropped)
{
    if (!bDragging) return false;
    bDragging = false;
    KillTimer(host.Window(), FrameIds::kDragScrollTimer);
    ImageList_DragLeave(host.Window());
    ImageList_EndDrag();
    ReleaseCapture();
    const HTREEITEM target = hDropTarget;
    hDropTarget = nullptr;
    if (windows.Tree()) SendMessageA(windows.Tree(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    dropped.clear();
    dropped.swap(draggedProcesses);
    return drop && target && target == windows.KillItem();
}

void DragToKill::OnScrollTimer()
{
    HWND tree = windows.Tree();
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(tree, &point);
    RECT client;
    GetClientRect(tree, &client);
    const int itemHeight = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    const int before = GetScrollPos(tree, SB_VERT);
    ImageList_DragShowNolock(FALSE);
    if (bDragging && point.x >= 0 && point.x < client.right) {
        if (point.y < 2 * itemHeight)
            SendMessageA(tree, WM_VSCROLL, SB_LINEUP, 0);
        else if (point.y > client.bottom - 2 * itemHeight)
            SendMessageA(tree, WM_VSCROLL, SB_LINEDOWN, 0);
    }
    ImageList_DragShowNolock(TRUE);
    if (GetScrollPos(tree, SB_VERT) == before) KillTimer(host.Window(), FrameIds::kDragScrollTimer);
}
