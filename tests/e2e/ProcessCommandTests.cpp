// The commands on a selected process or module, their two information
// windows and Copy, in the real program: what the windows show against what
// tarnwick-cli prints, and which programs the commands start (recorders that
// log their command line and current directory stand in for them).
#include "tests/e2e/E2eTest.h"
#include "TarnwickVersion.h"

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

using Texts = std::vector<std::string>;

const int kTreeId = 302;
const int kInfobarId = 303;
const int kListId = 304;
const int kModuleTree = 1003;
const int kModuleList = 303;
const int kEnvironmentList = 1140;
const int kEdits[6] = {1110, 1143, 1148, 1142, 1141, 1144};

const int kCopy = 40034;
const int kAbout = 40031;
const int kAdvanced = 40061;
const int kStandard = 40062;
const int kDebug = 40087;
const int kSwitchTo = 40088;
const int kCommandWindow = 40091;
const int kExplore = 40092;
const int kHomePage = 40101;
const int kPluginsPage = 40102;
const int kModPropCopy = 40085;

const char kTitle[] = "Tarnwick 2.6";
const char kEmptyText[] = "There are no items to show in this view";
const char kDebuggerKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";

// Runs a program of the program folder to its end; its standard output.
std::string RunCapture(const std::string& commandLine, DWORD& exitCode)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::string();
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    const std::string folder = E2ePaths::ProgramFolder();
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        folder.c_str(), &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got) output.append(buffer, got);
        WaitForSingleObject(info.hProcess, 30000);
        GetExitCodeProcess(info.hProcess, &exitCode);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(readEnd);
    return output;
}

std::string Cli(const std::string& arguments, DWORD* exitCode = nullptr)
{
    DWORD code = 99;
    std::string out = RunCapture("\"" + E2ePaths::ProgramPath("tarnwick-cli.exe") + "\" " + arguments, code);
    if (exitCode) *exitCode = code;
    return out;
}

// Tab-separated lines, unescaped.
std::vector<Texts> Lines(const std::string& out)
{
    std::vector<Texts> lines;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        Texts fields(1);
        for (size_t i = start; i < end; ++i) {
            const char c = out[i];
            if (c == '\t') {
                fields.emplace_back();
            } else if (c == '\\' && i + 1 < end) {
                const char n = out[++i];
                fields.back() += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
            } else if (c != '\r') {
                fields.back() += c;
            }
        }
        lines.push_back(fields);
        start = end + 1;
    }
    return lines;
}

// One node of `tarnwick-cli modinfo`: its title, column titles and rows.
struct ModInfoNode {
    std::string title;
    Texts columns;
    std::vector<Texts> rows;
};

std::vector<ModInfoNode> ModInfo(const std::string& out)
{
    std::vector<ModInfoNode> nodes;
    for (const Texts& line : Lines(out)) {
        if (line.size() == 1 && line[0].compare(0, 3, "== ") == 0) {
            nodes.push_back({line[0].substr(3), {}, {}});
        } else if (!nodes.empty()) {
            if (nodes.back().columns.empty())
                nodes.back().columns = line;
            else
                nodes.back().rows.push_back(line);
        }
    }
    return nodes;
}

std::string Join(const std::vector<Texts>& rows)
{
    std::string text;
    for (const Texts& row : rows) {
        if (!text.empty()) text += "\r\n";
        for (size_t i = 0; i < row.size(); ++i) text += (i ? "\t" : "") + row[i];
    }
    return text;
}

std::string PidText(DWORD pid)
{
    char text[32];
    if (E2ePaths::IsNineX())
        std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(pid));
    else
        std::snprintf(text, sizeof(text), "%lu", static_cast<unsigned long>(pid));
    return text;
}

std::string ReadFileText(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// A copy of tw-recorder.exe in the program folder under another name; the
// copy and its log go with the object.
class Recorder {
public:
    explicit Recorder(const std::string& name) : strPath(E2ePaths::ProgramPath(name))
    {
        DeleteFileA(Log().c_str());
        bCopied = CopyFileA(E2ePaths::ProgramPath("tw-recorder.exe").c_str(), strPath.c_str(), FALSE) != FALSE;
    }
    ~Recorder()
    {
        DeleteFileA(strPath.c_str());
        DeleteFileA(Log().c_str());
    }
    bool Ready() const { return bCopied; }
    const std::string& Path() const { return strPath; }
    std::string Log() const { return strPath + ".log"; }
    std::string Text() const { return ReadFileText(Log()); }
    // The n-th record's command line and current directory (0-based).
    bool WaitRecord(size_t n, std::string& commandLine, std::string& directory, DWORD timeoutMs = 10000) const
    {
        std::vector<Texts> records;
        if (!Wait::Until([&] { return (records = Records()).size() > n; }, timeoutMs)) return false;
        commandLine = records[n][0];
        directory = records[n][1];
        return true;
    }
    size_t RecordCount() const { return Records().size(); }

private:
    // (command line, directory) pairs, as logged: "cmd=..." and "cwd=..." lines.
    std::vector<Texts> Records() const
    {
        std::vector<Texts> records;
        const std::string text = Text();
        Texts record;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find("\r\n", start);
            if (end == std::string::npos) break;  // a line still being written
            const std::string line = text.substr(start, end - start);
            if (line.compare(0, 4, "cmd=") == 0) record = {line.substr(4)};
            if (line.compare(0, 4, "cwd=") == 0 && record.size() == 1) {
                record.push_back(line.substr(4));
                records.push_back(record);
                record.clear();
            }
            start = end + 2;
        }
        return records;
    }

    std::string strPath;
    bool bCopied;
};

// A registry string value set for a test and put back as it was afterwards.
class RegistryValue {
public:
    RegistryValue(HKEY root, const std::string& key, const char* name) : hRoot(root), strKey(key), pName(name)
    {
        HKEY handle;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return;
        char value[4096] = {};
        DWORD size = sizeof(value) - 1;
        if (RegQueryValueExA(handle, name, nullptr, &dwType, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
            bExisted = true;
            strOld.assign(value, size);
        }
        RegCloseKey(handle);
    }
    ~RegistryValue()
    {
        HKEY handle;
        if (RegCreateKeyExA(hRoot, strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return;
        if (bExisted)
            RegSetValueExA(handle, pName, 0, dwType, reinterpret_cast<const BYTE*>(strOld.data()),
                           static_cast<DWORD>(strOld.size()));
        else
            RegDeleteValueA(handle, pName);
        RegCloseKey(handle);
    }
    bool Set(const std::string& value) const
    {
        HKEY handle;
        if (RegCreateKeyExA(hRoot, strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return false;
        const bool done = RegSetValueExA(handle, pName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(handle);
        return done;
    }

private:
    HKEY hRoot;
    std::string strKey;
    const char* pName;
    bool bExisted = false;
    DWORD dwType = REG_SZ;
    std::string strOld;
};

// The main window of a running Tarnwick and its views.
struct MainWindowView {
    Window main;

    RemoteTreeView Tree() const { return RemoteTreeView(main.Child(kTreeId)); }
    RemoteListView List() const { return RemoteListView(main.Child(kListId)); }
    std::string Infobar() const { return main.Child(kInfobarId).Text(); }

    // Clicks the helper process in the tree (a real selection, focus in the
    // tree) and waits until the infobar names it.
    bool SelectProcess(DWORD pid, const std::string& name = "tw-helper.exe") const
    {
        const std::string caption = name + " - [PID: " + PidText(pid) + "]";
        RemoteTreeView tree = Tree();
        for (int attempt = 0; attempt < 2; ++attempt) {
            for (const TreeItem& item : tree.Items()) {
                if (item.level < 2 || item.text != name) continue;
                if (!tree.ClickItem(item.handle)) continue;
                // The caption may already match: wait for the click's focus too.
                const Window treeWindow = main.Child(kTreeId);
                if (Wait::Until([&] { return Infobar() == caption && Input::FocusOf(treeWindow) == treeWindow; },
                                2000))
                    return true;
            }
            main.SendCommand(40056, 0);  // the helper may be newer than the tree
            Wait::Pause(500);
        }
        return false;
    }
    // Clicks the module's row in the module list (focus in the list).
    bool SelectModule(const std::string& name) const
    {
        RemoteListView list = List();
        int row = -1;
        if (!Wait::Until([&] { return (row = list.FindRow(name, 0)) >= 0; }, 5000)) return false;
        return list.ClickItem(row) && Wait::Until([&] { return list.Selected() == std::vector<int>{row}; }, 3000);
    }
};

// Tarnwick started for a test.
struct Tarnwick : MainWindowView {
    Program app;

    bool Start()
    {
        if (!app.Start("--nosplash --priority-normal")) return false;
        main = app.WaitForWindow("TarnwickMainFrameWndClass", kTitle, 15000);
        return static_cast<bool>(main);
    }
};

// A left-button drag along `path` (client points of `window`), one small
// mouse step at a time, as a hand makes it: the first move after the press
// is the first point of the path.
void DragAlong(const Window& window, const std::vector<POINT>& path)
{
    Input::Activate(window);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto send = [&](POINT client, DWORD flags) {
        POINT screen = client;
        ClientToScreen(window.Handle(), &screen);
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(screen.x, 65535, width - 1);
        input.mi.dy = MulDiv(screen.y, 65535, height - 1);
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(input));
        Wait::Pause(25);
    };
    send(path.front(), 0);
    send(path.front(), MOUSEEVENTF_LEFTDOWN);
    for (size_t i = 1; i < path.size(); ++i) send(path[i], 0);
    send(path.back(), MOUSEEVENTF_LEFTUP);
}

// Points from `from` to `to` on one line, `step` pixels apart, both ends included.
std::vector<POINT> Line(int from, int to, int y, int step)
{
    std::vector<POINT> points;
    const int direction = to < from ? -1 : 1;
    for (int x = from; direction * (to - x) > 0; x += direction * step) points.push_back(POINT{x, y});
    points.push_back(POINT{to, y});
    return points;
}

HWND ModuleListHandle(const Dialog& dialog)
{
    return dialog.Control(kModuleList).Handle();
}

} // namespace

TEST_SUITE("process commands") {

TEST_CASE("process commands: the process information window shows what params prints; Copy; modal re-entry and close")
{
    HelperProgram helper;
    REQUIRE(helper.Start("window \"TwInfo Helper\""));
    Tarnwick tw;
    REQUIRE(tw.Start());
    REQUIRE(tw.SelectProcess(helper.Pid()));

    tw.main.PostCommand(kAdvanced);
    const Dialog dialog = Dialog::WaitFor("tw-helper.exe", tw.app.Pid());
    REQUIRE(dialog);
    CHECK(dialog.GetWindow().Owner() == tw.main);

    // The console tool reads the same values through the same code.
    DWORD exitCode = 99;
    const std::vector<Texts> params = Lines(Cli("params " + std::to_string(helper.Pid()), &exitCode));
    CHECK(exitCode == 0);
    REQUIRE(params.size() >= 6);
    const Texts labels = {"Description", "ImagePathName", "Commandline", "Current Directory", "Dll Path",
                          "Window Title"};
    for (int i = 0; i < 6; ++i) {
        REQUIRE(params[i].size() == 2);
        CHECK(params[i][0] == labels[i]);
        CHECK(dialog.ControlText(kEdits[i]) == params[i][1]);
    }
    CHECK(dialog.ControlText(1143) == E2ePaths::ProgramPath("tw-helper.exe"));
    CHECK(dialog.ControlText(1144) == "TwInfo Helper");

    RemoteListView environment(dialog.Control(kEnvironmentList));
    CHECK(RemoteHeader(environment.Header()).Texts() == Texts{"Variable", "Value"});
    std::vector<Texts> rows;
    for (size_t i = 6; i < params.size(); ++i) {
        REQUIRE(params[i].size() == 3);
        CHECK(params[i][0] == "Environment");
        rows.push_back({params[i][1], params[i][2]});
    }
    std::vector<Texts> shown;
    for (const ListRow& row : environment.Rows()) shown.push_back(row.texts);
    CHECK(shown == rows);
    if (E2ePaths::IsNineX()) {
        CHECK(dialog.ControlText(1142) == "Not Available");
        CHECK(dialog.ControlText(1141) == "Not Available");
        CHECK(dialog.ControlText(1148) == "Not Available");
        CHECK(rows.empty());
        CHECK(environment.GetWindow().Text() == kEmptyText);
    } else {
        CHECK(dialog.ControlText(1142) == E2ePaths::ProgramFolder());
        REQUIRE(rows.size() > 3);
    }
    CHECK(!Screenshot::SaveDesktop("process-window").empty());

    if (!rows.empty()) {
        // Copy of all rows from the context menu's command, then one row by Ctrl+C.
        REQUIRE(Clipboard::Clear());
        REQUIRE(environment.SelectAll());
        dialog.GetWindow().PostCommand(kModPropCopy);
        REQUIRE(Clipboard::WaitForText(5000));
        CHECK(Clipboard::Text() == Join(rows));
        REQUIRE(Clipboard::Clear());
        REQUIRE(environment.Select(1));
        REQUIRE(Input::Focus(environment.GetWindow()));
        REQUIRE(Input::Keys("Ctrl+C"));
        REQUIRE(Clipboard::WaitForText(5000));
        CHECK(Clipboard::Text() == Join({rows[1]}));
        REQUIRE(Input::Keys("Ctrl+A"));
        CHECK(Wait::Until([&] { return environment.SelectedCount() == static_cast<int>(rows.size()); }, 3000));

        // The context menu's "&Copy" on a right-clicked row.
        REQUIRE(Clipboard::Clear());
        REQUIRE(environment.Select(2));
        REQUIRE(environment.ClickItem(2, true));
        REQUIRE(Wait::Until([&] { return static_cast<bool>(Desktop::PopupMenu(tw.app.Pid())); }, 3000));
        REQUIRE(Input::Keys("c"));
        REQUIRE(Clipboard::WaitForText(5000));
        CHECK(Clipboard::Text() == Join({rows[2]}));
        CHECK(Wait::Until([&] { return !Desktop::PopupMenu(tw.app.Pid()); }, 3000));
    } else {
        // No rows, no menu.
        RECT area = environment.GetWindow().ClientRect();
        REQUIRE(Input::Click(environment.GetWindow(), POINT{area.right / 2, area.bottom / 2}, Input::Right));
        Wait::Pause(500);
        CHECK(!Desktop::PopupMenu(tw.app.Pid()));
    }

    // A second Advanced while the window is open opens nothing more; closing
    // the main window waits for the information window.
    tw.main.PostCommand(kAdvanced);
    Wait::Pause(800);
    CHECK(Desktop::TopLevel(WindowQuery("#32770", "tw-helper.exe", tw.app.Pid())).size() == 1);
    tw.main.Close();
    Wait::Pause(800);
    CHECK(tw.app.IsRunning());
    CHECK(dialog.GetWindow().IsVisible());
    REQUIRE(dialog.Dismiss());
    CHECK(tw.app.WaitExit(10000));
    CHECK(tw.app.ExitCode() == 0);
}

TEST_CASE("process commands: the module information window shows what modinfo prints; sorting, splitter, Copy")
{
    HelperProgram helper;
    REQUIRE(helper.Start("load restypes.dll"));
    Tarnwick tw;
    REQUIRE(tw.Start());
    REQUIRE(tw.SelectProcess(helper.Pid()));
    REQUIRE(tw.SelectModule("restypes.dll"));

    tw.main.PostCommand(kAdvanced);
    const Dialog dialog = Dialog::WaitFor("Restypes.dll", tw.app.Pid());
    REQUIRE(dialog);
    const std::vector<ModInfoNode> nodes = ModInfo(Cli("modinfo \"" + E2ePaths::ProgramPath("restypes.dll") + "\""));
    REQUIRE(nodes.size() >= 6);

    RemoteTreeView tree(dialog.Control(kModuleTree));
    const std::vector<TreeItem> items = tree.Items();
    Texts titles, expectedTitles;
    for (const TreeItem& item : items) titles.push_back(item.text);
    for (const ModInfoNode& node : nodes) expectedTitles.push_back(node.title);
    CHECK(titles == expectedTitles);
    REQUIRE(items.size() == nodes.size());
    CHECK((items[0].state & TVIS_BOLD) != 0);
    CHECK(items[0].selected);

    // Each node's list holds the rows modinfo prints, in the same order.
    for (size_t i = 0; i < items.size(); ++i) {
        CAPTURE(nodes[i].title);
        const HWND before = ModuleListHandle(dialog);
        if (i > 0) {
            REQUIRE(tree.Select(items[i].handle));
            REQUIRE(Wait::Until([&] { return ModuleListHandle(dialog) != before && ModuleListHandle(dialog); }, 3000));
        }
        RemoteListView list(dialog.Control(kModuleList));
        std::vector<Texts> shown;
        for (const ListRow& row : list.Rows()) shown.push_back(row.texts);
        CHECK(RemoteHeader(list.Header()).Texts() == nodes[i].columns);
        CHECK(shown == nodes[i].rows);
        if (nodes[i].rows.empty()) CHECK(list.GetWindow().Text() == kEmptyText);
        if (nodes[i].title == "Resources") CHECK(!Screenshot::SaveDesktop("module-window").empty());
    }

    // Sorting: the first click on column 0 sorts descending; column 1 then
    // ascending, again descending; the order is kept for the next node.
    const HTREEITEM kernel = tree.Find("Kernel32.dll");
    REQUIRE(kernel);
    REQUIRE(tree.Select(kernel));
    REQUIRE(Wait::Until([&] { return RemoteListView(dialog.Control(kModuleList)).Count() > 3; }, 3000));
    RemoteListView list(dialog.Control(kModuleList));
    RemoteHeader header(list.Header());
    auto hints = [&] {
        std::vector<int> values;
        for (const std::string& text : list.Column(0)) values.push_back(std::atoi(text.c_str()));
        return values;
    };
    auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    auto names = [&] {
        Texts values;
        for (const std::string& text : list.Column(1)) values.push_back(lower(text));
        return values;
    };
    REQUIRE(header.ClickItem(0));
    CHECK(Wait::Until([&] { return header.SortedItem().index == 0 && header.SortedItem().SortArrow() == -1; }, 3000));
    std::vector<int> sortedHints = hints();
    CHECK(std::is_sorted(sortedHints.rbegin(), sortedHints.rend()));
    REQUIRE(header.ClickItem(1));
    CHECK(Wait::Until([&] { return header.SortedItem().index == 1 && header.SortedItem().SortArrow() == 1; }, 3000));
    Texts sortedNames = names();
    CHECK(std::is_sorted(sortedNames.begin(), sortedNames.end()));
    REQUIRE(header.ClickItem(1));
    CHECK(Wait::Until([&] { return header.SortedItem().SortArrow() == -1; }, 3000));
    sortedNames = names();
    CHECK(std::is_sorted(sortedNames.rbegin(), sortedNames.rend()));

    const HTREEITEM msvcrt = tree.Find("Msvcrt.dll");
    REQUIRE(msvcrt);
    const HWND kernelList = ModuleListHandle(dialog);
    REQUIRE(tree.Select(msvcrt));
    REQUIRE(Wait::Until([&] { return ModuleListHandle(dialog) != kernelList; }, 3000));
    list = RemoteListView(dialog.Control(kModuleList));
    header = RemoteHeader(list.Header());
    CHECK(header.SortedItem().index == -1);
    REQUIRE(header.ClickItem(1));
    CHECK(Wait::Until([&] { return header.SortedItem().index == 1 && header.SortedItem().SortArrow() == 1; }, 3000));

    // Copy: all rows by the menu command, tab-separated.
    REQUIRE(Clipboard::Clear());
    REQUIRE(list.SelectAll());
    dialog.GetWindow().PostCommand(kModPropCopy);
    REQUIRE(Clipboard::WaitForText(5000));
    std::vector<Texts> rows;
    for (const ListRow& row : list.Rows()) rows.push_back(row.texts);
    CHECK(Clipboard::Text() == Join(rows));
    REQUIRE(Clipboard::Clear());
    REQUIRE(list.Select(0));
    REQUIRE(Input::Focus(list.GetWindow()));
    REQUIRE(Input::Keys("Ctrl+C"));
    REQUIRE(Clipboard::WaitForText(5000));
    CHECK(Clipboard::Text() == Join({rows[0]}));

    // The splitter follows the mouse down to 50 pixels from either edge and
    // no further; positions beyond are ignored.
    const Window treeWindow = dialog.Control(kModuleTree);
    auto treeRight = [&] {
        RECT t = treeWindow.Rect(), l = list.GetWindow().Rect();
        POINT points[2] = {{t.right, t.top}, {l.left, l.top}};
        MapWindowPoints(nullptr, dialog.GetWindow().Handle(), points, 2);
        CHECK(points[1].x - points[0].x == 3);
        return static_cast<int>(points[0].x);
    };
    const RECT client = dialog.GetWindow().ClientRect();
    const int y = client.bottom / 2;
    // Pressed in the gap, first moved onto the tree's edge (grab offset 0),
    // then to `stop` and on to `beyond`.
    auto drag = [&](int stop, int beyond) {
        const int edge = treeRight();
        std::vector<POINT> path = {POINT{edge + 1, y}};
        for (const POINT& point : Line(edge, stop, y, 10)) path.push_back(point);
        for (const POINT& point : Line(stop, beyond, y, 10)) path.push_back(point);
        DragAlong(dialog.GetWindow(), path);
        Wait::Pause(200);
        return treeRight();
    };
    // (Taking the capture may add a move at the press point: a grab offset of 1.)
    auto atEdge = [](int value, int expected) { return value == expected || value == expected - 1; };
    CHECK(atEdge(drag(50, 10), 50));
    CHECK(atEdge(drag(120, 120), 120));
    CHECK(atEdge(drag(client.right - 50, client.right - 8), client.right - 50));
    CHECK(!Screenshot::SaveDesktop("module-window-splitter").empty());

    REQUIRE(dialog.Dismiss());
    CHECK(tw.app.Close());
}

TEST_CASE("process commands: Copy in the main window follows the copy options")
{
    HelperProgram helper;
    REQUIRE(helper.Start("load restypes.dll"));
    {
        Tarnwick first;
        REQUIRE(first.Start());
        REQUIRE(first.app.Close());
    }
    std::vector<unsigned char> settings = Program::ReadSettings();
    REQUIRE(settings.size() == 778);
    auto put32 = [&](size_t offset, uint32_t value) { std::memcpy(&settings[offset], &value, 4); };
    put32(298, 0x003);          // processes: name and PID
    put32(302, 0x083);          // modules: name, location, base address
    settings[306] = 2;          // ";"
    settings[307] = 1;          // '"'
    REQUIRE(Program::WriteSettings(settings));

    Tarnwick tw;
    REQUIRE(tw.Start());
    RemoteTreeView tree = tw.Tree();
    const HTREEITEM processes = tree.Items().size() > 1 ? tree.Items()[1].handle : nullptr;
    REQUIRE(processes);
    REQUIRE(tree.ClickItem(processes));
    RemoteListView list = tw.List();
    const std::string pid = PidText(helper.Pid());
    int row = -1;
    REQUIRE(Wait::Until(
        [&] {
            list = tw.List();
            for (int i = 0; i < list.Count(); ++i)
                for (const std::string& text : list.Row(i).texts)
                    if (text == pid) row = i;
            return row >= 0;
        },
        5000));
    REQUIRE(list.ClickItem(row));
    REQUIRE(Clipboard::Clear());
    REQUIRE(Input::Keys("Ctrl+C"));
    REQUIRE(Clipboard::WaitForText(5000));
    CHECK(Clipboard::Text() == "\"tw-helper.exe\";\"" + pid + "\"");

    REQUIRE(tw.SelectProcess(helper.Pid()));
    REQUIRE(tw.SelectModule("restypes.dll"));
    list = tw.List();
    const ListRow module = list.Row(list.FindRow("restypes.dll"));
    std::string location, base;
    for (const std::string& text : module.texts) {
        if (text == E2ePaths::ProgramPath("restypes.dll")) location = text;
        if (text.size() == 10 && text.compare(0, 2, "0x") == 0) base = text;
    }
    REQUIRE(!location.empty());
    REQUIRE(!base.empty());
    REQUIRE(Clipboard::Clear());
    tw.main.PostCommand(kCopy);
    REQUIRE(Clipboard::WaitForText(5000));
    CHECK(Clipboard::Text() == "\"restypes.dll\";\"" + location + "\";\"" + base + "\"");
    CHECK(tw.app.Close());
    Program::RemoveSettings();
}

TEST_CASE("process commands: Debug starts the registered debugger with the process id; hostile templates start nothing")
{
    Recorder debugger("tw-debugger.exe");
    REQUIRE(debugger.Ready());
    RegistryValue aeDebug(HKEY_LOCAL_MACHINE, kDebuggerKey, "Debugger");
    REQUIRE(aeDebug.Set("\"" + debugger.Path() + "\" -p %ld -e %ld"));

    HelperProgram helper;
    REQUIRE(helper.Start());
    Tarnwick tw;
    REQUIRE(tw.Start());
    REQUIRE(tw.SelectProcess(helper.Pid()));

    tw.main.PostCommand(kDebug);
    Dialog ask = Dialog::WaitFor(kTitle, tw.app.Pid());
    REQUIRE(ask);
    CHECK(ask.MessageText().find("Are you sure you wish to attach the debugger?") != std::string::npos);
    CHECK(ask.ButtonTexts() == Texts{"Yes", "No"});
    REQUIRE(ask.PressButton("Yes"));
    std::string commandLine, directory;
    REQUIRE(debugger.WaitRecord(0, commandLine, directory));
    CHECK(commandLine == "\"" + debugger.Path() + "\" -p " + std::to_string(helper.Pid()) + " -e 1");

    // No: nothing starts.
    REQUIRE(tw.SelectProcess(helper.Pid()));
    tw.main.PostCommand(kDebug);
    ask = Dialog::WaitFor(kTitle, tw.app.Pid());
    REQUIRE(ask);
    REQUIRE(ask.PressButton("No"));
    REQUIRE(ask.WaitGone(5000));
    Wait::Pause(1500);
    CHECK(debugger.RecordCount() == 1);

    // A template that would read strings or write memory: string 150, nothing started.
    REQUIRE(aeDebug.Set("\"" + debugger.Path() + "\" %s %n -p %ld"));
    tw.main.PostCommand(kDebug);
    ask = Dialog::WaitFor(kTitle, tw.app.Pid());
    REQUIRE(ask);
    REQUIRE(ask.PressButton("Yes"));
    REQUIRE(ask.WaitGone(5000));
    const Dialog failed = Dialog::WaitFor(kTitle, tw.app.Pid());
    REQUIRE(failed);
    CHECK(failed.MessageText() == "Failed to start debugger!");
    REQUIRE(failed.Dismiss());
    Wait::Pause(500);
    CHECK(debugger.RecordCount() == 1);
    CHECK(tw.app.IsRunning());
    CHECK(tw.app.Close());
}

TEST_CASE("process commands: Explore, Command Window, Switch to, web pages and About start what they should")
{
    Recorder explorer("explorer.exe");
    Recorder cmd("cmd.exe");
    Recorder command("command.com");
    Recorder browser("tw-browser.exe");
    REQUIRE(explorer.Ready());
    REQUIRE(cmd.Ready());
    REQUIRE(command.Ready());
    REQUIRE(browser.Ready());
    RegistryValue http(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", nullptr);
    REQUIRE(http.Set("\"" + browser.Path() + "\" \"%1\""));

    // A library in a folder whose name holds a comma and a blank.
    const std::string libFolder = E2ePaths::ProgramFolder() + "Lib, One\\";
    CreateDirectoryA(libFolder.c_str(), nullptr);
    REQUIRE(CopyFileA(E2ePaths::ProgramPath("restypes.dll").c_str(), (libFolder + "restypes.dll").c_str(), FALSE));
    HelperProgram helper;
    REQUIRE(helper.Start("load \"" + libFolder + "restypes.dll\" window \"TwSwitch Helper\" min"));
    const Window helperWindow = helper.WaitForWindow("TwSwitch Helper");
    REQUIRE(helperWindow);
    CHECK(helperWindow.IsMinimized());

    // Without ComSpec the family's own interpreter is started.
    char comSpec[MAX_PATH] = {};
    const bool hadComSpec = GetEnvironmentVariableA("ComSpec", comSpec, MAX_PATH) > 0;
    SetEnvironmentVariableA("ComSpec", nullptr);
    Tarnwick tw;
    const bool started = tw.Start();
    if (hadComSpec) SetEnvironmentVariableA("ComSpec", comSpec);
    REQUIRE(started);
    REQUIRE(tw.SelectProcess(helper.Pid()));
    std::string folder = E2ePaths::ProgramFolder();
    const std::string folderNoSlash = folder.substr(0, folder.size() - 1);

    std::string commandLine, directory;
    tw.main.PostCommand(kExplore);
    REQUIRE(explorer.WaitRecord(0, commandLine, directory));
    CHECK(commandLine == "explorer.exe \"" + folder + "\"");
    CHECK(directory == folderNoSlash);

    tw.main.PostCommand(kCommandWindow);
    const Recorder& interpreter = E2ePaths::IsNineX() ? command : cmd;
    REQUIRE(interpreter.WaitRecord(0, commandLine, directory));
    CHECK(commandLine == (E2ePaths::IsNineX() ? "command.com" : "cmd.exe"));
    CHECK(directory == folderNoSlash);
    CHECK((E2ePaths::IsNineX() ? cmd : command).RecordCount() == 0);

    // From the module list: the module's own folder.
    REQUIRE(tw.SelectModule("restypes.dll"));
    tw.main.PostCommand(kExplore);
    REQUIRE(explorer.WaitRecord(1, commandLine, directory));
    CHECK(commandLine == "explorer.exe \"" + libFolder + "\"");
    CHECK(directory == libFolder.substr(0, libFolder.size() - 1));

    // Switch to: the minimised window comes back, in front.
    REQUIRE(tw.SelectProcess(helper.Pid()));
    tw.main.PostCommand(kSwitchTo);
    CHECK(Wait::Until([&] { return !helperWindow.IsMinimized() && Desktop::Foreground() == helperWindow; }, 5000));

    // Web pages through the shell's "open" with the http handler.
    Input::Activate(tw.main);
    tw.main.PostCommand(kHomePage);
    REQUIRE(browser.WaitRecord(0, commandLine, directory));
    CHECK(commandLine.find("/en/tarnwick.htm") != std::string::npos);
    CHECK(commandLine.find("http://") != std::string::npos);
    tw.main.PostCommand(kPluginsPage);
    REQUIRE(browser.WaitRecord(1, commandLine, directory));
    CHECK(commandLine.find("/en/tarnwick_plugins.htm") != std::string::npos);

    tw.main.PostCommand(kAbout);
    const Dialog about = Dialog::WaitFor("About Tarnwick", tw.app.Pid());
    REQUIRE(about);
    CHECK(about.ControlText(1151) == kTitle);
    // The version from the build's one place, as in the version resource and tarnwick-cli --version.
    CHECK(about.ControlText(1152) == "Version " TARNWICK_VERSION_TEXT);
    CHECK(!Screenshot::SaveDesktop("about").empty());
    REQUIRE(about.Dismiss());

    CHECK(tw.app.Close());
    helper.Kill();
    DeleteFileA((libFolder + "restypes.dll").c_str());
    RemoveDirectoryA(libFolder.c_str());
}

TEST_CASE("process commands: Switch to a window that never answers returns at once")
{
    HelperProgram helper;
    REQUIRE(helper.Start("window \"TwHung Helper\" hang"));
    const Window hung = helper.WaitForWindow("TwHung Helper");
    REQUIRE(hung);
    Tarnwick tw;
    REQUIRE(tw.Start());
    REQUIRE(tw.SelectProcess(helper.Pid()));
    // Posted, then the main window is asked to answer: it does within a second.
    const DWORD start = GetTickCount();
    tw.main.PostCommand(kSwitchTo);
    DWORD_PTR answer = 0;
    REQUIRE(SendMessageTimeoutA(tw.main.Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer));
    const DWORD elapsed = GetTickCount() - start;
    CAPTURE(elapsed);
    CHECK(elapsed < 1000);
    // Still answering a second later: no call of its waits for the hung thread.
    Wait::Pause(1000);
    CHECK(SendMessageTimeoutA(tw.main.Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 500, &answer));
    CHECK(tw.app.Close());
    helper.Kill();
}

TEST_CASE("process commands: standard properties ask the shell for the file's property sheet")
{
    // Wine has no property sheet for files: ShellExecuteEx fails (error 87) and
    // string 78 says so. (WINEDEBUG=+exec shows the call on the run's output:
    // verb "properties", the file, mask 0x40c, the main window as parent.)
    HelperProgram helper;
    REQUIRE(helper.Start("load restypes.dll"));
    Tarnwick tw;
    REQUIRE(tw.Start());
    REQUIRE(tw.SelectProcess(helper.Pid()));
    tw.main.PostCommand(kStandard);
    Dialog none = Dialog::WaitFor(kTitle, tw.app.Pid());
    REQUIRE(none);
    CHECK(none.MessageText() == "No standard properties available!");
    REQUIRE(none.Dismiss());

    REQUIRE(tw.SelectModule("restypes.dll"));
    tw.main.PostCommand(kStandard);
    none = Dialog::WaitFor(kTitle, tw.app.Pid());
    REQUIRE(none);
    CHECK(none.MessageText() == "No standard properties available!");
    REQUIRE(none.Dismiss());
    CHECK(tw.app.Close());
}

} // TEST_SUITE
