#pragma once

#include <windows.h>
#include <commctrl.h>

// A list box whose entries the user drags to new places (MakeDragList): the
// page that owns it passes the drag-list message on and moves the entry.
class DragList {
public:
    DragList() : hList(nullptr), nFrom(-1) {}
    bool Attach(HWND list);
    HWND GetHwnd() const { return hList; }

    // The registered drag-list message.
    static UINT Message();
    // Handles the message for this list. `result` is the message's answer;
    // true with `from` and `to` when an entry was dropped on another place.
    bool OnMessage(HWND parent, const DRAGLISTINFO& info, LRESULT& result, int& from, int& to);

private:
    HWND hList;
    int nFrom;
};
