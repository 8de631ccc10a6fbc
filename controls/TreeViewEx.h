#pragma once

#include <windows.h>

// Tree view superclass that swallows the characters Tab, Enter and Esc so that
// the system tree view does not beep on them (the keys still arrive as TVN_KEYDOWN).
class TreeViewEx {
public:
    TreeViewEx();
    ~TreeViewEx();
    TreeViewEx(const TreeViewEx&) = delete;
    TreeViewEx& operator=(const TreeViewEx&) = delete;

    static bool Register();
    static void Unregister();

    bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id);
    HWND GetHwnd() const { return hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hWnd;
};
