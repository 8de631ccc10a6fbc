#include "sysinfo/TopLevelWindowList.h"

BOOL CALLBACK TopLevelWindowList::AddWindow(HWND window, LPARAM list)
{
    TopLevelWindowRecord record = {};
    record.hWnd = window;
    GetWindowTextA(window, record.szTitle, 260);
    GetClassNameA(window, record.szClass, 260);
    DWORD processId = 0;
    record.dwThreadId = GetWindowThreadProcessId(window, &processId);
    record.dwProcessId = processId;
    record.dwStyle = static_cast<uint32_t>(GetWindowLongA(window, GWL_STYLE));
    record.dwExStyle = static_cast<uint32_t>(GetWindowLongA(window, GWL_EXSTYLE));
    reinterpret_cast<TopLevelWindowList*>(list)->windows.push_back(record);
    return TRUE;
}

bool TopLevelWindowList::Collect()
{
    return EnumWindows(AddWindow, reinterpret_cast<LPARAM>(this)) == TRUE;
}

namespace {
struct WindowSearch {
    uint32_t dwProcessId;
    bool bFound;
};
} // namespace

BOOL CALLBACK TopLevelWindowList::FindWindowOf(HWND window, LPARAM search)
{
    WindowSearch& state = *reinterpret_cast<WindowSearch*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != state.dwProcessId) return TRUE;
    state.bFound = true;
    return FALSE;
}

bool TopLevelWindowList::HasWindowOf(uint32_t processId)
{
    WindowSearch search = {processId, false};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.bFound;
}
