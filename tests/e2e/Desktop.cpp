#include "tests/e2e/Desktop.h"

#include "tests/e2e/Wait.h"

namespace {
struct Search {
    const WindowQuery* query;
    std::vector<Window> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    if (search->query->Matches(Window(window))) search->found.push_back(Window(window));
    return TRUE;
}
} // namespace

bool WindowQuery::Matches(const Window& window) const
{
    if (visibleOnly && !window.IsVisible()) return false;
    if (pid && window.Pid() != pid) return false;
    if (!className.empty() && lstrcmpiA(window.ClassName().c_str(), className.c_str()) != 0) return false;
    if (!title.empty()) {
        const std::string text = window.Caption();
        if (titlePrefix ? text.compare(0, title.size(), title) != 0 : text != title) return false;
    }
    return true;
}

std::vector<Window> Desktop::TopLevel(const WindowQuery& query)
{
    Search search = {&query, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Window Desktop::Find(const WindowQuery& query)
{
    std::vector<Window> found = TopLevel(query);
    return found.empty() ? Window() : found.front();
}

Window Desktop::WaitFor(const WindowQuery& query, DWORD timeoutMs)
{
    Window found;
    Wait::Until([&] { return static_cast<bool>(found = Find(query)); }, timeoutMs);
    return found;
}

std::vector<Window> Desktop::OfProcess(DWORD pid)
{
    WindowQuery query;
    query.pid = pid;
    return TopLevel(query);
}

Window Desktop::Foreground()
{
    return Window(GetForegroundWindow());
}

Window Desktop::Tray()
{
    return Window(FindWindowA("Shell_TrayWnd", nullptr));
}

Window Desktop::PopupMenu(DWORD pid)
{
    return Find(WindowQuery("#32768", "", pid));
}

SIZE Desktop::Size()
{
    SIZE size = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return size;
}
