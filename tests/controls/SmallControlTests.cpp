#include <doctest/doctest.h>

#include "tests/controls/ControlHost.h"
#include "controls/ButtonEx.h"
#include "controls/HyperLink.h"
#include "controls/TreeViewEx.h"

#include <commctrl.h>

#include <vector>

namespace {

int CountColor(HWND window, COLORREF color)
{
    int width = 0, height = 0;
    int count = 0;
    for (COLORREF pixel : ControlHost::Capture(window, width, height))
        if (pixel == color) ++count;
    return count;
}

HTREEITEM AddTreeItem(HWND tree, const char* text)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Turns visual styles off for one window (SetWindowTheme with blank names),
// so that the classic drawing is used whatever the desktop's theme.
void UseClassicLook(HWND window)
{
    typedef HRESULT(WINAPI * SetWindowThemeFn)(HWND, LPCWSTR, LPCWSTR);
    HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
    if (!uxtheme) return;
    SetWindowThemeFn setWindowTheme = reinterpret_cast<SetWindowThemeFn>(GetProcAddress(uxtheme, "SetWindowTheme"));
    if (setWindowTheme) setWindowTheme(window, L" ", L" ");
}

} // namespace

TEST_SUITE("controls")
{
    TEST_CASE("tree view: Tab, Enter and Esc characters are swallowed; keys still reach the parent")
    {
        ControlHost host(300, 300);
        TreeViewEx tree;
        RECT rect = {0, 0, 200, 200};
        REQUIRE(tree.Create(0, WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS, rect, host.GetHwnd(), 302));
        HWND window = tree.GetHwnd();
        HTREEITEM alpha = AddTreeItem(window, "alpha");
        AddTreeItem(window, "beta");
        AddTreeItem(window, "\tgamma");
        SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(alpha));
        SetFocus(window);

        for (WPARAM character : {WPARAM(VK_TAB), WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
            CAPTURE(character);
            CHECK(SendMessageA(window, WM_CHAR, character, 0) == 0);
            CHECK(reinterpret_cast<HTREEITEM>(SendMessageA(window, TVM_GETNEXTITEM, TVGN_CARET, 0)) == alpha);
        }

        host.notifications.clear();
        SendMessageA(window, WM_KEYDOWN, VK_TAB, 0);
        bool tabReported = false;
        for (const ControlHost::Notify& notify : host.notifications)
            if (notify.nCode == static_cast<UINT>(TVN_KEYDOWN) && notify.wKey == VK_TAB) tabReported = true;
        CHECK(tabReported);
    }

    TEST_CASE("hyperlink: unvisited, pressed and visited colours; a click posts WM_COMMAND")
    {
        ControlHost host(300, 100);
        HyperLink link;
        RECT rect = {10, 10, 210, 30};
        REQUIRE(link.Create(0, WS_CHILD | WS_VISIBLE, "Download Plugins", rect, host.GetHwnd(), 1042));
        HWND window = link.GetHwnd();
        host.Pump();
        CHECK(CountColor(window, HyperLink::kUnvisitedColor) > 20);
        CHECK(CountColor(window, HyperLink::kVisitedColor) == 0);
        CHECK(ControlHost::Pixel(window, 199, 1) == GetSysColor(COLOR_BTNFACE));

        // Pressed and released outside: no command, still unvisited.
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        host.Pump();
        CHECK(GetCapture() == window);
        CHECK(CountColor(window, HyperLink::kPressedColor) > 20);
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(250, 5));
        host.Pump();
        CHECK(host.commands.empty());
        CHECK_FALSE(link.IsVisited());
        CHECK(CountColor(window, HyperLink::kUnvisitedColor) > 20);

        // A release without a press on the link does nothing either.
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        host.Pump();
        CHECK(host.commands.empty());

        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        host.Pump();
        REQUIRE(host.commands.size() == 1);
        CHECK(host.commands[0].wId == 1042);
        CHECK(host.commands[0].hControl == window);
        CHECK(link.IsVisited());
        CHECK(CountColor(window, HyperLink::kVisitedColor) > 20);
        CHECK(CountColor(window, HyperLink::kUnvisitedColor) == 0);

        // A new text keeps the visited look.
        SetWindowTextA(window, "Tarnwick Home Page");
        host.Pump();
        CHECK(CountColor(window, HyperLink::kVisitedColor) > 20);

        EnableWindow(window, FALSE);
        host.Pump();
        CHECK(CountColor(window, HyperLink::kVisitedColor) == 0);
        CHECK(CountColor(window, GetSysColor(COLOR_GRAYTEXT)) > 20);
    }

    TEST_CASE("hyperlink and icon button windows made without an object get their own")
    {
        ControlHost host(300, 100);
        REQUIRE(HyperLink::Register());
        REQUIRE(ButtonEx::Register());
        HWND link = CreateWindowExA(0, "ClHyperLinkStatic", "link", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20,
                                    host.GetHwnd(), reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
        HWND button = CreateWindowExA(0, "ClButtonEx", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 30, 80,
                                      24, host.GetHwnd(), reinterpret_cast<HMENU>(IDOK), GetModuleHandleA(nullptr),
                                      nullptr);
        REQUIRE(link != nullptr);
        REQUIRE(button != nullptr);
        CHECK(HyperLink::FromWindow(link) != nullptr);
        REQUIRE(ButtonEx::FromWindow(button) != nullptr);
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        REQUIRE(host.commands.size() == 1);
        CHECK(host.commands[0].wId == IDOK);
        CHECK(host.commands[0].wCode == BN_CLICKED);
        DestroyWindow(link);
        DestroyWindow(button);
    }

    TEST_CASE("icon button: pressed look, hot state, command only when released inside")
    {
        ControlHost host(300, 100);
        ButtonEx button;
        RECT rect = {10, 10, 110, 40};
        REQUIRE(button.Create(0, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, "", rect, host.GetHwnd(), 1100));
        HWND window = button.GetHwnd();
        UseClassicLook(window);
        HICON green = ControlHost::MakeSolidIcon(RGB(0, 160, 0));
        CHECK(button.SetIcon(green) == nullptr);
        host.Pump();

        const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
        // The icon, centred; edges raised.
        CHECK(ControlHost::Pixel(window, 50, 15) == RGB(0, 160, 0));
        CHECK(ControlHost::Pixel(window, 0, 15) == light);
        CHECK(ControlHost::Pixel(window, 50, 0) == light);
        CHECK(ControlHost::Pixel(window, 99, 15) == GetSysColor(COLOR_BTNSHADOW));
        CHECK(ControlHost::Pixel(window, 50, 29) == GetSysColor(COLOR_BTNSHADOW));

        SUBCASE("hot while the mouse is over it")
        {
            SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
            CHECK(button.IsHot());
            SendMessageA(window, WM_MOUSELEAVE, 0, 0);
            CHECK_FALSE(button.IsHot());
        }

        SUBCASE("pressed, moved out, released outside: no command")
        {
            SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
            CHECK(button.IsPressed());
            CHECK(ControlHost::Pixel(window, 0, 15) == GetSysColor(COLOR_BTNTEXT));
            CHECK(ControlHost::Pixel(window, 99, 15) == light);
            // Pressed contents move by one pixel.
            CHECK(ControlHost::Pixel(window, 50 - 8, 15) != RGB(0, 160, 0));
            CHECK(ControlHost::Pixel(window, 50 + 8, 15) == RGB(0, 160, 0));

            SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 10));
            CHECK_FALSE(button.IsPressed());
            CHECK(ControlHost::Pixel(window, 0, 15) == light);
            SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 10));
            CHECK(button.IsPressed());
            SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 10));
            SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(150, 10));
            host.Pump();
            CHECK(host.commands.empty());
            CHECK(GetCapture() != window);
        }

        SUBCASE("released inside: WM_COMMAND with the id, sent at once")
        {
            SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
            SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
            REQUIRE(host.commands.size() == 1);
            CHECK(host.commands[0].wId == 1100);
            CHECK(host.commands[0].hControl == window);
            CHECK_FALSE(button.IsPressed());
            CHECK(GetCapture() != window);
        }

        SUBCASE("a release that did not start on the button is no click")
        {
            SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
            CHECK(host.commands.empty());
        }

        SUBCASE("the space bar clicks")
        {
            SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
            CHECK(button.IsPressed());
            SendMessageA(window, WM_KEYUP, VK_SPACE, 0);
            CHECK(host.commands.size() == 1);
        }

        SUBCASE("disabled: the icon is drawn greyed")
        {
            EnableWindow(window, FALSE);
            host.Pump();
            CHECK(ControlHost::Pixel(window, 50, 15) != RGB(0, 160, 0));
        }

        CHECK(button.SetIcon(nullptr) == green);
        DestroyIcon(green);
    }

    TEST_CASE("icon button with visual styles: normal, hot, pressed and disabled look different")
    {
        UxThemeWrapper theme;
        if (!theme.IsAppThemed()) return;
        ControlHost host(300, 100);
        ButtonEx button;
        RECT rect = {10, 10, 110, 40};
        REQUIRE(button.Create(0, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, "Go", rect, host.GetHwnd(), 1100));
        HWND window = button.GetHwnd();
        SetFocus(window);
        host.Pump();
        int width = 0, height = 0;
        const std::vector<COLORREF> normal = ControlHost::Capture(window, width, height);
        SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
        host.Pump();
        const std::vector<COLORREF> hot = ControlHost::Capture(window, width, height);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
        host.Pump();
        const std::vector<COLORREF> pressed = ControlHost::Capture(window, width, height);
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
        SendMessageA(window, WM_MOUSELEAVE, 0, 0);
        host.Pump();
        const std::vector<COLORREF> released = ControlHost::Capture(window, width, height);
        CHECK(hot != normal);
        CHECK(pressed != hot);
        CHECK(released == normal);
        CHECK(host.commands.empty());
    }
}
