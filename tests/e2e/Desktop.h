#pragma once

#include "tests/e2e/Window.h"

#include <string>
#include <vector>

// Which top-level windows to look for. Empty strings and pid 0 match anything.
struct WindowQuery {
    std::string className;      // exact, case-insensitive
    std::string title;          // the caption, exact unless titlePrefix
    DWORD pid = 0;
    bool titlePrefix = false;
    bool visibleOnly = true;

    WindowQuery() = default;
    WindowQuery(std::string cls, std::string text = std::string(), DWORD process = 0)
        : className(std::move(cls)), title(std::move(text)), pid(process) {}
    bool Matches(const Window& window) const;
};

// The top-level windows of the Wine desktop the run happens in.
class Desktop {
public:
    static std::vector<Window> TopLevel(const WindowQuery& query);
    static Window Find(const WindowQuery& query);
    static Window WaitFor(const WindowQuery& query, DWORD timeoutMs);
    // All visible top-level windows of a process.
    static std::vector<Window> OfProcess(DWORD pid);
    static Window Foreground();
    static Window Tray();      // Shell_TrayWnd, the taskbar of the virtual desktop
    // An open pop-up menu (class "#32768") of the process (0: of any). Its
    // items cannot be read from outside (Wine): press keys to choose, Esc to close.
    static Window PopupMenu(DWORD pid = 0);
    static SIZE Size();        // 1024 x 768 under run-e2e.sh
};
