// The CPU graph's pixels and the tray icon with a stand-in shell.
#include <doctest/doctest.h>

#include "tests/controls/ControlHost.h"
#include "app/cpugraph/ClCPUGraph.h"
#include "app/tray/TrayIcon.h"

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
            CHECK(record.cbSize == (sizeof(void*) == 8 ? 104u : 88u));
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

            // A button-up on the icon brings it back.
            PostMessageA(window.hWnd, TrayIcon::CallbackMessage(), 101, WM_LBUTTONUP);
            window.Pump();
            CHECK(IsWindowVisible(window.hWnd));
            g_shellCalls.clear();
        }
        // Gone with its owner object.
        REQUIRE(g_shellCalls.size() == 1);
        CHECK(g_shellCalls[0].message == NIM_DELETE);

        TrayIcon plain(FakeShellNotifyIcon);
        plain.Prepare(nullptr, 1, 101, nullptr, nullptr);
        CHECK(plain.GetRecord().uFlags == (NIF_MESSAGE | NIF_ICON));
    }
}
