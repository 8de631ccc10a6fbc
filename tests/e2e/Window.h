#pragma once

#include <windows.h>
#include <string>
#include <vector>

// A window of any process, by handle. Cheap to copy; reading a window that
// is gone gives empty answers. Messages sent to another process time out
// after kSendTimeout ms (a hung target must not hang the test run).
class Window {
public:
    static const DWORD kSendTimeout = 10000;

    Window(HWND handle = nullptr) : hWnd(handle) {}
    HWND Handle() const { return hWnd; }
    explicit operator bool() const { return hWnd != nullptr && IsWindow(hWnd); }
    bool operator==(const Window& other) const { return hWnd == other.hWnd; }
    bool operator!=(const Window& other) const { return hWnd != other.hWnd; }

    // Identity and state.
    std::string Text() const;           // WM_GETTEXT (marshalled across processes)
    // The text the system keeps for the window (GetWindowText: no message to
    // another process, so it never waits for a hung one); captions.
    std::string Caption() const;
    bool SetText(const std::string& text) const;
    std::string ClassName() const;
    int Id() const;
    DWORD Pid() const;
    DWORD ThreadId() const;
    DWORD Style() const;
    DWORD ExStyle() const;
    bool IsVisible() const;             // the window and all its parents
    bool IsEnabled() const;
    bool IsMinimized() const;
    bool IsTopmost() const;
    RECT Rect() const;                  // screen coordinates
    RECT ClientRect() const;            // client coordinates (left = top = 0)
    RECT ClientRectOnScreen() const;
    WINDOWPLACEMENT Placement() const;  // GetWindowPlacement (works across processes)
    int CheckState() const;             // BM_GETCHECK: BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE

    // Relatives.
    Window Parent() const;
    Window Owner() const;
    Window TopLevel() const;            // the root of the parent chain
    Window Child(int id) const;         // direct child by control id
    // First descendant (depth first) matching the class (exact, case-insensitive;
    // empty: any), the id (-1: any) and the text (empty: any).
    Window Find(const std::string& className, int id = -1, const std::string& text = std::string()) const;
    std::vector<Window> Children(bool recursive = false) const;

    // Messages. Send returns the result, 0 when the target did not answer in time.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, bool* answered = nullptr) const;
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostCommand(int commandId, int notifyCode = 0) const;   // WM_COMMAND, no control handle
    LRESULT SendCommand(int commandId, int notifyCode = 0) const;
    bool Click() const;                 // BM_CLICK, posted
    bool Close() const;                 // WM_CLOSE, posted
    bool WaitGone(DWORD timeoutMs) const;
    bool WaitVisible(DWORD timeoutMs) const;
    bool WaitText(const std::string& text, DWORD timeoutMs) const;

    std::string Describe() const;       // "0x00012345 Class \"text\" id=300"

private:
    HWND hWnd;
};
