#include "controls/DragList.h"

bool DragList::Attach(HWND list)
{
    hList = list;
    return list && MakeDragList(list);
}

UINT DragList::Message()
{
    static const UINT message = RegisterWindowMessageA("commctrl_DragListMsg");
    return message;
}

bool DragList::OnMessage(HWND parent, const DRAGLISTINFO& info, LRESULT& result, int& from, int& to)
{
    result = 0;
    if (info.hWnd != hList) return false;
    switch (info.uNotification) {
    case DL_BEGINDRAG:
        nFrom = LBItemFromPt(hList, info.ptCursor, FALSE);
        result = nFrom >= 0 ? TRUE : FALSE;
        return false;
    case DL_DRAGGING: {
        const int target = LBItemFromPt(hList, info.ptCursor, TRUE);
        DrawInsert(parent, hList, target);
        result = target >= 0 ? DL_MOVECURSOR : DL_STOPCURSOR;
        return false;
    }
    case DL_DROPPED: {
        const int target = LBItemFromPt(hList, info.ptCursor, FALSE);
        DrawInsert(parent, hList, -1);
        const bool moved = nFrom >= 0 && target >= 0 && target != nFrom;
        from = nFrom;
        to = target;
        nFrom = -1;
        return moved;
    }
    case DL_CANCELDRAG:
        DrawInsert(parent, hList, -1);
        nFrom = -1;
        return false;
    default:
        return false;
    }
}
