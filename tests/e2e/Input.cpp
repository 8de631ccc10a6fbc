#include "tests/e2e/Input.h"

#include "tests/e2e/E2eLog.h"
#include "tests/e2e/Wait.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
bool IsExtended(WORD vk)
{
    switch (vk) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE: case VK_APPS: case VK_RCONTROL: case VK_RMENU:
        return true;
    default:
        return false;
    }
}

struct KeyName {
    const char* name;
    WORD vk;
};

const KeyName kKeyNames[] = {
    {"enter", VK_RETURN}, {"return", VK_RETURN}, {"esc", VK_ESCAPE}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},
    {"space", VK_SPACE}, {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"del", VK_DELETE},
    {"insert", VK_INSERT}, {"home", VK_HOME}, {"end", VK_END}, {"pgup", VK_PRIOR}, {"pageup", VK_PRIOR},
    {"pgdn", VK_NEXT}, {"pagedown", VK_NEXT}, {"up", VK_UP}, {"down", VK_DOWN}, {"left", VK_LEFT},
    {"right", VK_RIGHT}, {"apps", VK_APPS}, {"shift", VK_SHIFT}, {"ctrl", VK_CONTROL}, {"control", VK_CONTROL},
    {"alt", VK_MENU},
};

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Virtual key of a single key name; 0 when unknown.
WORD KeyFromName(const std::string& name)
{
    const std::string lower = Lower(name);
    for (const KeyName& key : kKeyNames)
        if (lower == key.name) return key.vk;
    if (lower.size() >= 2 && lower[0] == 'f' && std::isdigit(static_cast<unsigned char>(lower[1]))) {
        const int number = std::atoi(lower.c_str() + 1);
        if (number >= 1 && number <= 24) return static_cast<WORD>(VK_F1 + number - 1);
    }
    if (name.size() == 1) {
        const SHORT scan = VkKeyScanA(name[0]);
        if (scan != -1) return static_cast<WORD>(LOBYTE(scan));
    }
    return 0;
}
} // namespace

bool Input::Activate(const Window& window)
{
    const Window top = window.TopLevel();
    if (!top) return false;
    if (top.IsMinimized()) ShowWindow(top.Handle(), SW_RESTORE);
    const DWORD self = GetCurrentThreadId();
    const DWORD target = top.ThreadId();
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    if (foreground && foreground != self) AttachThreadInput(self, foreground, TRUE);
    AttachThreadInput(self, target, TRUE);
    SetForegroundWindow(top.Handle());
    BringWindowToTop(top.Handle());
    AttachThreadInput(self, target, FALSE);
    if (foreground && foreground != self) AttachThreadInput(self, foreground, FALSE);
    return Wait::Until([&top] { return GetForegroundWindow() == top.Handle(); }, 3000);
}

Window Input::FocusOf(const Window& window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(window.ThreadId(), &info)) return Window();
    return Window(info.hwndFocus);
}

bool Input::Focus(const Window& control)
{
    if (!Activate(control)) E2eLog::Note("Input::Focus: " + control.TopLevel().Describe() + " is not the foreground");
    const DWORD self = GetCurrentThreadId();
    const DWORD target = control.ThreadId();
    AttachThreadInput(self, target, TRUE);
    SetFocus(control.Handle());
    AttachThreadInput(self, target, FALSE);
    return Wait::Until([&control] { return FocusOf(control) == control; }, 3000);
}

void Input::SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &input, sizeof(input));
}

void Input::KeyDown(WORD vk)
{
    SendKey(vk, false);
}

void Input::KeyUp(WORD vk)
{
    SendKey(vk, true);
}

void Input::Key(WORD vk, int modifiers)
{
    if (modifiers & Ctrl) KeyDown(VK_CONTROL);
    if (modifiers & Alt) KeyDown(VK_MENU);
    if (modifiers & Shift) KeyDown(VK_SHIFT);
    KeyDown(vk);
    KeyUp(vk);
    if (modifiers & Shift) KeyUp(VK_SHIFT);
    if (modifiers & Alt) KeyUp(VK_MENU);
    if (modifiers & Ctrl) KeyUp(VK_CONTROL);
}

bool Input::Keys(const std::string& chord)
{
    // "+" separates; a "+" right after a separator is the key itself ("Ctrl++").
    std::vector<std::string> parts;
    std::string current;
    for (char c : chord) {
        if (c == '+' && !current.empty()) {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    if (parts.empty()) return false;
    int modifiers = None;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string name = Lower(parts[i]);
        if (name == "ctrl" || name == "control") modifiers |= Ctrl;
        else if (name == "alt") modifiers |= Alt;
        else if (name == "shift") modifiers |= Shift;
        else return false;
    }
    const WORD vk = KeyFromName(parts.back());
    if (!vk) return false;
    Key(vk, modifiers);
    return true;
}

void Input::Type(const std::string& text)
{
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        if (scan == -1) continue;
        int modifiers = None;
        if (HIBYTE(scan) & 1) modifiers |= Shift;
        if (HIBYTE(scan) & 2) modifiers |= Ctrl;
        if (HIBYTE(scan) & 4) modifiers |= Alt;
        Key(LOBYTE(scan), modifiers);
    }
}

void Input::SendMouse(DWORD flags, POINT screenPoint)
{
    // Absolute coordinates in every event: a button event alone would use
    // wherever the server last saw the pointer, which lags behind SetCursorPos.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screenPoint.x, 65535, width > 1 ? width - 1 : 1);
    input.mi.dy = MulDiv(screenPoint.y, 65535, height > 1 ? height - 1 : 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void Input::SendButton(Button button, bool up, POINT screenPoint)
{
    DWORD flags = 0;
    switch (button) {
    case Left: flags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN; break;
    case Right: flags = up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN; break;
    case Middle: flags = up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN; break;
    }
    SendMouse(flags, screenPoint);
}

bool Input::MovePointer(POINT screenPoint)
{
    SendMouse(0, screenPoint);
    return Wait::Until(
        [&] {
            POINT now;
            return GetCursorPos(&now) && std::abs(now.x - screenPoint.x) <= 1 && std::abs(now.y - screenPoint.y) <= 1;
        },
        2000, 10);
}

bool Input::PointReaches(const Window& window, POINT screenPoint)
{
    const HWND hit = WindowFromPoint(screenPoint);
    return hit == window.Handle() || IsChild(window.Handle(), hit)
        || (hit && GetAncestor(hit, GA_ROOT) == window.TopLevel().Handle());
}

bool Input::MoveTo(const Window& window, POINT clientPoint)
{
    POINT screen = clientPoint;
    if (!ClientToScreen(window.Handle(), &screen)) return false;
    return MovePointer(screen);
}

namespace {

// Until the window's program waits for input with none queued: a pointer move
// it reads only after the button went down looks like the start of a drag to
// a tree view, which then selects nothing.
void WaitUntilInputIdle(const Window& window)
{
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, window.Pid());
    if (!process) return;
    WaitForInputIdle(process, 1000);
    CloseHandle(process);
}

} // namespace

bool Input::Click(const Window& window, POINT clientPoint, Button button, bool twice)
{
    if (!window) return false;
    Activate(window);
    POINT screen = clientPoint;
    ClientToScreen(window.Handle(), &screen);
    if (!PointReaches(window, screen)) {
        E2eLog::Note(Format("Input::Click: (%ld, %ld) of %s is covered by %s", clientPoint.x, clientPoint.y,
                            window.Describe().c_str(), Window(WindowFromPoint(screen)).Describe().c_str()));
        return false;
    }
    // A click soon after the previous one would make a double click of both.
    static DWORD lastClick = 0;
    const DWORD sinceLast = GetTickCount() - lastClick;
    const DWORD doubleClickTime = GetDoubleClickTime() + 50;
    if (lastClick && sinceLast < doubleClickTime) Wait::Pause(doubleClickTime - sinceLast);
    MovePointer(screen);
    WaitUntilInputIdle(window);
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        SendButton(button, false, screen);
        SendButton(button, true, screen);
    }
    lastClick = GetTickCount();
    return true;
}

bool Input::ClickCenter(const Window& window, Button button, bool twice)
{
    const RECT client = window.ClientRect();
    const POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    return Click(window, point, button, twice);
}

bool Input::Drag(const Window& window, POINT from, POINT to, Button button)
{
    if (!window) return false;
    Activate(window);
    POINT start = from, end = to;
    ClientToScreen(window.Handle(), &start);
    ClientToScreen(window.Handle(), &end);
    if (!PointReaches(window, start)) return false;
    MovePointer(start);
    SendButton(button, false, start);
    const int steps = 8;
    POINT point = start;
    for (int i = 1; i <= steps; ++i) {
        Wait::Pause(15);
        point.x = start.x + (end.x - start.x) * i / steps;
        point.y = start.y + (end.y - start.y) * i / steps;
        SendMouse(0, point);
    }
    MovePointer(end);
    SendButton(button, true, end);
    return true;
}
