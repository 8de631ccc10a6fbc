#pragma once

#include <windows.h>

#include <vector>

// A visible top-level window at the screen's top left that holds controls
// under test and records the WM_COMMAND and WM_NOTIFY messages it receives.
class ControlHost {
public:
    struct Command {
        WORD wId;
        WORD wCode;
        HWND hControl;
    };
    struct Notify {
        UINT_PTR nId;
        UINT nCode;
        HWND hControl;
        WORD wKey;   // TVN_KEYDOWN only
    };

    ControlHost(int width, int height);
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    HWND GetHwnd() const { return hWnd; }
    // Dispatches what is queued, then paints the window and its children.
    void Pump();
    // A pixel of a child as it is on the screen, in the child's client coordinates.
    static COLORREF Pixel(HWND window, int x, int y);
    // Client pixels of a window, one COLORREF per pixel, row by row.
    static std::vector<COLORREF> Capture(HWND window, int& width, int& height);
    // A 16 x 16 icon of one colour, opaque everywhere (destroy with DestroyIcon).
    static HICON MakeSolidIcon(COLORREF color);

    std::vector<Command> commands;
    std::vector<Notify> notifications;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hWnd;
};
