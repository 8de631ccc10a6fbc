#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/FrameHarness.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "cli/TabText.h"
#include "app/mainframe/BusyCount.h"
#include "app/startup/CommandLineSwitches.h"
#include "app/mainframe/FrameLayout.h"
#include "app/startup/InstanceMutex.h"
#include "app/menus/MenuEnabling.h"
#include "app/startup/TarnwickApp.h"
#include "app/mainframe/TarnwickMainFrame.h"
#include "app/settings/UserSettingsCheck.h"
#include "app/settings/UserSettingsFile.h"
#include "app/res/resource.h"
#include "views/ModuleView.h"
#include "views/ProcessView.h"

#include <commctrl.h>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Rows of the termination dialog a drop on "Kill" opened (-1: none came); the
// dialog is cancelled.
int g_terminationRows = -1;
BOOL CALLBACK FindTermination(HWND window, LPARAM found)
{
    char title[64] = {};
    GetWindowTextA(window, title, sizeof(title));
    if (lstrcmpA(title, "Process Termination") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}
void CALLBACK CancelTermination(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTermination, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    g_terminationRows = static_cast<int>(SendDlgItemMessageA(dialog, IDC_PROCESS_LIST, LB_GETCOUNT, 0, 0));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

using namespace frametest;

TEST_SUITE("main window logic")
{
    TEST_CASE("layout: bars, infobar, splitter clamp and status parts")
    {
        FrameLayout::Input in = {800, 600, 30, 20, true, 270};
        FrameLayout::Output out = FrameLayout::Compute(in);
        CHECK(out.rcRebar.bottom == 30);
        CHECK((out.rcTree.top == 30 && out.rcTree.bottom == 580 && out.rcTree.right == 270));
        CHECK((out.rcInfobar.left == 270 && out.rcInfobar.top == 30 && out.rcInfobar.bottom == 62));
        CHECK((out.rcList.left == 276 && out.rcList.top == 62 && out.rcList.right == 800 && out.rcList.bottom == 580));
        in.bInfobar = false;
        in.nRebarHeight = 0;
        in.nStatusHeight = 0;
        out = FrameLayout::Compute(in);
        CHECK((out.rcList.top == 0 && out.rcList.bottom == 600 && out.rcInfobar.bottom == 0));
        // A window smaller than its bars gives empty rectangles, never inverted ones.
        in = {100, 10, 30, 20, true, 270};
        out = FrameLayout::Compute(in);
        CHECK(out.rcTree.Height() >= 0);
        CHECK(out.rcList.Width() >= 0);
        CHECK(out.rcList.Height() >= 0);

        int width = 0;
        CHECK(FrameLayout::SplitterDrag(300, 2, 800, 100, width));
        CHECK(width == 298);
        CHECK_FALSE(FrameLayout::SplitterDrag(99, 2, 800, 100, width));
        CHECK_FALSE(FrameLayout::SplitterDrag(701, 2, 800, 100, width));
        CHECK(FrameLayout::SplitterDrag(700, 0, 800, 100, width));
        CHECK(FrameLayout::InitialTreeWidth(40, 112) == 112);
        CHECK(FrameLayout::InitialTreeWidth(270, 112) == 270);
        int edges[3];
        FrameLayout::StatusParts(800, 120, edges);
        CHECK((edges[0] == 680 && edges[1] == 800 && edges[2] == 800));

        // The stored place: kept on the screen; off it, or damaged, the system chooses.
        const int any = -1000000;
        FrameLayout::Rect place = FrameLayout::InitialPlace({10, 20, 610, 420}, 1024, 768, any);
        CHECK((place.left == 10 && place.top == 20 && place.right == 600 && place.bottom == 400));
        place = FrameLayout::InitialPlace({2000, 20, 2600, 420}, 1024, 768, any);
        CHECK((place.left == any && place.top == any && place.right == any && place.bottom == any));
        place = FrameLayout::InitialPlace({10, 20, static_cast<int>(0x80000000u), 420}, 1024, 768, any);
        CHECK((place.left == 10 && place.right == any));
        place = FrameLayout::InitialPlace({-2147483647 - 1, 0, 2147483647, 100}, 1024, 768, any);
        CHECK(place.right == any);
    }

    TEST_CASE("switches by substring, mutex names per OS kind")
    {
        const CommandLineSwitches joined("--nosplash--debug");
        CHECK(joined.bNoSplash);
        CHECK(joined.bDebug);
        CHECK_FALSE(joined.bPriorityNormal);
        const CommandLineSwitches odd("x--disable-odmy \"--priority-normal\"");
        CHECK(odd.bDisableOwnerDrawMenus);
        CHECK(odd.bPriorityNormal);
        CHECK_FALSE(CommandLineSwitches("--NOSPLASH").bNoSplash);
        CHECK_FALSE(CommandLineSwitches(nullptr).bDebug);

        for (uint32_t kind = 1; kind <= 5; ++kind)
            CHECK(InstanceMutex::Names(kind) == std::vector<std::string>{"TarnwickApplicationMutex"});
        for (uint32_t kind : {0u, 6u, 7u, 8u, 9u})
            CHECK(InstanceMutex::Names(kind)
                  == std::vector<std::string>{"TarnwickApplicationMutex", "Global\\TarnwickApplicationMutex"});
    }

    TEST_CASE("menu enabling by the focused view's selection")
    {
        using View = MenuEnabling::View;
        MenuEnabling::State state;
        state.view = View::Tree;
        auto on = MenuEnabling::Compute(state);
        for (const auto& entry : on) CHECK_FALSE(entry.second);

        state.nSelectedProcesses = 1;
        state.bRealProcess = true;
        on = MenuEnabling::Compute(state);
        CHECK(on[ID_FILE_KILL]);
        CHECK(on[ID_PROCESS_MODULES]);
        CHECK(on[ID_PROPERTIES_STANDARD]);
        CHECK_FALSE(on[ID_FILE_SWITCHTO]);
        CHECK_FALSE(on[ID_FILE_DEBUG]);
        state.bHasTopLevelWindow = state.bDebuggerRegistered = true;
        on = MenuEnabling::Compute(state);
        CHECK(on[ID_FILE_SWITCHTO]);
        CHECK(on[ID_FILE_DEBUG]);

        // The idle or system process: nothing.
        state.bRealProcess = false;
        on = MenuEnabling::Compute(state);
        for (const auto& entry : on) CHECK_FALSE(entry.second);

        state.view = View::ProcessList;
        state.nSelectedProcesses = 3;
        on = MenuEnabling::Compute(state);
        CHECK(on[ID_FILE_KILL]);
        CHECK(on[ID_FILE_REPORT]);
        CHECK_FALSE(on[ID_FILE_SWITCHTO]);
        CHECK_FALSE(on[ID_FILE_DEBUG]);
        CHECK_FALSE(on[ID_PROCESS_MODULES]);
        CHECK_FALSE(on[ID_PROPERTIES_ADVANCED]);
        CHECK_FALSE(on[ID_PROPERTIES_STANDARD]);

        MenuEnabling::State modules;
        modules.view = View::ModuleList;
        on = MenuEnabling::Compute(modules);
        CHECK(on[ID_PROPERTIES_ADVANCED]);
        CHECK_FALSE(on[ID_EXPLORE_FROM_HERE]);
        CHECK_FALSE(on[ID_FILE_KILL]);
        modules.bModuleSelected = true;
        on = MenuEnabling::Compute(modules);
        CHECK(on[ID_EXPLORE_FROM_HERE]);
        CHECK(on[ID_OPEN_COMMAND_WINDOW]);
        CHECK(on[ID_PROPERTIES_STANDARD]);
    }

    TEST_CASE("busy count: held-back requests run once, closing before anything else")
    {
        BusyCount busy;
        CHECK_FALSE(busy.Defer(BusyCount::kRefresh));
        busy.Begin();
        busy.Begin();
        CHECK(busy.Defer(BusyCount::kRefresh));
        CHECK(busy.Defer(BusyCount::kRefreshFull));
        CHECK(busy.Defer(BusyCount::kSelection));
        CHECK(busy.End() == 0);
        const unsigned requests = busy.End();
        CHECK(requests == (BusyCount::kRefresh | BusyCount::kRefreshFull | BusyCount::kSelection));
        CHECK(busy.End() == 0);
        BusyCount::Plan plan = BusyCount::MakePlan(requests);
        CHECK(plan.bRefreshFull);
        CHECK_FALSE(plan.bRefresh);
        CHECK_FALSE(plan.bSelection);
        plan = BusyCount::MakePlan(BusyCount::kSettingChange | BusyCount::kRefreshFull);
        CHECK(plan.bSettingChange);
        CHECK_FALSE(plan.bRefreshFull);
        plan = BusyCount::MakePlan(BusyCount::kSelection);
        CHECK(plan.bSelection);
        plan = BusyCount::MakePlan(BusyCount::kClose | BusyCount::kRefresh);
        CHECK(plan.bClose);
        CHECK_FALSE(plan.bRefresh);
    }

    TEST_CASE("damaged settings: values that would index past the arrays take defaults")
    {
        UserSettings defaults;
        UserSettingsFile::SetDefaults(defaults);
        UserSettings damaged = defaults;
        damaged.aProcessColumns[4].nColumnId = 4000;
        damaged.aModuleColumns[11].nColumnId = 12;
        damaged.anProcessColumnOrder[3] = 0xFFFFFFFFu;
        damaged.nModuleColumnCount = 999;
        damaged.ssProcessSort.nSortColumn = -5;
        damaged.ssModuleSort.nSortColumn = 12;
        damaged.ssModuleSort.nSortMode = 77;
        std::memset(damaged.szDateFormat, 'x', sizeof(damaged.szDateFormat));
        std::memset(damaged.lfViewFont.lfFaceName, 'y', sizeof(damaged.lfViewFont.lfFaceName));
        damaged.bShowInfobar = 0;

        const std::string folder = TestPaths::MakeScratchFolder("settings-damaged");
        const std::string path = folder + "\\Tarnwick.ui";
        REQUIRE(TestPaths::WriteFile(path, &damaged, sizeof(damaged)));
        UserSettings loaded;
        UserSettingsFile::SetDefaults(loaded);
        REQUIRE(UserSettingsFile::Load(loaded, path));
        CHECK(loaded.aProcessColumns[4].nColumnId == 4);
        CHECK(loaded.aModuleColumns[11].nColumnId == defaults.aModuleColumns[11].nColumnId);
        CHECK(std::memcmp(loaded.anProcessColumnOrder, defaults.anProcessColumnOrder, 48) == 0);
        CHECK(loaded.nModuleColumnCount == 12);
        CHECK(loaded.ssProcessSort.nSortColumn == 0);
        CHECK(loaded.ssModuleSort.nSortColumn == 0);
        CHECK(loaded.ssModuleSort.nSortMode == 0);
        CHECK(std::strcmp(loaded.szDateFormat, defaults.szDateFormat) == 0);
        CHECK(std::strcmp(loaded.lfViewFont.lfFaceName, defaults.lfViewFont.lfFaceName) == 0);
        // What was fine stays as stored.
        CHECK(loaded.bShowInfobar == 0);
        CHECK(UserSettingsCheck::Repair(loaded, defaults) == 0);

        // The program starts with it and shows its lists.
        Frame window(path);
        CHECK(window.ListCount() > 0);
        CHECK_FALSE(IsWindowVisible(window.Child(303)));
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("main window")
{
    TEST_CASE("children, fixed tree items, counts, and the list moving when the infobar hides")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-children");
        Frame window(folder + "\\Tarnwick.ui");
        HWND frame = window.hwnd;
        CHECK(ClassOf(frame) == "TarnwickMainFrameWndClass");
        CHECK(WindowText(frame) == "Tarnwick 2.6");
        CHECK(ClassOf(window.Child(300)) == "ReBarWindow32");
        CHECK(ClassOf(window.Child(302)) == "Orvo_TreeViewEx");
        CHECK(ClassOf(window.Child(303)) == "Orvo_InfobarWndClass");
        CHECK(ClassOf(window.Child(304)) == "Orvo_GridView");
        CHECK(ClassOf(window.Child(305)) == "msctls_statusbar32");
        HWND toolbar = GetDlgItem(window.Child(300), 301);
        CHECK(ClassOf(toolbar) == "ToolbarWindow32");
        CHECK(ClassOf(GetDlgItem(window.Child(305), 306)) == "msctls_progress32");
        std::vector<int> commands;
        const int buttons = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < buttons; ++i) {
            TBBUTTON button = {};
            SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            commands.push_back(button.idCommand);
        }
        CHECK(commands == std::vector<int>{40056, 0, 40049, 40050, 40103, 0, 40054, 0, 40061, 0, 40053});

        HWND tree = window.Tree();
        HTREEITEM root = TreeNext(tree, nullptr, TVGN_ROOT);
        char computer[16] = {};
        DWORD size = sizeof(computer);
        GetComputerNameA(computer, &size);
        CHECK(TreeText(tree, root) == std::string("\\\\") + computer);
        HTREEITEM processes = TreeNext(tree, root, TVGN_CHILD);
        CHECK(TreeText(tree, processes) == "Processes");
        HTREEITEM kill = TreeNext(tree, processes, TVGN_NEXT);
        CHECK(TreeText(tree, kill) == "Kill");
        CHECK(TreeNext(tree, kill, TVGN_NEXT) == nullptr);

        const int rows = window.ListCount();
        CHECK(rows > 0);
        CHECK(CountBelow(tree, processes) == rows);
        CHECK(StatusText(frame) == "Processes : " + std::to_string(rows));
        CHECK(WindowText(window.Child(303)) == "Processes");

        // The computer and "Kill" show the empty text in the list and the status bar.
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(kill));
        CHECK(window.ListCount() == 0);
        CHECK(StatusText(frame) == "There are no items to show in this view");
        CHECK(WindowText(window.List()) == "There are no items to show in this view");
        CHECK(WindowText(window.Child(303)) == "Kill");
        // F5 there reads nothing again.
        const unsigned refreshes = window.frame->RefreshCount();
        window.Command(ID_VIEW_REFRESH);
        CHECK(window.frame->RefreshCount() == refreshes);

        const RECT before = ClientRectOf(window.List());
        window.Command(ID_VIEW_INFOBAR);
        const RECT hidden = ClientRectOf(window.List());
        CHECK(hidden.top == before.top - 32);
        CHECK(hidden.bottom == before.bottom);
        window.Command(ID_VIEW_INFOBAR);
        CHECK(ClientRectOf(window.List()).top == before.top);
        const RECT tall = ClientRectOf(window.Child(302));
        window.Command(ID_VIEW_STATUSBAR);
        CHECK(ClientRectOf(window.Child(302)).bottom > tall.bottom);
        window.Command(ID_VIEW_TOOLBAR);
        CHECK(ClientRectOf(window.Child(302)).top == 0);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("requests while busy wait and run once; closing waits too and saves the settings")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-busy");
        const std::string path = folder + "\\Tarnwick.ui";
        Frame window(path);
        const unsigned before = window.frame->RefreshCount();
        {
            BusyScope busy(window.frame->Busy());
            SendMessageA(window.hwnd, WM_SETTINGCHANGE, 0, 0);
            window.Command(ID_VIEW_REFRESH, FrameIds::kFullRefreshMark);
            window.Command(ID_VIEW_REFRESH);
            CHECK(window.frame->RefreshCount() == before);
        }
        CHECK(window.frame->RefreshCount() == before + 1);
        CHECK(window.ListCount() > 0);

        {
            BusyScope busy(window.frame->Busy());
            SendMessageA(window.hwnd, WM_CLOSE, 0, 0);
            window.Command(ID_VIEW_REFRESH, FrameIds::kFullRefreshMark);
            CHECK(IsWindow(window.hwnd));
            CHECK(GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES);
        }
        CHECK_FALSE(IsWindow(window.hwnd));
        CHECK(ReadFile(path).size() == 778);

        // After a language change the same object builds its window again.
        REQUIRE(window.frame->Create(nullptr, "Tarnwick 2.6"));
        window.hwnd = window.frame->GetHwnd();
        CHECK(window.ListCount() > 0);
        CHECK(StatusText(window.hwnd) == "Processes : " + std::to_string(window.ListCount()));
        CHECK(CountBelow(window.Tree(), window.Processes()) == window.ListCount());
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("arrow keys in the tree load only the item where they stop")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-keys");
        Frame window(folder + "\\Tarnwick.ui");
        HWND tree = window.Tree();
        SetFocus(tree);
        for (int i = 0; i < 3; ++i) SendMessageA(tree, WM_KEYDOWN, VK_DOWN, 0);
        HTREEITEM selected = TreeNext(tree, nullptr, TVGN_CARET);
        REQUIRE(selected != window.Processes());
        // Not yet loaded: the list and the infobar still show the processes.
        CHECK(WindowText(window.Child(303)) == "Processes");
        CHECK(StatusText(window.hwnd).rfind("Processes : ", 0) == 0);
        Pump(800);
        const std::string caption = WindowText(window.Child(303));
        CHECK(caption.rfind(TreeText(tree, selected) + " - [PID: ", 0) == 0);
        CHECK(StatusText(window.hwnd).rfind("Processes", 0) != 0);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("a process's modules: 40099 from the list, the sort modes, a refresh of the process")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-modules");
        HelperProcess helper;
        REQUIRE(helper.Start("load restypes.dll"));
        Frame window(folder + "\\Tarnwick.ui");
        UserSettings& settings = window.frame->Settings();

        // Sort-mode commands do nothing while the process list is shown.
        window.Command(ID_SORT_RELOCATED);
        CHECK(settings.ssModuleSort.nSortMode == 0);

        const int row = window.ProcessRow(helper.Pid());
        REQUIRE(row >= 0);
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(window.List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
        SendMessageA(window.List(), LVM_SETSELECTIONMARK, 0, row);
        window.Command(ID_PROCESS_MODULES);

        CHECK(TreeText(window.Tree(), TreeNext(window.Tree(), nullptr, TVGN_CARET)) == "tw-helper.exe");
        CHECK(WindowText(window.Child(303)) == "tw-helper.exe - [PID: " + std::to_string(helper.Pid()) + "]");
        const int modules = window.ListCount();
        REQUIRE(modules > 2);
        CHECK(StatusText(window.hwnd) == "Modules : " + std::to_string(modules));
        ProcessItem listed;
        CHECK(window.frame->ListedProcess(listed));
        CHECK(listed.dwPid == helper.Pid());

        // Dynamically loaded modules last, restypes.dll among them.
        window.Command(ID_SORT_DYNAMIC);
        CHECK(settings.ssModuleSort.nSortMode == 4);
        bool seenDynamic = false, restypesDynamic = false;
        for (int i = 0; i < modules; ++i) {
            const ModuleItem* item = ModuleView::FromParam(ListParam(window.List(), i));
            if (item->bDynamic) seenDynamic = true;
            else CHECK_FALSE(seenDynamic);
            if (lstrcmpiA(item->strName.c_str(), "restypes.dll") == 0) restypesDynamic = item->bDynamic;
        }
        CHECK(restypesDynamic);

        // The console tool lists the same rows in the same order.
        const auto cli = ConsoleRows("modules --sort dynamic " + std::to_string(helper.Pid()));
        REQUIRE(static_cast<int>(cli.size()) == modules);
        for (int i = 0; i < modules; ++i)
            for (int column = 0; column < 9; ++column) {
                CAPTURE(i);
                CAPTURE(column);
                CHECK(TabText::Escape(CellText(window.List(), i, column))
                      == cli[static_cast<size_t>(i)][static_cast<size_t>(column)]);
            }

        // Load order.
        window.Command(ID_SORT_LOADORDER);
        for (int i = 1; i < modules; ++i)
            CHECK(ModuleView::FromParam(ListParam(window.List(), i - 1))->dwLoadOrder
                  < ModuleView::FromParam(ListParam(window.List(), i))->dwLoadOrder);

        // F5 with the process selected reads its modules, not the processes.
        ModuleItem module;
        SendMessageA(window.List(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
        SendMessageA(window.List(), LVM_SETSELECTIONMARK, 0, 1);
        SetFocus(window.List());
        CHECK(window.frame->Selection().SelectedModule(module));
        CHECK(window.frame->Selection().SelectedProcesses(true).empty());
        const unsigned before = window.frame->RefreshCount();
        window.Command(ID_VIEW_REFRESH);
        CHECK(window.frame->RefreshCount() == before + 1);
        CHECK(window.ListCount() == modules);
        CHECK(WindowText(window.Child(303)).rfind("tw-helper.exe", 0) == 0);
        // The tree still has its selection: the tree view finds the helper.
        SetFocus(window.Tree());
        const std::vector<ProcessItem> selected = window.frame->Selection().SelectedProcesses(false);
        REQUIRE(selected.size() == 1);
        CHECK(selected.front().dwPid == helper.Pid());
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("a child under its parent in the window and in the console tool's tree; Select All; drag to Kill")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-tree");
        const std::string childEvent = HelperProcess::NewEventName();
        HANDLE childReady = CreateEventA(nullptr, TRUE, FALSE, childEvent.c_str());
        HelperProcess parent;
        REQUIRE(parent.Start("spawn " + childEvent));
        REQUIRE(WaitForSingleObject(childReady, 20000) == WAIT_OBJECT_0);
        CloseHandle(childReady);
        DebugCapture debug;
        Frame window(folder + "\\Tarnwick.ui", "--nosplash --priority-normal --debug");

        // The window: the child's node hangs below the parent's.
        const ProcessItem* parentItem = nullptr;
        const ProcessItem* childItem = nullptr;
        for (int i = 0; i < window.ListCount(); ++i) {
            const ProcessItem* item = ProcessView::FromParam(ListParam(window.List(), i));
            if (item->dwPid == parent.Pid()) parentItem = item;
            else if (item->dwParentPid == parent.Pid()) childItem = item;
        }
        REQUIRE(parentItem);
        REQUIRE(childItem);
        CHECK(TreeNext(window.Tree(), childItem->hTreeNode, TVGN_PARENT) == parentItem->hTreeNode);

        // The console tool: the child follows its parent, two more spaces in.
        const auto rows = ConsoleRows("ps --tree");
        size_t at = rows.size();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].size() > 1 && rows[i][1] == std::to_string(parent.Pid())) at = i;
        REQUIRE(at + 1 < rows.size());
        const std::string& parentName = rows[at][0];
        const std::string& childName = rows[at + 1][0];
        CHECK(rows[at + 1][1] == std::to_string(childItem->dwPid));
        const size_t indent = parentName.find_first_not_of(' ');
        CHECK(childName.find_first_not_of(' ') == indent + 2);
        CHECK(childName.substr(indent + 2) == "tw-helper.exe");

        window.Command(ID_EDIT_SELECTALL);
        CHECK(static_cast<int>(SendMessageA(window.List(), LVM_GETSELECTEDCOUNT, 0, 0)) == window.ListCount());
        SetFocus(window.List());
        CHECK(static_cast<int>(window.frame->Selection().SelectedProcesses(true).size()) == window.ListCount());
        CHECK(window.frame->Selection().SelectedProcesses(false).size() == 1);

        // Dragging the parent from the tree onto "Kill" reaches the Kill handler with it.
        HWND tree = window.Tree();
        const HTREEITEM kill = TreeNext(tree, window.Processes(), TVGN_NEXT);
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(kill));
        NMTREEVIEWA drag = {};
        drag.hdr.hwndFrom = tree;
        drag.hdr.idFrom = 302;
        drag.hdr.code = TVN_BEGINDRAGA;
        drag.itemNew.hItem = parentItem->hTreeNode;
        drag.itemNew.lParam = reinterpret_cast<LPARAM>(parentItem);
        debug.Clear();
        SendMessageA(window.hwnd, WM_NOTIFY, 302, reinterpret_cast<LPARAM>(&drag));
        RECT itemRect;
        std::memcpy(&itemRect, &kill, sizeof(kill));
        REQUIRE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&itemRect)));
        POINT point = {(itemRect.left + itemRect.right) / 2, (itemRect.top + itemRect.bottom) / 2};
        MapWindowPoints(tree, window.hwnd, &point, 1);
        SendMessageA(window.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        // The drop opens the termination dialog with the parent: read and cancel it.
        g_terminationRows = -1;
        SetTimer(nullptr, 0, 100, CancelTermination);
        SendMessageA(window.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        CHECK(debug.Text().find("1 process(es) dropped on Kill") != std::string::npos);
        CHECK(g_terminationRows == 1);
        CHECK(parent.IsRunning());
        CHECK(GetCapture() != window.hwnd);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("closing saves placement, pane width and the shown list's column order only")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-save");
        const std::string path = folder + "\\Tarnwick.ui";
        RECT placed;
        {
            Frame window(path);
            MoveWindow(window.hwnd, 40, 30, 700, 500, TRUE);
            GetWindowRect(window.hwnd, &placed);
            // PID first, then Name; as the header drag would leave it.
            HWND header = reinterpret_cast<HWND>(SendMessageA(window.List(), LVM_GETHEADER, 0, 0));
            const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
            REQUIRE(count >= 3);
            std::vector<int> order(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
            std::swap(order[0], order[1]);
            SendMessageA(window.List(), LVM_SETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
            SendMessageA(window.hwnd, FrameIds::kStoreColumnOrder, 0, 0);
            window.Command(ID_FILE_QUIT);
            CHECK_FALSE(IsWindow(window.hwnd));
        }
        const std::vector<char> bytes = ReadFile(path);
        REQUIRE(bytes.size() == 778);
        UserSettings saved;
        std::memcpy(&saved, bytes.data(), sizeof(saved));
        CHECK(saved.anProcessColumnOrder[0] == 1);
        CHECK(saved.anProcessColumnOrder[1] == 0);
        CHECK(saved.anProcessColumnOrder[2] == 2);
        UserSettings defaults;
        UserSettingsFile::SetDefaults(defaults);
        CHECK(std::memcmp(saved.anModuleColumnOrder, defaults.anModuleColumnOrder, 48) == 0);
        CHECK(saved.nModuleColumnCount == 12);
        CHECK(saved.wpMainWindow.rcNormalPosition.left == placed.left);
        CHECK(saved.wpMainWindow.rcNormalPosition.right == placed.right);
        CHECK(saved.nLeftPaneWidth >= 100);

        // The next start shows the stored order.
        Frame again(path);
        HWND header = reinterpret_cast<HWND>(SendMessageA(again.List(), LVM_GETHEADER, 0, 0));
        std::vector<int> all(static_cast<size_t>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)));
        SendMessageA(again.List(), LVM_GETCOLUMNORDERARRAY, all.size(), reinterpret_cast<LPARAM>(all.data()));
        CHECK(all[0] == 1);
        CHECK(all[1] == 0);
        RECT restored;
        GetWindowRect(again.hwnd, &restored);
        CHECK(restored.left == placed.left);
        CHECK(restored.bottom == placed.bottom);
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("the process list's columns and identifiers per OS family")
    {
        const std::string folder = TestPaths::MakeScratchFolder("frame-family");
        OsVersion os;
        const bool nt = !os.Is9xFamily();
        // Every column of the snapshot is visible by default, and on the NT family
        // CPU and Private Bytes join them; the 9x family still hides four.
        Frame window(folder + "\\Tarnwick.ui");
        HWND header = reinterpret_cast<HWND>(SendMessageA(window.List(), LVM_GETHEADER, 0, 0));
        const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        CHECK(columns == (nt ? 14 : 8));
        char text[64] = {};
        HDITEMA item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(header, HDM_GETITEMA, 3, reinterpret_cast<LPARAM>(&item));
        CHECK(std::string(text) == (nt ? "Version" : "Threads"));
        const int row = window.ProcessRow(GetCurrentProcessId());
        REQUIRE(row >= 0);
        char pid[32] = {};
        LVITEMA cell = {};
        cell.iSubItem = 1;
        cell.pszText = pid;
        cell.cchTextMax = sizeof(pid);
        SendMessageA(window.List(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
        char expected[32];
        snprintf(expected, sizeof(expected), nt ? "%lu" : "0x%08lX", GetCurrentProcessId());
        CHECK(std::string(pid) == expected);
        TestPaths::RemoveTree(folder);
    }
}
