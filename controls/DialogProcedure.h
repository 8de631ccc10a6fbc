#pragma once

#include "controls/MeasureReplay.h"

#include <windows.h>

// The dialog procedure of a dialog object: the creation parameter is the
// object. It is kept in DWLP_USER, gets its window at WM_INITDIALOG, and
// every message goes to its Dispatch (FALSE before WM_INITDIALOG); after
// WM_NCDESTROY the window and the object part. The row heights that the
// template's owner-drawn lists asked for before WM_INITDIALOG are asked of
// Dispatch first thing at WM_INITDIALOG. A class that keeps hWnd and
// Dispatch private names this function a friend.
template <class Dialog>
INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->hWnd = window;
        for (MeasureReplay::Request& request : MeasureReplay::Requests(window))
            if (self->Dispatch(WM_MEASUREITEM, request.measure.CtlID, reinterpret_cast<LPARAM>(&request.measure)))
                MeasureReplay::Apply(request);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self) return FALSE;
    const INT_PTR result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->hWnd = nullptr;
    }
    return result;
}
