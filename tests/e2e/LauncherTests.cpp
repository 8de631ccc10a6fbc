// Internet search, user-defined applications and the Console window in the
// real program: the browser is a catcher program registered for http and
// https, the tools are the test programs tw-console and tw-catcher.
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/BrowserCatcher.h"
#include "tests/e2e/E2eFiles.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

using E2eFiles::ReadText;
using E2eFiles::ListsPath;

const int kTree = 302;
const int kList = 304;
const int kConsoleEdit = 1169;
const int kConsoleHelp = 1087;

// What tw-catcher wrote: its command line and its folder.
struct Caught {
    std::string strCommandLine;
    std::string strFolder;
};

bool WaitCaught(const std::string& path, Caught& caught)
{
    std::string text;
    if (!Wait::Until([&] { return !(text = ReadText(path)).empty(); }, 10000)) return false;
    DeleteFileA(path.c_str());
    const size_t end = text.find("\r\n");
    caught.strCommandLine = text.substr(0, end);
    caught.strFolder = end == std::string::npos ? std::string() : text.substr(end + 2);
    while (!caught.strFolder.empty() && strchr("\r\n\\", caught.strFolder.back())) caught.strFolder.pop_back();
    return true;
}

// The address the shell gave the catcher: its last argument, unquoted.
std::string CaughtAddress(const Caught& caught)
{
    std::string line = caught.strCommandLine;
    if (!line.empty() && line.back() == '"') line.pop_back();
    const size_t start = line.find_last_of(" \"");
    return start == std::string::npos ? line : line.substr(start + 1);
}

// A copy of tw-helper under another name, waiting to be ended.
class NamedHelper {
public:
    bool Start(const std::string& name)
    {
        path = E2ePaths::ProgramPath(name);
        if (!CopyFileA(E2ePaths::ProgramPath("tw-helper.exe").c_str(), path.c_str(), FALSE)) return false;
        const std::string event = HelperProgram::NewEventName("tw-named");
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
        std::string line = "\"" + path + "\" wait " + event;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        const bool started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                            &info) != FALSE;
        const bool ok = started && WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0;
        CloseHandle(ready);
        return ok;
    }
    ~NamedHelper()
    {
        if (info.hProcess) {
            TerminateProcess(info.hProcess, 0);
            WaitForSingleObject(info.hProcess, 5000);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
        DeleteFileA(path.c_str());
    }

private:
    std::string path;
    PROCESS_INFORMATION info = {};
};

// Opens the context menu of a view (as the menu key does) and then the
// submenu whose mnemonic is `key`; a screenshot of both.
void ShotOfSubmenu(const Program& app, const Window& main, const Window& view, const std::string& key,
                   const std::string& tag)
{
    REQUIRE(Input::Focus(view));
    main.Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view.Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
    REQUIRE(Wait::Until([&] { return static_cast<bool>(Desktop::PopupMenu(app.Pid())); }, 5000));
    Input::Keys(key);
    Wait::Pause(700);
    CHECK(!Screenshot::SaveDesktop(tag).empty());
    // One Esc per open menu, each once the last took effect: a spare Esc
    // stays queued and reaches the next window, such as a Console window,
    // whose Cancel ends the tool it runs.
    auto openMenus = [&] { return Desktop::TopLevel(WindowQuery("#32768", "", app.Pid())).size(); };
    for (size_t open = openMenus(); open > 0; open = openMenus()) {
        REQUIRE(Input::Keys("Esc"));
        REQUIRE(Wait::Until([&] { return openMenus() < open; }, 5000));
    }
}

} // namespace

TEST_SUITE("launchers") {

TEST_CASE("launchers: searches reach the browser as encoded addresses")
{
    Program::RemoveSettings();
    DeleteFileA(ListsPath().c_str());
    const std::string out = E2ePaths::ProgramPath("caught-url.txt");
    DeleteFileA(out.c_str());
    BrowserCatcher catcher(out);
    NamedHelper helper;
    REQUIRE(helper.Start("a b&c.exe"));

    Program app("tarnwick.exe");
    REQUIRE(app.Start("--nosplash --priority-normal"));
    const Window main = app.WaitForWindow("TarnwickMainFrameWndClass", "Tarnwick 2.6");
    REQUIRE(main);
    RemoteTreeView tree(main.Child(kTree));
    HTREEITEM item = nullptr;
    REQUIRE(Wait::Until([&] { return (item = tree.Find("a b&c.exe")) != nullptr; }, 10000));
    REQUIRE(tree.Select(item));
    REQUIRE(Input::Focus(main.Child(kTree)));

    // The built-in engine (40094), then the engines of the plugin folder by file name.
    const struct {
        int command;
        const char* address;
    } searches[] = {
        {40094, "https://www.google.com/search?q=a%20b%26c.exe"},
        {2004, "https://www.bing.com/search?q=a%20b%26c.exe"},
        {2007, "https://en.wikipedia.org/w/index.php?search=a%20b%26c.exe&title=Special%3ASearch"},
    };
    for (const auto& search : searches) {
        CAPTURE(search.command);
        REQUIRE(main.PostCommand(search.command));
        Caught caught;
        REQUIRE(WaitCaught(out, caught));
        CHECK(CaughtAddress(caught) == search.address);
    }

    ShotOfSubmenu(app, main, main.Child(kTree), "i", "engines");
    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);
    // Closing wrote the lists: every plugin of the folder, by file name.
    const std::string lists = ReadText(ListsPath());
    CHECK(lists.find("engine\tbing.src\r\nengine\tduckduckgo.src\r\nengine\tmicrosoft-learn.src\r\n"
                     "engine\twikipedia.src\r\n") != std::string::npos);
    DeleteFileA(ListsPath().c_str());
}

TEST_CASE("launchers: a console tool runs in the Console window, a GUI tool gets its command line")
{
    Program::RemoveSettings();
    const std::string folder = E2ePaths::ProgramFolder();
    const std::string module = folder + "my lib.dll";
    REQUIRE(CopyFileA((folder + "restypes.dll").c_str(), module.c_str(), FALSE));
    const std::string start = folder + "start here";
    CreateDirectoryA(start.c_str(), nullptr);
    const std::string out = folder + "caught-tool.txt";
    DeleteFileA(out.c_str());
    const std::string release = HelperProgram::NewEventName("tw-console");
    HANDLE releaseEvent = CreateEventA(nullptr, TRUE, FALSE, release.c_str());
    auto escape = [](std::string text) {
        for (size_t at = 0; (at = text.find('\\', at)) != std::string::npos; at += 2) text.insert(at, "\\");
        return text;
    };
    const std::string lists = "app\tConsole Tool\t" + escape(folder + "tw-console.exe") + "\t\tslow " + release
                            + " %m\r\napp\tCatcher\t" + escape(folder + "tw-catcher.exe") + "\t" + escape(start)
                            + "\t" + escape(out) + " %m\r\nengine\tbing.src\r\n";
    {
        std::ofstream file(ListsPath(), std::ios::binary);
        file << lists;
    }

    HelperProgram helper;
    REQUIRE(helper.Start("load \"my lib.dll\""));
    Program app("tarnwick.exe");
    REQUIRE(app.Start("--nosplash --priority-normal"));
    const Window main = app.WaitForWindow("TarnwickMainFrameWndClass", "Tarnwick 2.6");
    REQUIRE(main);
    RemoteTreeView tree(main.Child(kTree));
    HTREEITEM item = nullptr;
    REQUIRE(Wait::Until([&] { return (item = tree.Find("tw-helper.exe")) != nullptr; }, 10000));
    REQUIRE(tree.Select(item));
    int row = -1;
    REQUIRE(Wait::Until([&] { return (row = RemoteListView(main.Child(kList)).FindRow("my lib.dll")) >= 0; }, 10000));
    REQUIRE(RemoteListView(main.Child(kList)).Select(row));
    ShotOfSubmenu(app, main, main.Child(kList), "o", "open-with");

    // The console tool: the window is titled with its command line; OK and Help wait for its end.
    REQUIRE(main.PostCommand(1));
    const std::string commandLine = "\"" + folder + "tw-console.exe\" slow " + release + " \"" + module + "\"";
    const Dialog console = Dialog::WaitFor(commandLine, app.Pid());
    REQUIRE(console);
    const Window edit = console.Control(kConsoleEdit);
    const bool printed = Wait::Until([&] { return edit.Text() == "first\r\n"; }, 10000);
    // The program's own trace tells how the tool ended when it did not print.
    if (!printed) MESSAGE("the console shows '" << edit.Text() << "'; the program's trace:\n" << app.DebugText());
    CHECK(printed);
    CHECK_FALSE(console.Control(IDOK).IsEnabled());
    CHECK_FALSE(console.Control(kConsoleHelp).IsEnabled());
    CHECK(console.Control(IDCANCEL).IsEnabled());
    CHECK(!Screenshot::SaveDesktop("console").empty());
    // While it runs: a second start is ignored, closing the main window waits.
    REQUIRE(main.PostCommand(1));
    REQUIRE(main.Post(WM_CLOSE));
    Wait::Pause(1000);
    CHECK(Desktop::TopLevel(WindowQuery("#32770", commandLine, app.Pid())).size() == 1);
    CHECK(app.IsRunning());
    SetEvent(releaseEvent);
    CHECK(Wait::Until([&] { return console.Control(IDOK).IsEnabled(); }, 10000));
    CHECK(edit.Text() == "first\r\nlast\r\n");
    CHECK(app.WaitForDebugLine("PipedProcess: the program ended with exit code 0x00000000", 5000));
    CHECK(console.Press(IDOK));
    CHECK(console.WaitGone());
    // Then the deferred close ends the program, and the lists are written.
    CHECK(app.WaitExit(10000));
    CHECK(app.ExitCode() == 0);
    CHECK(ReadText(ListsPath()) == "# Tarnwick: user-defined applications and active search engines\r\n" + lists);
    Program second("tarnwick.exe");
    REQUIRE(second.Start("--nosplash --priority-normal"));
    const Window again = second.WaitForWindow("TarnwickMainFrameWndClass", "Tarnwick 2.6");
    REQUIRE(again);
    RemoteTreeView tree2(again.Child(kTree));
    REQUIRE(Wait::Until([&] { return (item = tree2.Find("tw-helper.exe")) != nullptr; }, 10000));
    REQUIRE(tree2.Select(item));
    REQUIRE(Wait::Until([&] { return (row = RemoteListView(again.Child(kList)).FindRow("my lib.dll")) >= 0; }, 10000));
    REQUIRE(RemoteListView(again.Child(kList)).Select(row));

    // The GUI tool: its own file name first, the module quoted, started in its folder.
    REQUIRE(again.PostCommand(2));
    Caught caught;
    REQUIRE(WaitCaught(out, caught));
    CHECK(caught.strCommandLine == "tw-catcher.exe " + out + " \"" + module + "\"");
    CHECK(caught.strFolder == start);

    CHECK(second.Close());
    CHECK(second.ExitCode() == 0);
    CloseHandle(releaseEvent);
    DeleteFileA(ListsPath().c_str());
}

TEST_CASE("launchers: the module information window searches through the same engines")
{
    Program::RemoveSettings();
    DeleteFileA(ListsPath().c_str());
    const std::string out = E2ePaths::ProgramPath("caught-url.txt");
    DeleteFileA(out.c_str());
    BrowserCatcher catcher(out);
    HelperProgram helper;
    REQUIRE(helper.Start("load restypes.dll"));
    Program app("tarnwick.exe");
    REQUIRE(app.Start("--nosplash --priority-normal"));
    const Window main = app.WaitForWindow("TarnwickMainFrameWndClass", "Tarnwick 2.6");
    REQUIRE(main);
    RemoteTreeView tree(main.Child(kTree));
    HTREEITEM item = nullptr;
    REQUIRE(Wait::Until([&] { return (item = tree.Find("tw-helper.exe")) != nullptr; }, 10000));
    REQUIRE(tree.Select(item));
    int row = -1;
    REQUIRE(Wait::Until([&] { return (row = RemoteListView(main.Child(kList)).FindRow("restypes.dll")) >= 0; }, 10000));
    REQUIRE(RemoteListView(main.Child(kList)).ClickItem(row));  // the module list gets the focus
    REQUIRE(main.PostCommand(40061));  // Advanced: the module information window
    const Dialog dialog = Dialog::WaitFor("Restypes.dll", app.Pid());
    REQUIRE(dialog);
    RemoteTreeView nodes(dialog.Control(1003));
    const HTREEITEM imports = nodes.Find("Imports");
    REQUIRE(imports);
    const HWND before = dialog.Control(303).Handle();
    REQUIRE(nodes.Select(imports));
    Wait::Until([&] { return dialog.Control(303).Handle() != before; }, 3000);
    RemoteListView imported(dialog.Control(303));
    REQUIRE(imported.Count() > 0);
    REQUIRE(imported.Select(0));
    const std::string dll = imported.Text(0, 0);

    for (const auto& search : {std::make_pair(2005, "https://duckduckgo.com/html/?q="),
                               std::make_pair(40094, "https://www.google.com/search?q=")}) {
        REQUIRE(dialog.GetWindow().PostCommand(search.first));
        Caught caught;
        REQUIRE(WaitCaught(out, caught));
        CHECK(CaughtAddress(caught) == search.second + dll);
    }
    CHECK(dialog.Dismiss());
    CHECK(app.Close());
    DeleteFileA(ListsPath().c_str());
}

TEST_CASE("launchers: the search-plugin import dialog")
{
    Program host("tw-dialog-host.exe");
    const std::string plugins = E2ePaths::ProgramFolder() + "SearchPlugins";
    REQUIRE(host.Start("import " + E2ePaths::ProgramPath("import.txt") + " \"" + plugins + "\" \"" + plugins
                       + "\\bing.src\""));
    const Dialog dialog = Dialog::WaitFor("Add Mozilla-Search Plugins", host.Pid());
    REQUIRE(dialog);
    RemoteListBox list(dialog.Control(1174));
    CHECK(list.Count() == 4);
    CHECK(!Screenshot::SaveDesktop("import").empty());
    CHECK(dialog.Dismiss());
    CHECK(host.WaitExit(5000));
}

} // TEST_SUITE
