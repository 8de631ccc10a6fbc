// The main window as a user meets it: start-up, the process tree and lists,
// the module list's sort modes, refreshing, the bars and the settings file.
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/RemoteBuffer.h"

#include "app/settings/UserSettings.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace {

const char kFrameClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";
const char kNoItems[] = "There are no items to show in this view";
const char kQuiet[] = "--nosplash --priority-normal";

// ---- Console tool ---------------------------------------------------------------

bool RunConsole(const std::string& arguments, std::string& output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string line = "\"" + E2ePaths::ProgramPath("tarnwick-cli.exe") + "\" " + arguments;
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        E2ePaths::ProgramFolder().c_str(), &startup, &info);
    CloseHandle(writeEnd);
    output.clear();
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got) output.append(buffer, got);
        WaitForSingleObject(info.hProcess, 30000);
        DWORD code = 1;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        CloseHandle(readEnd);
        return code == 0;
    }
    CloseHandle(readEnd);
    return false;
}

std::string Unescape(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char next = field[++i];
        out += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

// The console tool's table without its header line, fields unescaped.
std::vector<std::vector<std::string>> ConsoleTable(const std::string& arguments)
{
    std::string out;
    std::vector<std::vector<std::string>> rows;
    if (!RunConsole(arguments, out)) return rows;
    size_t start = out.find('\n');
    while (start != std::string::npos && start + 1 < out.size()) {
        const size_t end = out.find('\n', start + 1);
        std::string line = out.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        size_t from = 0, tab;
        while ((tab = line.find('\t', from)) != std::string::npos) {
            fields.push_back(Unescape(line.substr(from, tab - from)));
            from = tab + 1;
        }
        fields.push_back(Unescape(line.substr(from)));
        rows.push_back(fields);
        start = end;
    }
    return rows;
}

// The first `columns` fields of each row.
std::vector<std::vector<std::string>> Leading(std::vector<std::vector<std::string>> rows, size_t columns)
{
    for (auto& row : rows)
        if (row.size() > columns) row.resize(columns);
    return rows;
}

std::vector<std::vector<std::string>> ListTexts(const RemoteListView& list)
{
    std::vector<std::vector<std::string>> rows;
    for (const ListRow& row : list.Rows()) rows.push_back(row.texts);
    return rows;
}

// ---- The program's windows ------------------------------------------------------

std::string ComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof(name);
    GetComputerNameA(name, &size);
    return name;
}

std::string PidText(DWORD pid)
{
    char text[32];
    snprintf(text, sizeof(text), E2ePaths::IsNineX() ? "0x%08lX" : "%lu", static_cast<unsigned long>(pid));
    return text;
}

DWORD ParsePid(const std::string& text)
{
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, E2ePaths::IsNineX() ? 16 : 10));
}

struct Main {
    explicit Main(const Window& frame) : frame(frame) {}
    Window frame;
    Window Tree() const { return frame.Child(302); }
    Window List() const { return frame.Child(304); }
    Window Infobar() const { return frame.Child(303); }
    Window Status() const { return frame.Child(305); }
    std::string StatusText() const { return RemoteStatusBar(Status()).Text(0); }
    HTREEITEM Processes() const { return RemoteTreeView(Tree()).FindPath({"\\\\" + ComputerName(), "Processes"}); }
    HTREEITEM Kill() const { return RemoteTreeView(Tree()).FindPath({"\\\\" + ComputerName(), "Kill"}); }
    HTREEITEM Root() const { return RemoteTreeView(Tree()).FindPath({"\\\\" + ComputerName()}); }
    // The list shows processes; waits until it is filled.
    bool ShowProcesses() const
    {
        RemoteTreeView(Tree()).Select(Processes());
        return Wait::Until([&] { return StatusText().rfind("Processes : ", 0) == 0; }, 10000);
    }
    int ProcessRow(DWORD pid) const { return RemoteListView(List()).FindRow(PidText(pid), 1); }
    // Selects the process's row and asks for its modules (40099).
    bool ShowModules(DWORD pid) const
    {
        if (!ShowProcesses()) return false;
        const int row = ProcessRow(pid);
        if (row < 0 || !RemoteListView(List()).Select(row)) return false;
        frame.PostCommand(40099);
        return Wait::Until([&] { return StatusText().rfind("Modules : ", 0) == 0; }, 10000);
    }
    // Tree items below "Processes".
    std::vector<TreeItem> ProcessItems() const
    {
        const std::vector<TreeItem> all = RemoteTreeView(Tree()).Items();
        std::vector<TreeItem> below;
        int processes = -1;
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].text == "Processes" && all[i].level == 1) processes = static_cast<int>(i);
            else if (processes >= 0 && all[i].level <= 1) break;
            else if (processes >= 0) below.push_back(all[i]);
        }
        return below;
    }
};

Window StartMain(Program& app, const std::string& switches = kQuiet)
{
    if (!app.Start(switches)) return Window();
    return app.WaitForWindow(kFrameClass, kTitle, 15000);
}

// Settings the program wrote, changed and stored again.
bool EditSettings(const std::function<void(UserSettings&)>& edit)
{
    std::vector<unsigned char> bytes = Program::ReadSettings();
    if (bytes.size() != sizeof(UserSettings)) return false;
    UserSettings settings;
    std::memcpy(&settings, bytes.data(), sizeof(settings));
    edit(settings);
    std::memcpy(bytes.data(), &settings, sizeof(settings));
    return Program::WriteSettings(bytes);
}

// Default settings as the program writes them: start once and close.
bool WriteDefaultSettings()
{
    Program::RemoveSettings();
    Program app;
    if (!StartMain(app)) return false;
    return app.Close() && Program::ReadSettings().size() == 778;
}

int CountColor(const Window& list, int row, COLORREF color)
{
    RECT rect;
    if (!RemoteListView(list).ItemRect(row, rect, LVIR_BOUNDS)) return -1;
    const RECT client = list.ClientRectOnScreen();
    OffsetRect(&rect, client.left, client.top);
    // The row is wider than the list: only what is on the screen.
    IntersectRect(&rect, &rect, &client);
    return ScreenImage::Capture(rect).Count(color);
}

} // namespace

TEST_SUITE("main window") {

TEST_CASE("main window: start-up switches, priority, splash, debug trace, instance mutexes")
{
    Program::RemoveSettings();
    {
        Program quiet;
        const Window main = StartMain(quiet);
        REQUIRE(main);
        CHECK(quiet.PriorityClass() == NORMAL_PRIORITY_CLASS);
        // No splash window at any time.
        CHECK_FALSE(Wait::Until([&] { return bool(Desktop::Find(WindowQuery("#32770", "", quiet.Pid()))); }, 1500));
        CHECK(quiet.DebugText().find("Version of Comctl32.dll") == std::string::npos);

        // The mutexes: the logon's always, the machine's after NT 4.
        HANDLE local = OpenMutexA(SYNCHRONIZE, FALSE, "TarnwickApplicationMutex");
        HANDLE global = OpenMutexA(SYNCHRONIZE, FALSE, "Global\\TarnwickApplicationMutex");
        CHECK(local != nullptr);
        CHECK((global != nullptr) == !E2ePaths::IsNineX());
        if (local) CloseHandle(local);
        if (global) CloseHandle(global);

        // A second copy starts as well; its splash raises its own window, not the first one's.
        Program second;
        REQUIRE(second.Start("--priority-normal"));
        const Window splash = Desktop::WaitFor(WindowQuery("#32770", "", second.Pid()), 10000);
        REQUIRE(splash);
        const Window other = second.WaitForWindow(kFrameClass, kTitle, 15000);
        REQUIRE(other);
        CHECK(other != main);
        CHECK(splash.WaitGone(6000));
        CHECK(Wait::Until([&] { return Desktop::Foreground().Pid() == second.Pid(); }, 3000));
        CHECK(second.Close());
        CHECK(quiet.Close());
    }
    // Both gone: nobody holds the names any more.
    CHECK(OpenMutexA(SYNCHRONIZE, FALSE, "TarnwickApplicationMutex") == nullptr);
    CHECK(OpenMutexA(SYNCHRONIZE, FALSE, "Global\\TarnwickApplicationMutex") == nullptr);

    {
        Program plain;
        REQUIRE(plain.Start(""));
        const DWORD started = GetTickCount();
        const Window splash = Desktop::WaitFor(WindowQuery("#32770", "", plain.Pid()), 5000);
        REQUIRE(splash);
        CHECK(plain.PriorityClass() == HIGH_PRIORITY_CLASS);
        const RECT rect = splash.Rect();
        CHECK(rect.right - rect.left == 360);
        CHECK(rect.bottom - rect.top == 200);
        const SIZE desktop = Desktop::Size();
        CHECK(rect.left == desktop.cx / 2 - 180);
        CHECK(rect.top == desktop.cy / 2 - 100);
        CHECK(splash.IsTopmost());
        CHECK((splash.ExStyle() & WS_EX_TOOLWINDOW) != 0);
        CHECK(splash.Text().empty());
        const Window main = plain.WaitForWindow(kFrameClass, kTitle, 15000);
        REQUIRE(main);
        // Above the main window while it shows, on the screen too: its picture
        // (dark blue at the top, a light line near the bottom) is there.
        if (splash.IsVisible()) {
            const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            CHECK(Window(WindowFromPoint(centre)).TopLevel() == splash);
            const RECT screen = {0, 0, Desktop::Size().cx, Desktop::Size().cy};
            ScreenImage desktopImage;
            CHECK(Wait::Until(
                [&] {
                    desktopImage = ScreenImage::CaptureNow(screen);
                    const ScreenImage picture = desktopImage.Crop(rect);
                    return picture.Pixel(4, 4) == RGB(29, 78, 143) && picture.Pixel(180, 150) == RGB(255, 213, 74);
                },
                1500));
            Screenshot::Save(desktopImage, "splash");
        }
        CHECK(splash.WaitGone(5000 - std::min<DWORD>(GetTickCount() - started, 5000) + 500));
        CHECK(Wait::Until([&] { return Desktop::Foreground() == main; }, 3000));
        CHECK(plain.Close());
    }
    {
        // "--nosplash" and "--debug" found inside one word.
        Program traced;
        REQUIRE(StartMain(traced, "--nosplash--debug --priority-normal"));
        CHECK(traced.WaitForDebugLine("Version of Comctl32.dll", 5000));
        CHECK(traced.DebugText().find("call to 'InitCommonControlsEx' was successful") != std::string::npos);
        CHECK_FALSE(Desktop::Find(WindowQuery("#32770", "", traced.Pid())));
        CHECK(traced.Close());
    }
}

TEST_CASE("main window: children, toolbar, fixed tree items and the process count")
{
    Program::RemoveSettings();
    Program app;
    const Window frame = StartMain(app);
    REQUIRE(frame);
    Main main(frame);
    CHECK(frame.Child(300).ClassName() == "ReBarWindow32");
    CHECK(frame.Child(300).Child(301).ClassName() == "ToolbarWindow32");
    CHECK(main.Tree().ClassName() == "Orvo_TreeViewEx");
    CHECK(main.Infobar().ClassName() == "Orvo_InfobarWndClass");
    CHECK(main.List().ClassName() == "Orvo_GridView");
    CHECK(main.Status().ClassName() == "msctls_statusbar32");
    CHECK(main.Status().Child(306).ClassName() == "msctls_progress32");
    CHECK(RemoteToolbar(frame.Child(300).Child(301)).Ids()
          == std::vector<int>{40056, 0, 40049, 40050, 40103, 0, 40054, 0, 40061, 0, 40053});

    RemoteTreeView tree(main.Tree());
    const std::vector<TreeItem> items = tree.Items();
    REQUIRE(items.size() >= 3);
    CHECK(items[0].text == "\\\\" + ComputerName());
    CHECK(items[0].level == 0);
    std::vector<std::string> fixed;
    for (const TreeItem& item : items)
        if (item.level == 1) fixed.push_back(item.text);
    CHECK(fixed == std::vector<std::string>{"Processes", "Kill"});
    CHECK(tree.Text(tree.Selection()) == "Processes");

    const int rows = RemoteListView(main.List()).Count();
    CHECK(rows > 0);
    CHECK(main.StatusText() == "Processes : " + std::to_string(rows));
    CHECK(static_cast<int>(main.ProcessItems().size()) == rows);
    CHECK(main.Infobar().Text() == "Processes");
    CHECK(app.Close());
}

TEST_CASE("main window: process list columns, the helper's row, nesting, sorting, service colour")
{
    Program::RemoveSettings();
    const std::string childEvent = HelperProgram::NewEventName("child");
    HANDLE childReady = CreateEventA(nullptr, TRUE, FALSE, childEvent.c_str());
    HelperProgram helper;
    REQUIRE(helper.Start("spawn " + childEvent));
    REQUIRE(WaitForSingleObject(childReady, 20000) == WAIT_OBJECT_0);
    CloseHandle(childReady);

    Program app;
    Main main(StartMain(app));
    REQUIRE(main.frame);
    RemoteListView list(main.List());
    const std::vector<std::string> headers = RemoteHeader(list.Header()).Texts();
    if (E2ePaths::IsNineX())
        CHECK(headers == std::vector<std::string>{"Name", "PID", "Parent PID", "Threads", "Priority Class", "Version",
                                                  "Description", "Company Name"});
    else
        CHECK(headers == std::vector<std::string>{"Name", "PID", "Parent PID", "Version", "Description", "Company Name",
                                                  "Owner", "Threads", "Handles", "Priority Class", "Created",
                                                  "Commandline", "CPU", "Private Bytes"});

    // The helper's row reads as the console tool's.
    const int row = main.ProcessRow(helper.Pid());
    REQUIRE(row >= 0);
    const auto console = Leading(ConsoleTable("ps"), headers.size());
    const std::vector<std::string> shown = list.Row(row).texts;
    bool found = false;
    for (const auto& line : console)
        if (line.size() > 1 && line[1] == PidText(helper.Pid())) {
            found = true;
            CHECK(line == shown);
        }
    CHECK(found);

    // The child hangs below the helper.
    const std::vector<TreeItem> items = RemoteTreeView(main.Tree()).Items();
    int parent = -1, child = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].text == "tw-helper.exe") (parent < 0 ? parent : child) = static_cast<int>(i);
    REQUIRE(child > parent);
    CHECK(items[static_cast<size_t>(child)].parent == parent);
    // The child outlives its parent's end: it is ended here.
    struct ChildEnd {
        DWORD pid = 0;
        ~ChildEnd()
        {
            HANDLE process = pid ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr;
            if (process) {
                TerminateProcess(process, 0);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    } childEnd;
    for (const std::vector<std::string>& line : console)
        if (line.size() > 2 && line[2] == PidText(helper.Pid())) childEnd.pid = ParsePid(line[1]);
    CHECK(childEnd.pid != 0);

    // PID: ascending, then descending, with the arrow.
    REQUIRE(RemoteHeader(list.Header()).ClickItem(1));
    auto pids = [&] {
        std::vector<DWORD> out;
        for (const std::string& text : RemoteListView(main.List()).Column(1)) out.push_back(ParsePid(text));
        return out;
    };
    CHECK(Wait::Until([&] { return RemoteHeader(RemoteListView(main.List()).Header()).SortedItem().index == 1; }, 3000));
    std::vector<DWORD> ascending = pids();
    CHECK(std::is_sorted(ascending.begin(), ascending.end()));
    CHECK(RemoteHeader(list.Header()).SortedItem().SortArrow() == 1);
    REQUIRE(RemoteHeader(list.Header()).ClickItem(1));
    CHECK(Wait::Until([&] { return RemoteHeader(RemoteListView(main.List()).Header()).SortedItem().SortArrow() == -1; },
                      3000));
    std::vector<DWORD> descending = pids();
    CHECK(std::is_sorted(descending.rbegin(), descending.rend()));
    Screenshot::SaveDesktop("process-list");

    // Services in their colour (the 9x family has none).
    if (!E2ePaths::IsNineX()) {
        const int service = list.FindRow("plugplay.exe");
        REQUIRE(service >= 0);
        list.EnsureVisible(service);
        CHECK(CountColor(main.List(), service, RGB(200, 100, 0)) > 0);
        const int plain = main.ProcessRow(helper.Pid());
        CHECK(CountColor(main.List(), plain, RGB(200, 100, 0)) == 0);
    }
    CHECK(app.Close());

    // Without parent/child resolution every process is a direct child of "Processes".
    REQUIRE(EditSettings([](UserSettings& s) { s.bResolveProcessDependencies = 0; }));
    Program flat;
    Main flatMain(StartMain(flat));
    REQUIRE(flatMain.frame);
    const std::vector<TreeItem> flatItems = flatMain.ProcessItems();
    REQUIRE(!flatItems.empty());
    for (const TreeItem& item : flatItems) CHECK(item.level == 2);
    CHECK(static_cast<int>(flatItems.size()) == RemoteListView(flatMain.List()).Count());
    Screenshot::SaveDesktop("flat-tree");
    CHECK(flat.Close());
}

TEST_CASE("main window: a process's modules, the five sort modes, dynamic and relocated modules")
{
    Program::RemoveSettings();
    HelperProgram helper;
    REQUIRE(helper.Start("load restypes.dll load tw-reloc.dll"));
    Program app;
    Main main(StartMain(app));
    REQUIRE(main.frame);

    // 40099 on the helper's row: its modules, named in the infobar.
    REQUIRE(main.ShowModules(helper.Pid()));
    RemoteTreeView tree(main.Tree());
    CHECK(tree.Text(tree.Selection()) == "tw-helper.exe");
    CHECK(main.Infobar().Text() == "tw-helper.exe - [PID: " + PidText(helper.Pid()) + "]");
    const std::string pid = std::to_string(helper.Pid());
    RemoteListView list(main.List());
    CHECK(main.StatusText() == "Modules : " + std::to_string(list.Count()));
    CHECK(Leading(ConsoleTable("modules --sort name " + pid), 9) == ListTexts(list));
    Screenshot::SaveDesktop("module-list");

    // The sort commands and their keys order the rows as the console tool does.
    const struct {
        int command;
        const char* keys;
        const char* mode;
    } modes[] = {{40075, "Alt+2", "ext"}, {40078, "Alt+3", "order"}, {40076, "Alt+4", "relocated"},
                 {40077, "Alt+5", "dynamic"}, {40074, "Alt+1", "name"}};
    for (const auto& mode : modes) {
        CAPTURE(mode.mode);
        const auto expected = Leading(ConsoleTable(std::string("modules --sort ") + mode.mode + " " + pid), 9);
        main.frame.PostCommand(mode.command);
        CHECK(Wait::Until([&] { return ListTexts(RemoteListView(main.List())) == expected; }, 5000));
    }
    REQUIRE(Input::Focus(main.List()));
    for (const auto& mode : modes) {
        CAPTURE(mode.keys);
        const auto expected = Leading(ConsoleTable(std::string("modules --sort ") + mode.mode + " " + pid), 9);
        REQUIRE(Input::Keys(mode.keys));
        CHECK(Wait::Until([&] { return ListTexts(RemoteListView(main.List())) == expected; }, 5000));
    }

    // The relocated module's picture; the dynamically loaded one's colour.
    const int reloc = list.FindRow("tw-reloc.dll");
    REQUIRE(reloc >= 0);
    CHECK(list.Row(reloc).image == 6);
    // The helper's own image loads where it asks to.
    const int exe = list.FindRow("tw-helper.exe");
    REQUIRE(exe >= 0);
    CHECK(list.Row(exe).image != 6);
    const int dynamic = list.FindRow("restypes.dll");
    REQUIRE(dynamic >= 0);
    list.EnsureVisible(dynamic);
    CHECK(CountColor(main.List(), dynamic, RGB(0, 0, 160)) > 0);

    // The sort modes do nothing on the process list.
    REQUIRE(main.ShowProcesses());
    const std::vector<std::string> names = RemoteListView(main.List()).Column(0);
    main.frame.PostCommand(40076);
    Wait::Pause(300);
    CHECK(RemoteListView(main.List()).Column(0) == names);
    CHECK(app.Close());

    // Without the colour of dynamic loads.
    REQUIRE(EditSettings([](UserSettings& s) { s.bHighlightDynamicLoads = 0; }));
    Program plain;
    Main plainMain(StartMain(plain));
    REQUIRE(plainMain.ShowModules(helper.Pid()));
    RemoteListView plainList(plainMain.List());
    const int row = plainList.FindRow("restypes.dll");
    REQUIRE(row >= 0);
    plainList.EnsureVisible(row);
    CHECK(CountColor(plainMain.List(), row, RGB(0, 0, 160)) == 0);
    CHECK(plain.Close());
}

TEST_CASE("main window: F5, Ctrl+F5 and 40056; empty fixed items; a setting change waits for a menu; arrow keys")
{
    Program::RemoveSettings();
    HelperProgram first;
    REQUIRE(first.Start());
    Program app;
    Main main(StartMain(app, "--nosplash --priority-normal --debug"));
    REQUIRE(main.frame);
    RemoteTreeView tree(main.Tree());

    // F5 on "Processes": a new process appears, an ended one goes.
    HelperProgram second;
    REQUIRE(second.Start());
    REQUIRE(Input::Focus(main.Tree()));
    REQUIRE(Input::Keys("F5"));
    CHECK(Wait::Until([&] { return main.ProcessRow(second.Pid()) >= 0; }, 10000));
    first.Kill();
    Wait::Pause(700);
    REQUIRE(Input::Keys("F5"));
    CHECK(Wait::Until([&] { return main.ProcessRow(first.Pid()) < 0; }, 10000));
    const int processes = RemoteListView(main.List()).Count();

    // F5 on a process reads its modules again, not the processes.
    const std::string loadEvent = HelperProgram::NewEventName("load");
    HelperProgram loader;
    REQUIRE(loader.Start("loadon " + loadEvent + " restypes.dll"));
    REQUIRE(main.ShowProcesses());
    REQUIRE(Input::Keys("F5"));
    REQUIRE(Wait::Until([&] { return main.ProcessRow(loader.Pid()) >= 0; }, 10000));
    REQUIRE(main.ShowModules(loader.Pid()));
    CHECK(RemoteListView(main.List()).FindRow("restypes.dll") < 0);
    REQUIRE(HelperProgram::TriggerLoad(loadEvent));
    HelperProgram late;
    REQUIRE(late.Start());
    const size_t treeItems = main.ProcessItems().size();
    REQUIRE(Input::Focus(main.Tree()));
    REQUIRE(Input::Keys("F5"));
    CHECK(Wait::Until([&] { return RemoteListView(main.List()).FindRow("restypes.dll") >= 0; }, 10000));
    CHECK(main.ProcessItems().size() == treeItems);
    CHECK(tree.Text(tree.Selection()) == "tw-helper.exe");

    // Ctrl+F5 reads everything: the late helper is there, "Processes" selected.
    REQUIRE(Input::Keys("Ctrl+F5"));
    CHECK(Wait::Until([&] { return main.StatusText().rfind("Processes : ", 0) == 0; }, 10000));
    CHECK(main.ProcessRow(late.Pid()) >= 0);
    CHECK(main.ProcessItems().size() == treeItems + 1);
    // 40056 marked full does the same from a process's module list.
    late.Kill();
    Wait::Pause(700);
    REQUIRE(main.ShowModules(loader.Pid()));
    main.frame.Post(WM_COMMAND, 40056, 1);
    CHECK(Wait::Until([&] { return main.StatusText().rfind("Processes : ", 0) == 0; }, 10000));
    CHECK(main.ProcessRow(late.Pid()) < 0);
    (void)processes;

    // The computer and "Kill" show the empty text.
    for (HTREEITEM fixed : {main.Root(), main.Kill()}) {
        REQUIRE(tree.Select(fixed));
        CHECK(Wait::Until([&] { return main.StatusText() == kNoItems; }, 5000));
        CHECK(RemoteListView(main.List()).Count() == 0);
        CHECK(main.List().Text() == kNoItems);
    }

    // WM_SETTINGCHANGE while a context menu is open: the refresh waits for the menu.
    REQUIRE(main.ShowProcesses());
    HelperProgram waiting;
    REQUIRE(waiting.Start());
    REQUIRE(Input::Activate(main.frame));
    REQUIRE(RemoteListView(main.List()).ClickItem(0, true));
    REQUIRE(Wait::Until([&] { return bool(Desktop::PopupMenu(app.Pid())); }, 5000));
    const size_t mark = app.DebugMark();
    // Sent, as the system does (a posted WM_SETTINGCHANGE is refused: it may carry a pointer).
    bool answered = false;
    main.frame.Send(WM_SETTINGCHANGE, 0, 0, &answered);
    CHECK(answered);
    Wait::Pause(1000);
    CHECK(app.DebugText(mark).find(" processes") == std::string::npos);
    CHECK(main.ProcessRow(waiting.Pid()) < 0);
    REQUIRE(Input::Keys("Esc"));
    CHECK(app.WaitForDebugLine(" processes", 10000, mark));
    CHECK(Wait::Until([&] { return main.ProcessRow(waiting.Pid()) >= 0; }, 10000));
    CHECK_FALSE(Desktop::PopupMenu(app.Pid()));

    // Three quick Down keys load only the item where they stop.
    REQUIRE(main.ShowProcesses());
    REQUIRE(Input::Focus(main.Tree()));
    const size_t before = app.DebugMark();
    for (int i = 0; i < 3; ++i) REQUIRE(Input::Keys("Down"));
    CHECK(Wait::Until([&] { return main.StatusText().rfind("Processes : ", 0) != 0; }, 5000));
    Wait::Pause(600);
    std::vector<std::string> loads;
    for (const std::string& line : app.DebugLines(before))
        if (line.find(" modules of ") != std::string::npos) loads.push_back(line);
    REQUIRE(loads.size() == 1);
    CHECK(loads[0].find(" modules of " + tree.Text(tree.Selection()) + " [") != std::string::npos);
    CHECK(app.Close());
}

TEST_CASE("main window: bars, the settings file, exits that write it and exits that do not")
{
    REQUIRE(WriteDefaultSettings());
    UserSettings defaults;
    std::memcpy(&defaults, Program::ReadSettings().data(), sizeof(defaults));

    Program app;
    Main main(StartMain(app));
    REQUIRE(main.frame);
    auto top = [](const Window& window) { return window.Rect().top; };
    const LONG listTop = top(main.List());
    main.frame.PostCommand(40046);
    CHECK(Wait::Until([&] { return top(main.List()) == listTop - 32; }, 3000));
    const LONG treeTop = top(main.Tree());
    main.frame.PostCommand(40045);
    CHECK(Wait::Until([&] { return top(main.Tree()) == main.frame.ClientRectOnScreen().top; }, 3000));
    CHECK(top(main.Tree()) < treeTop);
    const LONG treeBottom = main.Tree().Rect().bottom;
    main.frame.PostCommand(40047);
    CHECK(Wait::Until([&] { return main.Tree().Rect().bottom == main.frame.ClientRectOnScreen().bottom; }, 3000));
    CHECK(main.Tree().Rect().bottom > treeBottom);
    CHECK_FALSE(main.Status().IsVisible());
    Screenshot::SaveDesktop("hidden-bars");
    for (int command : {40045, 40046, 40047}) main.frame.PostCommand(command);
    CHECK(Wait::Until([&] { return main.Status().IsVisible() && top(main.List()) == listTop; }, 3000));

    // A new column order (PID first) and a new place, then WM_CLOSE.
    RemoteListView list(main.List());
    const Window header = list.Header();
    const int columns = RemoteHeader(header).Count();
    {
        std::vector<int> order(static_cast<size_t>(columns));
        for (int i = 0; i < columns; ++i) order[static_cast<size_t>(i)] = i;
        std::swap(order[0], order[1]);
        RemoteBuffer buffer(app.Pid(), order.size() * sizeof(int));
        REQUIRE(buffer.Write(0, order.data(), order.size() * sizeof(int)));
        main.List().Send(LVM_SETCOLUMNORDERARRAY, order.size(), buffer.At());
        main.frame.Post(WM_USER + 1);
    }
    CHECK(Wait::Until([&] { return RemoteHeader(header).Order().front() == 1; }, 3000));
    SetWindowPos(main.frame.Handle(), nullptr, 50, 40, 800, 560, SWP_NOZORDER | SWP_NOACTIVATE);
    CHECK(Wait::Until([&] { return main.frame.Rect().left == 50; }, 3000));
    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);

    const std::vector<unsigned char> bytes = Program::ReadSettings();
    REQUIRE(bytes.size() == 778);
    UserSettings saved;
    std::memcpy(&saved, bytes.data(), sizeof(saved));
    CHECK(saved.anProcessColumnOrder[0] == 1);
    CHECK(saved.anProcessColumnOrder[1] == 0);
    // The record keeps the twelve columns it has always had; CPU and Private
    // Bytes (shown on the NT family) keep their place in the live settings.
    CHECK(saved.nProcessColumnCount == static_cast<uint32_t>(columns) - (E2ePaths::IsNineX() ? 0u : 2u));
    CHECK(std::memcmp(saved.anModuleColumnOrder, defaults.anModuleColumnOrder, sizeof(saved.anModuleColumnOrder))
          == 0);
    CHECK(saved.nModuleColumnCount == defaults.nModuleColumnCount);
    CHECK(saved.wpMainWindow.rcNormalPosition.left == 50);
    CHECK(saved.wpMainWindow.rcNormalPosition.top == 40);
    CHECK(saved.wpMainWindow.rcNormalPosition.right == 850);
    CHECK(saved.wpMainWindow.rcNormalPosition.bottom == 600);
    CHECK(saved.bShowInfobar == 1);

    // The next start shows both again; Quit (40039) ends with exit code 0.
    Program again;
    Main restored(StartMain(again));
    REQUIRE(restored.frame);
    CHECK(restored.frame.Rect().left == 50);
    CHECK(restored.frame.Rect().bottom == 600);
    CHECK(RemoteHeader(RemoteListView(restored.List()).Header()).Texts().front() == "PID");
    restored.frame.PostCommand(40039);
    CHECK(again.WaitExit(10000));
    CHECK(again.ExitCode() == 0);

    // Ended from outside: nothing is written.
    Program::RemoveSettings();
    Program killed;
    REQUIRE(StartMain(killed));
    killed.Kill();
    CHECK(killed.WaitExit(5000));
    CHECK_FALSE(Program::SettingsExist());

    // A damaged file: the program starts and shows its processes.
    UserSettings damaged = defaults;
    damaged.anProcessColumnOrder[2] = 0x7FFFFFFF;
    damaged.nModuleColumnCount = 5000;
    damaged.ssProcessSort.nSortColumn = 99;
    damaged.ssModuleSort.nSortMode = 12;
    std::memset(damaged.szTimeFormat, 'h', sizeof(damaged.szTimeFormat));
    std::memset(damaged.lfViewFont.lfFaceName, 'f', sizeof(damaged.lfViewFont.lfFaceName));
    std::vector<unsigned char> raw(sizeof(damaged));
    std::memcpy(raw.data(), &damaged, sizeof(damaged));
    REQUIRE(Program::WriteSettings(raw));
    Program survivor;
    Main survived(StartMain(survivor));
    REQUIRE(survived.frame);
    CHECK(Wait::Until([&] { return RemoteListView(survived.List()).Count() > 0; }, 5000));
    CHECK(RemoteHeader(RemoteListView(survived.List()).Header()).SortedItem().index == 0);
    CHECK(survivor.Close());
}

} // TEST_SUITE
