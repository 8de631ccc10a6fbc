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
