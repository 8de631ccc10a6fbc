#pragma once

#include <windows.h>
#include <cstdint>
#include <vector>

struct TopLevelWindowRecord {
    HWND hWnd;
    char szTitle[260];
    char szClass[260];
    uint32_t dwProcessId;
    uint32_t dwThreadId;
    uint32_t dwStyle;
    uint32_t dwExStyle;
};

// Every top-level window of the desktop with its owning process, top of the
// z-order first.
class TopLevelWindowList {
public:
    bool Collect();
    // Whether the process owns a top-level window; stops at the first one.
    static bool HasWindowOf(uint32_t processId);
    const std::vector<TopLevelWindowRecord>& Windows() const { return windows; }

private:
    static BOOL CALLBACK AddWindow(HWND window, LPARAM list);
    static BOOL CALLBACK FindWindowOf(HWND window, LPARAM search);
    std::vector<TopLevelWindowRecord> windows;
};
