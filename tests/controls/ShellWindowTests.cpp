// The CPU graph's pixels, the tray icon with a stand-in shell, and
// full-screen mode on a plain window.
#include <doctest/doctest.h>

#include "ControlHost.h"
#include "app/ClCPUGraph.h"
#include "app/FullScreenMode.h"
#include "app/TrayIcon.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

struct Graph {
    Graph(ControlHost& host, int width, int height)
    {
        RECT rect = {0, 0, width, height};
        ok = graph.Create(host.GetHwnd(), WS_CHILD | WS_VISIBLE, 307, &rect);
        graph.SetBackgroundColor(kWhite);
        graph.SetGraphColor(kRed);
        graph.SetTextColor(kBlue);
    }
    void Send(unsigned value, int times = 1)
    {
        for (int i = 0; i < times; ++i) SendMessageA(graph.GetHwnd(), ClCPUGraph::kSampleMessage, 0, value);
    }
    std::vector<COLORREF> Pixels(int& width, int& height) const
    {
        return ControlHost::Capture(graph.GetHwnd(), width, height);
    }
    ClCPUGraph graph;
    bool ok;
};

// Where a colour appears: its rows and its leftmost and rightmost columns.
struct Extent {
    int count = 0, left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

Extent Find(const std::vector<COLORREF>& pixels, int width, COLORREF color)
{
    Extent extent;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != color) continue;
        const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
        ++extent.count;
        extent.left = std::min(extent.left, x);
        extent.right = std::max(extent.right, x);
        extent.top = std::min(extent.top, y);
        extent.bottom = std::max(extent.bottom, y);
    }
    return extent;
}

// Stand-in for Shell_NotifyIconA: records the calls, answers as told.
struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
};
std::vector<ShellCall> g_shellCalls;
std::vector<BOOL> g_addResults; // results of the next NIM_ADD calls, then TRUE

BOOL WINAPI FakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAA data)
{
    g_shellCalls.push_back(ShellCall{message, *data});
    if (message != NIM_ADD || g_addResults.empty()) return TRUE;
    BOOL result = g_addResults.front();
    g_addResults.erase(g_addResults.begin());
    return result;
}

// A top-level window that sends its tray messages to a TrayIcon the way the
// main window does.
class TrayWindow {
public:
    explicit TrayWindow(TrayIcon& tray) : tray(tray), callback(TrayIcon::CallbackMessage())
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = "TarnwickTestTrayWindow";
        RegisterClassA(&windowClass);
        hWnd = CreateWindowExA(0, windowClass.lpszClassName, "tray", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                               200, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    ~TrayWindow() { DestroyWindow(hWnd); }
    void Pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    HWND hWnd;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        TrayWindow* self = reinterpret_cast<TrayWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self) {
            if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE && self->tray.OnMinimize()) return 0;
            if (message == self->callback) {
                self->tray.OnNotify(lParam);
                return 0;
            }
            if (message == TrayIcon::TaskbarCreatedMessage()) {
                self->tray.OnTaskbarCreated();
                return 0;
            }
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    TrayIcon& tray;
    UINT callback;
};

// A frame with a menu and the children that full-screen mode hides and shows.
class FakeFrame {
public:
    FakeFrame()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = "TarnwickTestFullScreenFrame";
        RegisterClassA(&windowClass);
        HMENU menu = CreateMenu();
        AppendMenuA(menu, MF_STRING, 40053, "&View");
        hWnd = CreateWindowExA(WS_EX_APPWINDOW, windowClass.lpszClassName, "frame",
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE, 40, 30, 500,
                               350, nullptr, menu, GetModuleHandleA(nullptr), this);
        windows.hwndFrame = hWnd;
        windows.hwndRebar = Child(300);
        windows.hwndStatus = Child(305);
        windows.hwndTree = Child(302);
        windows.hwndList = Child(304);
    }
    ~FakeFrame() { DestroyWindow(hWnd); }
    HWND Child(int id)
    {
        return CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 50, 20, hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    }
    void Pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    HWND hWnd;
    FullScreenMode::Windows windows;
    FullScreenMode mode;
    std::vector<WPARAM> commands;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        FakeFrame* self = reinterpret_cast<FakeFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_COMMAND && lParam == 0) self->commands.push_back(wParam);
        if (self && message == WM_GETMINMAXINFO && self->mode.OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)))
            return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

bool SamePlacement(const WINDOWPLACEMENT& a, const WINDOWPLACEMENT& b)
{
    return a.showCmd == b.showCmd && EqualRect(&a.rcNormalPosition, &b.rcNormalPosition);
}

} // namespace

TEST_SUITE("controls")
{
    TEST_CASE("CPU graph: one column per sample, trimmed to the width, text at the right end")
    {
        ControlHost host(320, 200);
        Graph g(host, 300, 20);
        REQUIRE(g.ok);
        const int reserved = g.graph.GetReservedTextWidth();
        CHECK(reserved > 20);
        const int columns = 300 - 2 - reserved;

        g.Send(50, 300);
        host.Pump();
        CHECK(g.graph.GetHistorySize() == static_cast<size_t>(columns));
        int width = 0, height = 0;
        std::vector<COLORREF> pixels = g.Pixels(width, height);
        REQUIRE(width == 300);
        REQUIRE(height == 20);
        Extent red = Find(pixels, width, kRed);
        CHECK(red.count == columns);
        CHECK(red.left == 0);
        CHECK(red.right == columns - 1);
        CHECK(red.top == 10);
        CHECK(red.bottom == 10);
        Extent fifty = Find(pixels, width, kBlue);
        CHECK(fifty.count > 0);
        CHECK(fifty.left > columns + 2);
        CHECK(Find(pixels, width, RGB(0, 0, 0)).count == 0);

        // Narrower: the next sample trims the history at once; 250 counts as 100 (top row).
        MoveWindow(g.graph.GetHwnd(), 0, 0, 200, 20, TRUE);
        g.Send(250);
        host.Pump();
        const int narrow = 200 - 2 - reserved;
        CHECK(g.graph.GetHistorySize() == static_cast<size_t>(narrow));
        pixels = g.Pixels(width, height);
        red = Find(pixels, width, kRed);
        CHECK(red.left == 0);
        CHECK(red.right == narrow - 1);
        CHECK(pixels[static_cast<size_t>(narrow - 1)] == kRed);
        for (int x = 0; x < narrow - 2; ++x) {
            CAPTURE(x);
            CHECK(pixels[static_cast<size_t>(10 * width + x)] == kRed);
        }
        const Extent hundred = Find(pixels, width, kBlue);

        // The text keeps its right edge and is narrower for a smaller value.
        g.Send(7);
        host.Pump();
        pixels = g.Pixels(width, height);
        const Extent seven = Find(pixels, width, kBlue);
        CHECK(seven.right == hundred.right);
        CHECK(seven.left > hundred.left);
        CHECK(hundred.left > narrow + 2);
    }

    TEST_CASE("CPU graph: zeros stay below the last row, heights in whole pixels, default background")
    {
        ControlHost host(320, 200);
        Graph zeros(host, 300, 20);
        REQUIRE(zeros.ok);
        zeros.Send(0, 40);
        host.Pump();
        int width = 0, height = 0;
        std::vector<COLORREF> pixels = zeros.Pixels(width, height);
        CHECK(Find(pixels, width, kRed).count == 0);

        // The default background is the host's own, never the value as a colour.
        zeros.graph.SetBackgroundColor(ClCPUGraph::kDefaultBackground);
        host.Pump();
        pixels = zeros.Pixels(width, height);
        CHECK(Find(pixels, width, RGB(0, 0, 0)).count == 0);
        CHECK(pixels[5 * width + 5] == ControlHost::Pixel(host.GetHwnd(), 310, 100));
        CHECK(pixels[5 * width + 5] == GetSysColor(COLOR_BTNFACE));
        DestroyWindow(zeros.graph.GetHwnd());

        // 50 of 150 pixels is row 75; 100 of 22 is the top row.
        Graph tall(host, 300, 150);
        REQUIRE(tall.ok);
        tall.Send(50);
        tall.Send(100);
        host.Pump();
        pixels = tall.Pixels(width, height);
        const int columns = 300 - 2 - tall.graph.GetReservedTextWidth();
        CHECK(pixels[75 * width + columns - 2] == kRed);
        CHECK(pixels[0 * width + columns - 1] == kRed);
        CHECK(pixels[76 * width + columns - 2] != kRed);
        CHECK(Find(pixels, width, kRed).left == columns - 2);
        DestroyWindow(tall.graph.GetHwnd());

        Graph small(host, 300, 22);
        REQUIRE(small.ok);
        small.Send(100);
        host.Pump();
        pixels = small.Pixels(width, height);
        const Extent red = Find(pixels, width, kRed);
        CHECK(red.count == 1);
        CHECK(red.top == 0);

        // Erasing is left to painting: a DC handed in stays as it is.
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT all = {0, 0, 8, 8};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(memory, &all, magenta);
        CHECK(SendMessageA(small.graph.GetHwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0) != 0);
        CHECK(GetPixel(memory, 3, 3) == RGB(255, 0, 255));
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteObject(magenta);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    TEST_CASE("tray icon: the 88-byte record; no hiding without an icon; re-added after the shell restarts")
    {
        g_shellCalls.clear();
        g_addResults = {FALSE};
        {
            TrayIcon tray(FakeShellNotifyIcon);
            TrayWindow window(tray);
            REQUIRE(window.hWnd != nullptr);
            const std::string longTip(80, 't');
            tray.Prepare(window.hWnd, TrayIcon::CallbackMessage(), 101, LoadIcon(nullptr, IDI_APPLICATION),
                         longTip.c_str());
            const NOTIFYICONDATAA& record = tray.GetRecord();
            CHECK(record.cbSize == 88);
            CHECK(record.uID == 101);
            CHECK(record.uFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP | 0x10));
            CHECK(std::string(record.szTip) == longTip.substr(0, 63));
            tray.Remove();
            CHECK(g_shellCalls.empty());

            // The shell refuses the icon: minimising stays minimising.
            tray.Add();
            tray.Add();
            REQUIRE(g_shellCalls.size() == 1);
            CHECK(g_shellCalls[0].message == NIM_ADD);
            CHECK(g_shellCalls[0].data.hWnd == window.hWnd);
            CHECK(tray.IsAdded());
            CHECK_FALSE(tray.IsInStatusArea());
            SendMessageA(window.hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            window.Pump();
            CHECK(IsIconic(window.hWnd));
            CHECK(IsWindowVisible(window.hWnd));
            ShowWindow(window.hWnd, SW_RESTORE);

            // The taskbar comes back: the icon is added anew and minimising hides.
            SendMessageA(window.hWnd, TrayIcon::TaskbarCreatedMessage(), 0, 0);
            REQUIRE(g_shellCalls.size() == 3);
            CHECK(g_shellCalls[1].message == NIM_DELETE);
            CHECK(g_shellCalls[2].message == NIM_ADD);
            CHECK(tray.IsInStatusArea());
            SendMessageA(window.hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            window.Pump();
            CHECK_FALSE(IsWindowVisible(window.hWnd));
            CHECK_FALSE(IsIconic(window.hWnd));

            // Button-up events toggle; moves and button-down do nothing.
            const UINT callback = TrayIcon::CallbackMessage();
            struct Step {
                UINT event;
                bool visibleAfter;
            };
            for (const Step& step : {Step{WM_MOUSEMOVE, false}, Step{WM_LBUTTONDOWN, false}, Step{WM_LBUTTONUP, true},
                                     Step{WM_MOUSEMOVE, true}, Step{WM_RBUTTONUP, false}, Step{WM_MBUTTONUP, true},
                                     Step{WM_LBUTTONUP, false}}) {
                CAPTURE(step.event);
                PostMessageA(window.hWnd, callback, 101, step.event);
                window.Pump();
                CHECK(IsWindowVisible(window.hWnd) == step.visibleAfter);
            }
            g_shellCalls.clear();
        }
        // Gone with its owner object.
        REQUIRE(g_shellCalls.size() == 1);
        CHECK(g_shellCalls[0].message == NIM_DELETE);

        TrayIcon plain(FakeShellNotifyIcon);
        plain.Prepare(nullptr, 1, 101, nullptr, nullptr);
        CHECK(plain.GetRecord().uFlags == (NIF_MESSAGE | NIF_ICON));
    }

    TEST_CASE("full-screen mode: client covers the desktop, bars hidden, floating window; leaving restores")
    {
        FakeFrame frame;
        REQUIRE(frame.mode.Create(GetModuleHandleA(nullptr), frame.hWnd, 40053));
        HWND floating = frame.mode.GetDialog();
        REQUIRE(floating != nullptr);
        char title[32] = {};
        GetWindowTextA(floating, title, sizeof(title));
        CHECK(std::string(title) == "Full Screen");
        char caption[32] = {};
        GetDlgItemTextA(floating, IDCANCEL, caption, sizeof(caption));
        CHECK(std::string(caption) == "&Close");
        CHECK(GetWindow(floating, GW_OWNER) == frame.hWnd);
        CHECK_FALSE(IsWindowVisible(floating));

        WINDOWPLACEMENT before = {};
        before.length = sizeof(before);
        GetWindowPlacement(frame.hWnd, &before);
        SetFocus(frame.windows.hwndList);

        frame.mode.Enter(frame.windows, frame.windows.hwndList);
        frame.Pump();
        CHECK(frame.mode.IsOn());
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        POINT origin = {0, 0};
        ClientToScreen(frame.hWnd, &origin);
        RECT client;
        GetClientRect(frame.hWnd, &client);
        CHECK(origin.x == desktop.left);
        CHECK(origin.y == desktop.top);
        CHECK(client.right == desktop.right - desktop.left);
        CHECK(client.bottom == desktop.bottom - desktop.top);
        CHECK_FALSE(IsWindowVisible(frame.windows.hwndRebar));
        CHECK_FALSE(IsWindowVisible(frame.windows.hwndStatus));
        CHECK(IsWindowVisible(frame.windows.hwndTree));
        CHECK(GetFocus() == frame.windows.hwndList);
        RECT floatRect;
        GetWindowRect(floating, &floatRect);
        CHECK(IsWindowVisible(floating));
        CHECK(floatRect.left == desktop.left + 10);
        CHECK(floatRect.bottom == desktop.bottom - 10);

        MINMAXINFO limits = {};
        SendMessageA(frame.hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        const RECT& full = frame.mode.GetFrameRect();
        CHECK(limits.ptMaxTrackSize.x == full.right - full.left);
        CHECK(limits.ptMaxTrackSize.y == full.bottom - full.top);
        CHECK(full.right - full.left > desktop.right - desktop.left);

        HMENU systemMenu = GetSystemMenu(frame.hWnd, FALSE);
        REQUIRE(systemMenu != nullptr);
        EnableMenuItem(systemMenu, SC_MOVE, MF_BYCOMMAND | MF_ENABLED);
        frame.mode.OnInitMenu(systemMenu);
        for (UINT command : {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_RESTORE}) {
            CAPTURE(command);
            CHECK((GetMenuState(systemMenu, command, MF_BYCOMMAND) & MF_GRAYED) != 0);
        }
        CHECK((GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) == 0);

        // Close sends the full-screen command to the frame.
        SendMessageA(GetDlgItem(floating, IDCANCEL), BM_CLICK, 0, 0);
        frame.Pump();
        REQUIRE(frame.commands.size() == 1);
        CHECK(LOWORD(frame.commands[0]) == 40053);

        frame.mode.Leave(frame.windows, true, false, frame.windows.hwndTree);
        frame.Pump();
        CHECK_FALSE(frame.mode.IsOn());
        WINDOWPLACEMENT after = {};
        after.length = sizeof(after);
        GetWindowPlacement(frame.hWnd, &after);
        CHECK(SamePlacement(before, after));
        CHECK(SamePlacement(before, frame.mode.GetPlacementBefore()));
        CHECK(IsWindowVisible(frame.windows.hwndRebar));
        CHECK_FALSE(IsWindowVisible(frame.windows.hwndStatus));
        CHECK_FALSE(IsWindowVisible(floating));
        CHECK(GetFocus() == frame.windows.hwndTree);
        CHECK_FALSE(frame.mode.OnGetMinMaxInfo(&limits));
    }
}
