// The driver against its own target program (target/): what it reads across
// processes, how it acts, and its guards.
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/target/TargetIds.h"

#include <tlhelp32.h>

namespace {
const char kTargetExe[] = "tw-e2e-target.exe";

using Texts = std::vector<std::string>;

Window StartTarget(Program& target, const std::string& switches = std::string())
{
    REQUIRE(target.Start(switches));
    Window main = target.WaitForWindow(TARGET_CLASS, "", 15000);
    REQUIRE(main);
    return main;
}

std::string TreeShape(const std::vector<TreeItem>& items)
{
    std::string shape;
    for (const TreeItem& item : items)
        shape += std::string(static_cast<size_t>(item.level), '>') + item.text + (item.expanded ? "+" : "") + ";";
    return shape;
}

DWORD ModuleBase(DWORD pid, const char* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof(module);
    DWORD base = 0;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
        if (lstrcmpiA(module.szModule, name) == 0) base = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(module.modBaseAddr));
    CloseHandle(snapshot);
    return base;
}
} // namespace

TEST_SUITE("driver") {

TEST_CASE("target: tree, list, header, status bar and infobar read and driven across processes")
{
    CHECK(Program::RemoveSettings());
    Program target(kTargetExe);
    const Window main = StartTarget(target, "--exit-code=7");
    CHECK(main.Text() == TARGET_TITLE);
    CHECK(main.Pid() == target.Pid());
    CHECK(main.Placement().showCmd == SW_SHOWNORMAL);

    RemoteTreeView tree(main.Child(IDC_TARGET_TREE));
    std::vector<TreeItem> items = tree.Items();
    CHECK(TreeShape(items) == "Root+;>Alpha+;>>Alpha 1;>>Alpha 2;>Beta;Second root;>Hidden child;");
    REQUIRE(items.size() == 7);
    CHECK(items[2].parent == 1);
    CHECK(items[4].parent == 0);
    CHECK(items[5].hasChildren);
    CHECK(items[1].image == 1);
    CHECK(items[3].image == 2);
    CHECK(tree.Count() == 7);

    RemoteListView list(main.Child(IDC_TARGET_LIST));
    REQUIRE(list.Count() == 5);
    CHECK(list.ColumnCount() == 3);
    const ListRow gamma = list.Row(2);
    CHECK(gamma.texts == Texts{"gamma.dll", "8 Kb", "Library"});
    CHECK(gamma.indent == 1);
    CHECK(gamma.image == 0);
    CHECK(list.Row(3).image == 2);
    CHECK(list.Column(0) == Texts{"alpha.dll", "beta.exe", "gamma.dll", "delta.sys", "epsilon.ocx"});
    CHECK(list.FindRow("1.024 Kb", 1) == 4);

    RemoteHeader header(list.Header());
    CHECK(header.Texts() == Texts{"Name", "Kind", "Size"});
    CHECK(header.Order() == std::vector<int>{0, 2, 1});
    CHECK(header.SortedItem().index == 1);
    CHECK(header.SortedItem().SortArrow() == -1);
    CHECK(header.Item(1).PictureOnRight());
    CHECK((header.Item(1).format & HDF_JUSTIFYMASK) == HDF_RIGHT);
    CHECK(header.Item(2).width == 140);

    RemoteStatusBar status(main.Child(IDC_TARGET_STATUS));
    CHECK(status.Parts() == 3);
    CHECK(status.Texts() == Texts{"Ready", "Count : 0", ""});
    CHECK(status.Tip(0) == "Ready tip");
    const std::vector<int> edges = status.PartEdges();
    REQUIRE(edges.size() == 3);
    CHECK(edges[1] - edges[0] == 160);
    CHECK(edges[2] == -1);

    const Window infobar = main.Child(IDC_TARGET_INFOBAR);
    CHECK(infobar.ClassName() == "Orvo_InfobarWndClass");
    CHECK(infobar.Text() == "Target ready");

    // Selections reach the owner's notification handlers.
    REQUIRE(tree.Select(tree.FindPath({"Root", "Alpha", "Alpha 2"})));
    CHECK(infobar.WaitText("Tree: Alpha 2", 3000));
    CHECK(tree.Text(tree.Selection()) == "Alpha 2");
    CHECK(target.WaitForDebugLine("target: tree Alpha 2", 5000));
    REQUIRE(list.Select(3));
    CHECK(list.Selected() == std::vector<int>{3});
    CHECK(list.Row(3).selected);
    CHECK(Wait::Until([&] { return status.Text(0) == "Row: delta.sys"; }, 3000));

    // Mouse: a header click sorts, a second one turns the arrow; a tree click selects.
    REQUIRE(header.ClickItem(0));
    CHECK(Wait::Until([&] { return status.Text(2) == "By Name up"; }, 3000));
    CHECK(header.SortedItem().index == 0);
    CHECK(header.SortedItem().SortArrow() == 1);
    REQUIRE(header.ClickItem(0));
    CHECK(Wait::Until([&] { return header.SortedItem().SortArrow() == -1; }, 3000));
    REQUIRE(tree.ClickItem(tree.Find("Beta")));
    CHECK(infobar.WaitText("Tree: Beta", 3000));

    // The toolbar: ids, texts, states; a button clicked with the mouse.
    RemoteToolbar toolbar(main.Child(IDC_TARGET_TOOLBAR));
    CHECK(toolbar.Ids() == std::vector<int>{IDM_TARGET_COUNT, 0, IDM_TARGET_DEBUG, IDM_TARGET_BOX});
    CHECK(toolbar.Button(2).text == "Lines");
    CHECK(toolbar.Button(1).IsSeparator());
    CHECK(toolbar.IsEnabled(IDM_TARGET_COUNT));
    CHECK(!toolbar.IsEnabled(IDM_TARGET_BOX));
    REQUIRE(toolbar.ClickButton(IDM_TARGET_COUNT));
    CHECK(Wait::Until([&] { return status.Text(1) == "Count : 1"; }, 3000));

    // Keys through the target's accelerators, with the list focused.
    REQUIRE(Input::Focus(list.GetWindow()));
    CHECK(Desktop::Foreground() == main);
    CHECK(Input::Keys("F5"));
    CHECK(Wait::Until([&] { return status.Text(1) == "Count : 2"; }, 3000));
    CHECK(Input::Keys("Ctrl+F5"));
    CHECK(Wait::Until([&] { return status.Text(1) == "Full : 1"; }, 3000));

    // Pixels: the infobar's gradient starts dark blue and carries white text.
    const ScreenImage bar = ScreenImage::CaptureClient(infobar);
    REQUIRE(bar.Width() > 100);
    CHECK(bar.Pixel(8, 16) == RGB(0, 0, 128));
    CHECK(bar.Count(RGB(255, 255, 255)) > 20);
    CHECK(bar.Crop(RECT{0, 0, 4, 32}).DominantColor() != RGB(0, 0, 128));
    CHECK(!Screenshot::SaveDesktop("target").empty());

    const std::string dump = WindowDump::Describe(main);
    CHECK(dump.find("\"Alpha 2\"") != std::string::npos);
    CHECK(dump.find("epsilon.ocx | 1.024 Kb | Control") != std::string::npos);
    CHECK(dump.find("part 1 (to ") != std::string::npos);
    CHECK(dump.find("[40006 \"Count\"] | [40003 \"Lines\"] [40001 \"Box\" disabled]") != std::string::npos);

    CHECK(target.Close());
    CHECK(target.ExitCode() == 7);
}

TEST_CASE("target: a dialog read, filled in and confirmed; an expected message box")
{
    Program target(kTargetExe);
    const Window main = StartTarget(target);
    main.PostCommand(IDM_TARGET_DIALOG);
    const Dialog dialog = Dialog::WaitFor(TARGET_DIALOG_TITLE, target.Pid());
    REQUIRE(dialog);
    CHECK(dialog.GetWindow().Owner() == main);
    CHECK(dialog.ControlText(IDC_DIALOG_PROMPT) == "Pick a colour:");
    CHECK(dialog.ButtonTexts() == Texts{"OK", "Cancel"});
    RemoteListBox colours(dialog.Control(IDC_DIALOG_COLOURS));
    CHECK(colours.Texts() == Texts{"Red", "Green", "Blue"});
    CHECK(colours.Selection() == 1);
    CHECK(RemoteListView(dialog.Control(IDC_DIALOG_LIST)).Column(0) == Texts{"first entry", "second entry"});

    REQUIRE(colours.Select(2));
    REQUIRE(Input::Focus(dialog.Control(IDC_DIALOG_EDIT)));
    Input::Type("Hello 42");
    CHECK(dialog.Control(IDC_DIALOG_EDIT).WaitText("Hello 42", 3000));
    REQUIRE(Input::ClickCenter(dialog.Control(IDC_DIALOG_CHECK)));
    CHECK(Wait::Until([&] { return dialog.Control(IDC_DIALOG_CHECK).CheckState() == BST_CHECKED; }, 3000));
    CHECK(dialog.Press(IDOK));
    CHECK(dialog.WaitGone());
    RemoteStatusBar status(main.Child(IDC_TARGET_STATUS));
    CHECK(Wait::Until([&] { return status.Text(0) == "Dialog OK: Blue / Hello 42 / checked"; }, 3000));

    main.PostCommand(IDM_TARGET_BOX);
    const Dialog box = Dialog::WaitFor("Tarnwick 2.6", target.Pid());
    REQUIRE(box);
    CHECK(box.MessageText() == "Something unexpected happened.");
    CHECK(box.Press(IDOK));
    CHECK(box.WaitGone());
    CHECK(target.Close());
    CHECK(target.ExitCode() == 0);
}

// Exactly one failure: the guard's report. A guard that stays silent or
// leaves the box open adds a second.
TEST_CASE("guard: an unexpected \"Tarnwick 2.6\" box fails the test and is closed" * doctest::expected_failures(1))
{
    Program target(kTargetExe);
    const Window main = StartTarget(target);
    const int before = BoxGuard::ReportedCount();
    main.PostCommand(IDM_TARGET_BOX);
    Wait::Until([&] { return BoxGuard::ReportedCount() > before; }, 5000);
    CHECK(BoxGuard::ReportedCount() == before + 1);
    CHECK(Wait::Until([] { return !Desktop::Find(WindowQuery("#32770", "Tarnwick 2.6")); }, 5000));
}

TEST_CASE("target: debug output by DBWIN and by the debugger, clipboard text, a crash seen by the debugger")
{
    Program target(kTargetExe);
    const Window main = StartTarget(target);
    CHECK(target.WaitForDebugLine("target: started", 5000));
    const size_t mark = target.DebugMark();
    main.PostCommand(IDM_TARGET_DEBUG);
    CHECK(target.WaitForDebugLine("target: line two", 5000, mark));
    CHECK(target.DebugLines(mark) == Texts{"target: line one\n", "target: line two\n"});

    REQUIRE(Clipboard::Clear());
    RemoteListView(main.Child(IDC_TARGET_LIST)).Select(1);
    main.PostCommand(IDM_TARGET_COPY);
    CHECK(Clipboard::WaitForText(3000));
    CHECK(Clipboard::Text() == "Copied from target: beta.exe\r\nsecond line");
    CHECK(target.Close());

    Program debugged(kTargetExe);
    REQUIRE(debugged.StartDebugged("--title=Debugged"));
    const Window window = debugged.WaitForWindow(TARGET_CLASS, "Debugged");
    REQUIRE(window);
    REQUIRE(debugged.Debugger());
    CHECK(debugged.WaitForDebugLine("target: started --title=Debugged", 5000));
    // The test acts while the debug loop runs.
    window.PostCommand(IDM_TARGET_DEBUG);
    CHECK(debugged.WaitForDebugLine("target: line two", 5000));
    CHECK(RemoteListView(window.Child(IDC_TARGET_LIST)).Count() == 5);
    CHECK(debugged.Debugger()->Crashes().empty());

    debugged.ExpectCrash();
    window.PostCommand(IDM_TARGET_CRASH);
    CHECK(debugged.WaitExit(10000));
    const std::vector<DebugException> crashes = debugged.Debugger()->Crashes();
    REQUIRE(crashes.size() == 1);
    CHECK(crashes[0].code == EXCEPTION_ACCESS_VIOLATION);
    CHECK(debugged.Crashed());
}

TEST_CASE("helper: a minimised window, a DLL loaded on an event, always relocated")
{
    const std::string trigger = HelperProgram::NewEventName("tw-e2e-load");
    HelperProgram helper;
    REQUIRE(helper.Start("window \"E2E Helper\" min loadon " + trigger + " tw-reloc.dll"));
    const Window window = helper.WaitForWindow("E2E Helper");
    REQUIRE(window);
    CHECK(window.IsMinimized());
    CHECK(ModuleBase(helper.Pid(), "tw-reloc.dll") == 0);
    REQUIRE(HelperProgram::TriggerLoad(trigger));
    const DWORD base = ModuleBase(helper.Pid(), "tw-reloc.dll");
    CHECK(base != 0);
    CHECK(base != 0x00400000);
    window.Close();
    CHECK(WaitForSingleObject(helper.Handle(), 5000) == WAIT_OBJECT_0);
}

TEST_CASE("desktop: 1024 x 768 with a taskbar; a settings file reaches the program folder; a crash is seen")
{
    const SIZE size = Desktop::Size();
    CHECK(size.cx == 1024);
    CHECK(size.cy == 768);
    CHECK(Desktop::Tray());

    REQUIRE(Program::WriteSettings(std::vector<unsigned char>(778, 0)));
    Program target(kTargetExe);
    const Window main = StartTarget(target);
    CHECK(main.Child(IDC_TARGET_INFOBAR).Text() == "Settings: 778 bytes");
    CHECK(Program::ReadSettings().size() == 778);

    // Wine's crash handler ends a crashed program without a dialog in this prefix.
    target.ExpectCrash();
    main.PostCommand(IDM_TARGET_CRASH);
    CHECK(target.WaitExit(15000));
    CHECK(target.Crashed());
    CHECK(target.ExitCode() == EXCEPTION_ACCESS_VIOLATION);
    CHECK(Program::RemoveSettings());
    CHECK(!Program::SettingsExist());
}

} // TEST_SUITE
