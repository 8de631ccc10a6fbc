// The main window with lists that grew stale: a process whose id now names
// another process, a process without a readable path handed to a file
// plug-in, and the infobar following the process list's selection.
#include <doctest/doctest.h>

#include "tests/FrameHarness.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "app/mainframe/PluginRuns.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "sysinfo/ProcessIdentity.h"

#include <string>
#include <vector>

using namespace frametest;

namespace {

// Texts of the message boxes that came up while a command ran; each is answered with OK.
std::vector<std::string> g_boxes;

BOOL CALLBACK AnswerBox(HWND window, LPARAM)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    char text[512] = {};
    GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
    g_boxes.push_back(text);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
}

ProcessItem* ItemOf(Frame& window, DWORD pid)
{
    const int row = window.ProcessRow(pid);
    return row < 0 ? nullptr : ProcessView::FromParam(ListParam(window.List(), row));
}

void SelectRow(Frame& window, int row)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(window.List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageA(window.List(), LVM_SETSELECTIONMARK, 0, row);
    SetFocus(window.List());
}

} // namespace

TEST_SUITE("main window")
{
    TEST_CASE("an id that names another process now: nothing of it is shown, the user is told, the list is read again")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-reused");
        HelperProcess helper;
        REQUIRE(helper.Start("window \"TwReused Helper\""));
        Frame window(folder + "\\Tarnwick.ui");
        ProcessItem* item = ItemOf(window, helper.Pid());
        REQUIRE(item);
        // The identity as the system sees it, before the list is made stale.
        const uint64_t created = ProcessIdentity::Value(item->ftCreated);
        CHECK(ProcessIdentity::Check(helper.Pid(), created) == ProcessIdentity::State::Same);
        CHECK(ProcessIdentity::Check(helper.Pid(), created + 1) == ProcessIdentity::State::Reused);
        CHECK(ProcessIdentity::Check(helper.Pid(), 0) == ProcessIdentity::State::Unknown);

        // The list's item now stands for a process that started at another time.
        item->ftCreated.dwLowDateTime += 1;
        const HTREEITEM node = item->hTreeNode;
        const unsigned before = window.frame->RefreshCount();
        SendMessageA(window.Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
        CHECK(window.ListCount() == 0);
        CHECK(StatusText(window.hwnd) == StringTable::Load(230));
        Pump(100);
        CHECK(window.frame->RefreshCount() > before);
        CHECK(TreeNext(window.Tree(), nullptr, TVGN_CARET) == window.Processes());

        // Switch to acts on nothing and says so; the refresh follows.
        item = ItemOf(window, helper.Pid());
        REQUIRE(item);
        item->ftCreated.dwLowDateTime += 1;
        SelectRow(window, window.ProcessRow(helper.Pid()));
        g_boxes.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBoxes);
        const unsigned refreshes = window.frame->RefreshCount();
        window.Command(ID_FILE_SWITCHTO);
        KillTimer(nullptr, timer);
        REQUIRE(g_boxes.size() == 1);
        CHECK(g_boxes.front() == StringTable::Load(230));
        CHECK(GetForegroundWindow() != FindWindowA(nullptr, "TwReused Helper"));
        Pump(100);
        CHECK(window.frame->RefreshCount() > refreshes);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("file plug-ins leave out a process whose path could not be read; the infobar follows the list")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-infobar");
        HelperProcess helper;
        REQUIRE(helper.Start(""));
        Frame window(folder + "\\Tarnwick.ui");
        const int row = window.ProcessRow(helper.Pid());
        REQUIRE(row >= 0);
        ProcessItem process = *ProcessView::FromParam(ListParam(window.List(), row));
        CHECK(process.bPathKnown);

        // The display text "Not Available" never reaches a file plug-in as a path.
        process.bPathKnown = 0;
        process.strPath = StringTable::Load(19);
        PluginRequest files;
        CHECK_FALSE(files.Build(PluginRequest::ProcessList, 2, {PluginRuns::RequestItem(process, true)}));
        PluginRequest ids;
        REQUIRE(ids.Build(PluginRequest::ProcessList, 1, {PluginRuns::RequestItem(process, true)}));
        CHECK(ids.pids == std::vector<uint32_t>{helper.Pid()});

        // Selecting a row names it in the infobar; without a selection it names the list again.
        SelectRow(window, row);
        const std::string caption = WindowText(window.Child(303));
        CHECK(caption.rfind("tw-helper.exe - [PID: ", 0) == 0);
        CHECK(caption.find(std::to_string(helper.Pid())) != std::string::npos);
        LVITEMA none = {};
        none.stateMask = LVIS_SELECTED;
        SendMessageA(window.List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        CHECK(WindowText(window.Child(303)) == StringTable::Load(2));
        TestPaths::RemoveTree(folder);
    }
}
