#include "tests/e2e/Window.h"

#include "tests/e2e/E2eLog.h"
#include "tests/e2e/Wait.h"

#include <cstring>

std::string Window::Text() const
{
    if (!hWnd) return std::string();
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeout, &length)) return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                             kSendTimeout, &copied))
        return std::string();
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string Window::Caption() const
{
    char text[1024] = {};
    if (hWnd) GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

bool Window::SetText(const std::string& text) const
{
    DWORD_PTR result = 0;
    return hWnd && SendMessageTimeoutA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                                       kSendTimeout, &result) && result;
}

std::string Window::ClassName() const
{
    char name[256] = {};
    if (hWnd) GetClassNameA(hWnd, name, sizeof(name));
    return name;
}

int Window::Id() const
{
    return hWnd ? GetDlgCtrlID(hWnd) : 0;
}

DWORD Window::Pid() const
{
    DWORD pid = 0;
    if (hWnd) GetWindowThreadProcessId(hWnd, &pid);
    return pid;
}

DWORD Window::ThreadId() const
{
    return hWnd ? GetWindowThreadProcessId(hWnd, nullptr) : 0;
}

DWORD Window::Style() const
{
    return hWnd ? static_cast<DWORD>(GetWindowLongA(hWnd, GWL_STYLE)) : 0;
}

DWORD Window::ExStyle() const
{
    return hWnd ? static_cast<DWORD>(GetWindowLongA(hWnd, GWL_EXSTYLE)) : 0;
}

bool Window::IsVisible() const
{
    return hWnd && IsWindowVisible(hWnd);
}

bool Window::IsEnabled() const
{
    return hWnd && IsWindowEnabled(hWnd);
}

bool Window::IsMinimized() const
{
    return hWnd && IsIconic(hWnd);
}

bool Window::IsTopmost() const
{
    return (ExStyle() & WS_EX_TOPMOST) != 0;
}

RECT Window::Rect() const
{
    RECT rect = {};
    if (hWnd) GetWindowRect(hWnd, &rect);
    return rect;
}

RECT Window::ClientRect() const
{
    RECT rect = {};
    if (hWnd) GetClientRect(hWnd, &rect);
    return rect;
}

RECT Window::ClientRectOnScreen() const
{
    RECT rect = ClientRect();
    if (hWnd) MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

WINDOWPLACEMENT Window::Placement() const
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (hWnd) GetWindowPlacement(hWnd, &placement);
    return placement;
}

int Window::CheckState() const
{
    return static_cast<int>(Send(BM_GETCHECK));
}

Window Window::Parent() const
{
    if (!hWnd) return Window();
    const HWND parent = GetAncestor(hWnd, GA_PARENT);
    return parent == GetDesktopWindow() ? Window() : Window(parent);
}

Window Window::Owner() const
{
    return hWnd ? Window(GetWindow(hWnd, GW_OWNER)) : Window();
}

Window Window::TopLevel() const
{
    return hWnd ? Window(GetAncestor(hWnd, GA_ROOT)) : Window();
}

Window Window::Child(int id) const
{
    return hWnd ? Window(GetDlgItem(hWnd, id)) : Window();
}

std::vector<Window> Window::Children(bool recursive) const
{
    std::vector<Window> children;
    if (!hWnd) return children;
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(Window(child));
        if (recursive) {
            std::vector<Window> below = Window(child).Children(true);
            children.insert(children.end(), below.begin(), below.end());
        }
    }
    return children;
}

Window Window::Find(const std::string& className, int id, const std::string& text) const
{
    for (const Window& child : Children(true)) {
        if (!className.empty() && lstrcmpiA(child.ClassName().c_str(), className.c_str()) != 0) continue;
        if (id != -1 && child.Id() != id) continue;
        if (!text.empty() && child.Text() != text) continue;
        return child;
    }
    return Window();
}

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam, bool* answered) const
{
    DWORD_PTR result = 0;
    const bool ok = hWnd && SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_NORMAL, kSendTimeout, &result);
    if (answered) *answered = ok;
    return ok ? static_cast<LRESULT>(result) : 0;
}

bool Window::Post(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return hWnd && PostMessageA(hWnd, message, wParam, lParam);
}

bool Window::PostCommand(int commandId, int notifyCode) const
{
    return Post(WM_COMMAND, MAKEWPARAM(commandId, notifyCode), 0);
}

LRESULT Window::SendCommand(int commandId, int notifyCode) const
{
    return Send(WM_COMMAND, MAKEWPARAM(commandId, notifyCode), 0);
}

bool Window::Click() const
{
    return Post(BM_CLICK);
}

bool Window::Close() const
{
    return Post(WM_CLOSE);
}

bool Window::WaitGone(DWORD timeoutMs) const
{
    const HWND handle = hWnd;
    return Wait::Until([handle] { return !IsWindow(handle); }, timeoutMs);
}

bool Window::WaitVisible(DWORD timeoutMs) const
{
    return Wait::Until([this] { return IsVisible(); }, timeoutMs);
}

bool Window::WaitText(const std::string& text, DWORD timeoutMs) const
{
    return Wait::Until([this, &text] { return Text() == text; }, timeoutMs);
}

std::string Window::Describe() const
{
    if (!hWnd) return "(no window)";
    std::string text = Format("0x%08lX %s \"%s\"", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hWnd)),
                              ClassName().c_str(), Text().c_str());
    if (Style() & WS_CHILD) text += Format(" id=%d", Id());
    return text;
}
