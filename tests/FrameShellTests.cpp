// The main window's CPU graph, tray icon and full-screen mode, in process.
#include <doctest/doctest.h>

#include "tests/FrameHarness.h"
#include "tests/TestPaths.h"
#include "app/startup/TarnwickApp.h"
#include "app/mainframe/TarnwickMainFrame.h"
#include "app/res/resource.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<DWORD> g_trayCalls;
BOOL WINAPI RecordTrayCall(DWORD message, PNOTIFYICONDATAA)
{
    g_trayCalls.push_back(message);
    return TRUE;
}

} // namespace

using namespace frametest;

TEST_SUITE("main window")
{
    TEST_CASE("CPU graph in status part 1, Hide When Minimized switched at run time, full screen by command")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-shell");
        Frame window(folder + "\\Tarnwick.ui");
        HWND status = GetDlgItem(window.hwnd, 305);
        HWND graph = GetDlgItem(status, 307);
        REQUIRE(graph != nullptr);
        char name[32] = {};
        GetClassNameA(graph, name, sizeof(name));
        CHECK(std::string(name) == "ClCPUGraph");
        RECT part = {};
        SendMessageA(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
        RECT placed;
        GetWindowRect(graph, &placed);
        MapWindowPoints(nullptr, status, reinterpret_cast<POINT*>(&placed), 2);
        CHECK(placed.left == part.left + 1);
        CHECK(placed.right == part.right - 1);
        CHECK(placed.bottom == part.bottom - 1);

        // Off by default: minimising minimises; switched on, the icon comes at once and minimising hides.
        window.frame->Tray().SetNotifyFunction(RecordTrayCall);
        g_trayCalls.clear();
        SendMessageA(window.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        CHECK(IsIconic(window.hwnd));
        ShowWindow(window.hwnd, SW_RESTORE);
        window.frame->ApplyHideWhenMinimized(true);
        CHECK(window.frame->Settings().bHideWhenMinimized == 1);
        CHECK(g_trayCalls == std::vector<DWORD>{NIM_ADD});
        CHECK(window.frame->Tray().GetRecord().hWnd == window.hwnd);
        CHECK(std::string(window.frame->Tray().GetRecord().szTip) == "Tarnwick 2.6");
        SendMessageA(window.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        CHECK_FALSE(IsWindowVisible(window.hwnd));
        SendMessageA(window.hwnd, TrayIcon::CallbackMessage(), 101, WM_LBUTTONUP);
        CHECK(IsWindowVisible(window.hwnd));
        window.frame->ApplyHideWhenMinimized(false);
        CHECK(g_trayCalls == std::vector<DWORD>{NIM_ADD, NIM_DELETE});
        // Off again: "TaskbarCreated" adds nothing.
        SendMessageA(window.hwnd, TrayIcon::TaskbarCreatedMessage(), 0, 0);
        CHECK(g_trayCalls.size() == 2);

        // 40053 twice: the desktop, then the old placement and bars again.
        WINDOWPLACEMENT before = {};
        before.length = sizeof(before);
        GetWindowPlacement(window.hwnd, &before);
        SendMessageA(window.hwnd, WM_COMMAND, ID_VIEW_FULLSCREEN, 0);
        Pump(50);
        CHECK(window.frame->IsFullScreen());
        POINT origin = {0, 0};
        ClientToScreen(window.hwnd, &origin);
        CHECK(origin.x == 0);
        CHECK(origin.y == 0);
        CHECK_FALSE(IsWindowVisible(status));
        CHECK_FALSE(IsWindowVisible(GetDlgItem(window.hwnd, 300)));
        HWND floating = FindWindowA(nullptr, "Full Screen");
        REQUIRE(floating != nullptr);
        CHECK(IsWindowVisible(floating));
        CHECK(GetWindow(floating, GW_OWNER) == window.hwnd);
        char caption[32] = {};
        GetDlgItemTextA(floating, IDCANCEL, caption, sizeof(caption));
        CHECK(std::string(caption) == "&Close");
        // Larger than the screen allowed; size, move, maximise and restore grayed.
        MINMAXINFO limits = {};
        SendMessageA(window.hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        RECT frame;
        GetWindowRect(window.hwnd, &frame);
        CHECK(limits.ptMaxTrackSize.x == frame.right - frame.left);
        CHECK(limits.ptMaxTrackSize.y == frame.bottom - frame.top);
        CHECK(limits.ptMaxTrackSize.x > GetSystemMetrics(SM_CXSCREEN));
        HMENU systemMenu = GetSystemMenu(window.hwnd, FALSE);
        SendMessageA(window.hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(systemMenu), 0);
        for (UINT command : {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_RESTORE}) {
            CAPTURE(command);
            CHECK((GetMenuState(systemMenu, command, MF_BYCOMMAND) & MF_GRAYED) != 0);
        }
        CHECK((GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) == 0);
        // Another program active: the floating window waits hidden.
        SendMessageA(window.hwnd, WM_ACTIVATEAPP, FALSE, 0);
        CHECK_FALSE(IsWindowVisible(floating));
        SendMessageA(window.hwnd, WM_ACTIVATEAPP, TRUE, 0);
        CHECK(IsWindowVisible(floating));
        // One rule for the bars: the View menu's toggles change the settings,
        // but in full-screen mode the toolbar stays hidden; the infobar follows at once.
        HWND rebar = GetDlgItem(window.hwnd, 300);
        HWND infobar = GetDlgItem(window.hwnd, 303);
        SendMessageA(window.hwnd, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
        CHECK(window.frame->Settings().bShowToolbar == 0);
        SendMessageA(window.hwnd, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
        CHECK(window.frame->Settings().bShowToolbar == 1);
        CHECK_FALSE(IsWindowVisible(rebar));
        SendMessageA(window.hwnd, WM_COMMAND, ID_VIEW_INFOBAR, 0);
        CHECK_FALSE(IsWindowVisible(infobar));
        SendMessageA(window.hwnd, WM_COMMAND, ID_VIEW_INFOBAR, 0);
        CHECK(IsWindowVisible(infobar));

        SendMessageA(window.hwnd, WM_COMMAND, ID_VIEW_FULLSCREEN, 0);
        Pump(50);
        CHECK_FALSE(window.frame->IsFullScreen());
        WINDOWPLACEMENT after = {};
        after.length = sizeof(after);
        GetWindowPlacement(window.hwnd, &after);
        CHECK(EqualRect(&before.rcNormalPosition, &after.rcNormalPosition));
        CHECK(IsWindowVisible(status));
        CHECK(IsWindowVisible(GetDlgItem(window.hwnd, 300)));
        CHECK_FALSE(IsWindowVisible(floating));
        TestPaths::RemoveTree(folder);
    }
}
