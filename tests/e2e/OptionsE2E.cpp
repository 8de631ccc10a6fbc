// The Options dialog in the real program: each page from its command and
// from the toolbar's drop-down, Cancel that leaves the settings file as it
// was, OK that changes the views at once and the file at closing, the
// plug-in page and the launcher lists.
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/E2eFiles.h"

#include "tests/e2e/RemoteBuffer.h"
#include "app/settings/UserSettings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using E2eFiles::ListsPath;
using E2eFiles::ReadText;

const char kFrameClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";
const char kQuiet[] = "--nosplash --priority-normal";

struct PageInfo {
    int command;
    const char* text;
    const char* tag;
};
const PageInfo kPages[7] = {
    {40057, "View", "view"},       {40058, "Columns", "columns"},           {40059, "Colors & Formats", "colors"},
    {40060, "Copy", "copy"},       {40072, "Applications", "applications"}, {40084, "Plugins", "plugins"},
    {40097, "Internet Search", "search"},
};

// ---- The console tool ----------------------------------------------------------------

std::string Cli(const std::string& arguments, DWORD* exitCode = nullptr)
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
    std::string line = "\"" + E2ePaths::ProgramPath("tarnwick-cli.exe") + "\" " + arguments;
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        E2ePaths::ProgramFolder().c_str(), &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got) output.append(buffer, got);
        WaitForSingleObject(info.hProcess, 30000);
        if (exitCode) GetExitCodeProcess(info.hProcess, exitCode);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(readEnd);
    return output;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) {
        if (!part.empty() && part.back() == '\r') part.pop_back();
        parts.push_back(part);
    }
    return parts;
}

// "tarnwick-cli settings": field name -> the rest of its line.
std::map<std::string, std::string> SavedSettings()
{
    std::map<std::string, std::string> fields;
    for (const std::string& line : Split(Cli("settings"), '\n')) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) fields[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return fields;
}

// ---- The program ---------------------------------------------------------------------

// Settings as the program writes them at its first close, changed by `edit`.
std::vector<unsigned char> KnownSettings(void (*edit)(UserSettings&) = nullptr)
{
    Program::RemoveSettings();
    DeleteFileA(ListsPath().c_str());
    {
        Program app;
        if (!app.Start(kQuiet) || !app.WaitForWindow(kFrameClass, kTitle, 15000) || !app.Close()) return {};
    }
    std::vector<unsigned char> bytes = Program::ReadSettings();
    if (bytes.size() != sizeof(UserSettings)) return {};
    if (edit) {
        UserSettings settings;
        std::memcpy(&settings, bytes.data(), sizeof(settings));
        edit(settings);
        std::memcpy(bytes.data(), &settings, sizeof(settings));
    }
    DeleteFileA(ListsPath().c_str());
    return bytes;
}

struct Main {
    Window frame;
    Window Tree() const { return frame.Child(302); }
    Window List() const { return frame.Child(304); }
    std::string StatusText() const { return RemoteStatusBar(frame.Child(305)).Text(0); }
    bool Show(const std::string& treeItem, const char* statusPrefix) const
    {
        RemoteTreeView tree(Tree());
        const HTREEITEM item = tree.Find(treeItem);
        if (!item || !tree.Select(item)) return false;
        return Wait::Until([&] { return StatusText().rfind(statusPrefix, 0) == 0; }, 10000);
    }
};

Main StartMain(Program& app, const std::vector<unsigned char>& settings)
{
    if (!settings.empty()) Program::WriteSettings(settings);
    if (!app.Start(kQuiet)) return Main();
    Main main{app.WaitForWindow(kFrameClass, kTitle, 15000)};
    Wait::Until([&] { return RemoteListView(main.List()).Count() > 0; }, 10000);
    return main;
}

// ---- The Options dialog ----------------------------------------------------------------

struct Options {
    Dialog dialog;
    explicit operator bool() const { return static_cast<bool>(dialog); }
    Window Tree() const { return dialog.Control(1006); }
    Window Header() const { return dialog.Control(1008); }
    // A control of the page shown (pages share some ids), else of the dialog.
    Window Control(int id) const
    {
        for (const DialogControl& control : dialog.Controls())
            if (control.id == id && control.window.Parent() != dialog.GetWindow() && control.window.Parent().IsVisible())
                return control.window;
        for (const DialogControl& control : dialog.Controls())
            if (control.id == id && control.window.Parent() != dialog.GetWindow()) return control.window;
        return dialog.Control(id);
    }
    bool ShowPage(const std::string& text) const
    {
        RemoteTreeView tree(Tree());
        return tree.Select(tree.Find(text)) && Wait::Until([&] { return Header().Text() == text; }, 3000);
    }
    std::string SelectedPage() const
    {
        RemoteTreeView tree(Tree());
        return tree.Text(tree.Selection());
    }
    // A check box or radio button clicked (it answers at once).
    void Click(int id) const { Control(id).Send(BM_CLICK); }
    // A button whose command opens a dialog: posted.
    void Push(int id) const { Control(id).Post(BM_CLICK); }
    bool IsChecked(int id) const { return Control(id).Send(BM_GETCHECK) == BST_CHECKED; }
    bool Ok() const { return dialog.Press(IDOK) && dialog.WaitGone(5000); }
    bool Cancel() const { return dialog.Press(IDCANCEL) && dialog.WaitGone(5000); }
};

Options OpenOptions(const Main& main, int command, DWORD pid)
{
    main.frame.PostCommand(command);
    return Options{Dialog::WaitFor("Options", pid)};
}

int OptionsDialogs(DWORD pid)
{
    return static_cast<int>(Desktop::TopLevel(WindowQuery("#32770", "Options", pid)).size());
}

// Adds tw-catcher.exe on the Applications page: the open dialog, then Application Properties.
bool AddApplication(const Options& options, DWORD pid)
{
    options.Push(1100);
    const Dialog open = Dialog::WaitFor("Open", pid);
    if (!open) return false;
    Window name = open.Control(0x47C);
    if (name.ClassName() != "Edit") name = name.Find("Edit");
    if (!name || !name.SetText(E2ePaths::ProgramPath("tw-catcher.exe"))) return false;
    open.GetWindow().Child(IDOK).Post(BM_CLICK);
    const Dialog properties = Dialog::WaitFor("Application Properties", pid);
    if (!properties || properties.ControlText(1113) != "%m") return false;
    return properties.Press(IDOK) && properties.WaitGone(5000);
}

// Opens the menu of the colour entry `entry` with Enter in the colour list and
// picks its item `item` (1 Default Color, 2 Custom Colors...).
bool ColorMenu(const Options& options, int entry, int item, DWORD pid)
{
    const Window colors = options.Control(1196);
    RemoteListBox list(colors);
    if (!list.Select(entry) || !Input::Focus(colors)) return false;
    if (!Wait::Until([&] { return Input::FocusOf(colors) == colors; }, 3000)) return false;
    Input::Keys("Enter");
    if (!Wait::Until([&] { return static_cast<bool>(Desktop::PopupMenu(pid)); }, 5000)) return false;
    for (int i = 0; i < item; ++i) Input::Keys("Down");
    Input::Keys("Enter");
    return Wait::Until([&] { return !Desktop::PopupMenu(pid); }, 5000);
}

std::string Today(const char* picture)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[256] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &now, picture, text, sizeof(text));
    return text;
}

std::string LocalePicture(LCTYPE type)
{
    char picture[256] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, picture, sizeof(picture));
    return std::string(picture).substr(0, 63);
}

// The program folder with test plug-in "bad-config2.dll", two search plugins
// and a lists file without engines; put back afterwards.
class LauncherScene {
public:
    LauncherScene() : folder(E2ePaths::ProgramFolder())
    {
        // The test plug-in alone: it gets the first plug-in command, 1003.
        MoveFileA((folder + "Plugins").c_str(), (folder + "Plugins.keep").c_str());
        CreateDirectoryA((folder + "Plugins").c_str(), nullptr);
        plugin = folder + "Plugins\\bad-config2.dll";
        CopyFileA((folder + "testplugins\\tw-badplugin.dll").c_str(), plugin.c_str(), FALSE);
        MoveFileA((folder + "SearchPlugins").c_str(), (folder + "SearchPlugins.keep").c_str());
        CreateDirectoryA((folder + "SearchPlugins").c_str(), nullptr);
        for (const char* name : {"bing.src", "bing.png", "wikipedia.src", "wikipedia.jpg"})
            CopyFileA((folder + "SearchPlugins.keep\\" + name).c_str(), (folder + "SearchPlugins\\" + name).c_str(),
                      FALSE);
        std::ofstream(ListsPath(), std::ios::binary).close();
        log = folder + "config2.log";
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("TW_PROBE_LOG", log.c_str());
        Program::RemoveSettings();
    }
    ~LauncherScene()
    {
        DeleteFileA(plugin.c_str());
        RemoveDirectoryA((folder + "Plugins").c_str());
        MoveFileA((folder + "Plugins.keep").c_str(), (folder + "Plugins").c_str());
        for (const char* name : {"bing.src", "bing.png", "wikipedia.src", "wikipedia.jpg"})
            DeleteFileA((folder + "SearchPlugins\\" + name).c_str());
        RemoveDirectoryA((folder + "SearchPlugins").c_str());
        MoveFileA((folder + "SearchPlugins.keep").c_str(), (folder + "SearchPlugins").c_str());
        DeleteFileA(ListsPath().c_str());
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("TW_PROBE_LOG", nullptr);
    }
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : Split(ReadText(log), '\n'))
            if (!line.empty()) lines.push_back(line);
        return lines;
    }
    std::string folder, plugin, log;
};

} // namespace

TEST_SUITE("options") {

TEST_CASE("options: each page from its command and from the drop-down; Cancel keeps the file; a second Options and closing wait")
{
    const std::vector<unsigned char> known = KnownSettings();
    REQUIRE(!known.empty());

    // The file after a run without the dialog.
    std::vector<unsigned char> without;
    std::string listsWithout;
    {
        Program app;
        REQUIRE(StartMain(app, known).frame);
        CHECK(app.Close());
        without = Program::ReadSettings();
        listsWithout = ReadText(ListsPath());
        DeleteFileA(ListsPath().c_str());
    }
    REQUIRE(without.size() == 778);

    Program app;
    const Main main = StartMain(app, known);
    REQUIRE(main.frame);
    for (const PageInfo& page : kPages) {
        CAPTURE(page.text);
        const Options options = OpenOptions(main, page.command, app.Pid());
        REQUIRE(options);
        CHECK(options.SelectedPage() == page.text);
        CHECK(options.Header().Text() == page.text);
        CHECK(!Screenshot::SaveDesktop(page.tag).empty());
        CHECK(options.Cancel());
    }
    // Ctrl+O opens View; the toolbar's drop-down opens the page chosen in it.
    REQUIRE(Input::Focus(main.Tree()));
    Input::Keys("Ctrl+o");
    Options viewed{Dialog::WaitFor("Options", app.Pid())};
    REQUIRE(viewed);
    CHECK(viewed.SelectedPage() == "View");
    CHECK(viewed.Cancel());
    REQUIRE(RemoteToolbar(main.frame.Child(300).Child(301)).ClickButton(40054, true));
    REQUIRE(Wait::Until([&] { return static_cast<bool>(Desktop::PopupMenu(app.Pid())); }, 5000));
    for (int i = 0; i < 7; ++i) Input::Keys("Down");
    Input::Keys("Enter");
    Options chosen{Dialog::WaitFor("Options", app.Pid())};
    REQUIRE(chosen);
    CHECK(chosen.SelectedPage() == "Internet Search");
    CHECK(chosen.Header().Text() == "Internet Search");

    // Every page changed, an application added, an engine removed: Cancel.
    RemoteListBox engines(chosen.Control(1173));
    REQUIRE(engines.Count() == 4);
    REQUIRE(engines.Select(0));
    chosen.Push(1107);
    const Dialog removal = Dialog::WaitFor(kTitle, app.Pid());
    REQUIRE(removal);
    CHECK(removal.MessageText() == "Do you really want to delete \"" + engines.Text(0) + "\" ?");
    CHECK(removal.PressButton("Yes"));
    CHECK(Wait::Until([&] { return engines.Count() == 3; }, 3000));
    chosen.Click(1074);
    RemoteListView(chosen.Control(1180)).SetChecked(7, false);
    chosen.Click(1057);
    chosen.Click(1019);
    REQUIRE(chosen.ShowPage("Applications"));
    REQUIRE(AddApplication(chosen, app.Pid()));
    CHECK(RemoteListBox(chosen.Control(1101)).Count() == 1);
    CHECK(chosen.Cancel());
    CHECK(main.frame.Child(300).IsVisible());

    // Nothing of it stayed; a second Options and WM_CLOSE wait while it is open.
    Options again = OpenOptions(main, 40072, app.Pid());
    REQUIRE(again);
    CHECK(RemoteListBox(again.Control(1101)).Count() == 0);
    CHECK(RemoteListBox(again.Control(1173)).Count() == 4);
    CHECK_FALSE(again.IsChecked(1057));
    main.frame.PostCommand(40058);
    main.frame.Post(WM_CLOSE);
    Wait::Pause(800);
    CHECK(OptionsDialogs(app.Pid()) == 1);
    CHECK(again.SelectedPage() == "Applications");
    CHECK(main.frame.IsVisible());
    CHECK(again.Cancel());
    // The close asked for meanwhile runs now.
    CHECK(app.WaitExit(10000));
    CHECK(app.ExitCode() == 0);
    CHECK(Program::ReadSettings() == without);
    CHECK(ReadText(ListsPath()) == listsWithout);
    DeleteFileA(ListsPath().c_str());
}

TEST_CASE("options: OK changes bars, font, nesting, columns, colours, formats and copy at once; the file after closing")
{
    // Sorted by PID; a column count no list can have.
    const std::vector<unsigned char> known = KnownSettings([](UserSettings& s) {
        s.ssProcessSort.nSortColumn = 1;
        s.nProcessColumnCount = 0xFFFFFFFFu;
        s.anProcessColumnOrder[0] = 3;
    });
    REQUIRE(!known.empty());
    UserSettings before;
    std::memcpy(&before, known.data(), sizeof(before));

    Program app;
    const Main main = StartMain(app, known);
    REQUIRE(main.frame);
    const bool nineX = E2ePaths::IsNineX();
    // The natural order of the family's columns.
    const std::vector<std::string> natural =
        nineX ? std::vector<std::string>{"Name", "PID", "Parent PID", "Threads", "Priority Class", "Version",
                                         "Description", "Company Name"}
              : std::vector<std::string>{"Name", "PID", "Parent PID", "Version", "Description", "Company Name",
                                         "Owner", "Threads", "Handles", "Priority Class", "Created", "Commandline",
                                         "CPU", "Private Bytes"};
    CHECK(RemoteHeader(RemoteListView(main.List()).Header()).Texts() == natural);
    const LRESULT itemHeight = main.Tree().Send(TVM_GETITEMHEIGHT);

    Options options = OpenOptions(main, 40057, app.Pid());
    REQUIRE(options);
    // View: no toolbar, no status bar, no nesting; DejaVu Sans 12 from the font dialog.
    options.Click(1074);
    options.Click(1076);
    options.Click(1088);
    options.Push(1085);
    const Dialog font = Dialog::WaitFor("Font", app.Pid());
    REQUIRE(font);
    RemoteListBox faces(font.Control(0x470));
    REQUIRE(faces.Select(faces.Find("DejaVu Sans")));
    RemoteListBox sizes(font.Control(0x472));
    REQUIRE(Wait::Until([&] { return sizes.Count() > 0; }, 3000));
    CHECK(sizes.Text(sizes.Count() - 1) == "18");
    REQUIRE(sizes.Select(sizes.Find("12")));
    CHECK(!Screenshot::SaveDesktop("font").empty());
    REQUIRE(font.Press(IDOK));
    REQUIRE(font.WaitGone(5000));
    CHECK(Wait::Until([&] { return options.Control(1086).Text() == "DejaVu Sans, 12 Pt"; }, 3000));

    // Columns: only Name and Threads.
    REQUIRE(options.ShowPage("Columns"));
    options.Click(1183);
    RemoteListView columns(options.Control(1180));
    CHECK(columns.Checked() == std::vector<int>{0});
    REQUIRE(columns.SetChecked(7, true));
    CHECK(columns.Checked() == (std::vector<int>{0, 7}));

    // Colours: Background from the colour dialog, the services' default, the
    // CPU background opens at the face colour. Enter in the list opens the menu.
    REQUIRE(options.ShowPage("Colors & Formats"));
    REQUIRE(ColorMenu(options, 1, 2, app.Pid()));
    Dialog color = Dialog::WaitFor("Color", app.Pid());
    REQUIRE(color);
    CHECK(color.SetControlText(706, "12"));
    CHECK(color.SetControlText(707, "34"));
    CHECK(color.SetControlText(708, "56"));
    CHECK(!Screenshot::SaveDesktop("color").empty());
    REQUIRE(color.Press(IDOK));
    REQUIRE(color.WaitGone(5000));
    CHECK(options.dialog.GetWindow().IsVisible());
    REQUIRE(ColorMenu(options, 2, 1, app.Pid()));
    REQUIRE(ColorMenu(options, 5, 2, app.Pid()));
    Dialog face = Dialog::WaitFor("Color", app.Pid());
    REQUIRE(face);
    const COLORREF buttonFace = GetSysColor(COLOR_BTNFACE);
    CHECK(face.ControlText(706) == std::to_string(GetRValue(buttonFace)));
    CHECK(face.ControlText(707) == std::to_string(GetGValue(buttonFace)));
    CHECK(face.ControlText(708) == std::to_string(GetBValue(buttonFace)));
    CHECK(face.Dismiss());
    // Date "Other" with a picture of its own.
    options.Click(1057);
    CHECK(options.Control(1058).IsEnabled());
    CHECK_FALSE(options.Control(1079).IsEnabled());
    CHECK(options.Control(1058).SetText("yyyy'|'MM"));
    CHECK(options.Control(1080).Text() == Today("yyyy'|'MM"));
    CHECK(!Screenshot::SaveDesktop("colors-edited").empty());

    // Copy: Version and Threads, comma, single quote.
    REQUIRE(options.ShowPage("Copy"));
    options.Click(1193);
    RemoteListView copies(options.Control(1191));
    REQUIRE(copies.SetChecked(3, true));
    REQUIRE(copies.SetChecked(7, true));
    options.Click(1019);
    options.Click(1023);
    REQUIRE(options.Ok());

    // At once: bars gone, the tree flat and taller, the new background, two columns by name.
    CHECK(Wait::Until([&] { return !main.frame.Child(300).IsVisible() && !main.frame.Child(305).IsVisible(); }, 3000));
    CHECK(Wait::Until([&] { return main.Tree().Send(TVM_GETBKCOLOR) == 0x38220C; }, 5000));
    CHECK(main.Tree().Send(TVM_GETITEMHEIGHT) > itemHeight);
    CHECK(Wait::Until([&] { return RemoteListView(main.List()).Count() > 0; }, 10000));
    int nested = 0;
    for (const TreeItem& item : RemoteTreeView(main.Tree()).Items()) nested += item.level > 2 ? 1 : 0;
    CHECK(nested == 0);
    RemoteListView list(main.List());
    CHECK(RemoteHeader(list.Header()).Texts() == std::vector<std::string>{"Name", "Threads"});
    const std::vector<std::string> names = list.Column(0);
    for (size_t i = 1; i < names.size(); ++i) CHECK(lstrcmpiA(names[i - 1].c_str(), names[i].c_str()) <= 0);
    CHECK(!Screenshot::SaveDesktop("applied").empty());
    main.frame.PostCommand(40045);
    CHECK(Wait::Until([&] { return main.frame.Child(300).IsVisible(); }, 3000));

    // Copy writes the chosen values.
    const int row = list.FindRow("tarnwick.exe");
    REQUIRE(row >= 0);
    REQUIRE(list.Select(row));
    Clipboard::Clear();
    main.frame.PostCommand(40034);
    REQUIRE(Clipboard::WaitForText(5000));
    std::string version;
    {
        const std::vector<std::string> lines = Split(Cli("ps"), '\n');
        REQUIRE(!lines.empty());
        const std::vector<std::string> header = Split(lines[0], '\t');
        const size_t column = static_cast<size_t>(std::find(header.begin(), header.end(), "Version") - header.begin());
        for (const std::string& line : lines) {
            const std::vector<std::string> fields = Split(line, '\t');
            if (fields.size() > column && fields[0] == "tarnwick.exe") version = fields[column];
        }
    }
    CHECK(Clipboard::Text() == "'" + version + "','" + list.Text(row, 1) + "'");

    // The modules' dates in the new picture.
    REQUIRE(main.Show("tarnwick.exe", "Modules : "));
    RemoteListView modules(main.List());
    int created = -1;
    for (const HeaderItem& item : RemoteHeader(modules.Header()).Items())
        if (item.text == "Created") created = item.index;
    REQUIRE(created >= 0);
    const std::string year = Today("yyyy'|'MM").substr(0, 5);
    int dated = 0;
    for (const std::string& cell : modules.Column(created)) {
        if (cell == "Unknown") continue;
        CHECK(cell.size() > 9);
        CHECK(cell[4] == '|');
        CHECK(cell.substr(7, 2) == ", ");
        ++dated;
    }
    CHECK(dated > 0);

    // 100 characters by WM_SETTEXT: 63 kept. Then User default, Short Date.
    Options second = OpenOptions(main, 40059, app.Pid());
    REQUIRE(second);
    CHECK(second.Control(1058).SetText(std::string(100, 'y')));
    REQUIRE(second.Ok());
    Options third = OpenOptions(main, 40059, app.Pid());
    REQUIRE(third);
    CHECK(third.Control(1058).Text() == std::string(63, 'y'));
    third.Click(1056);
    REQUIRE(RemoteListBox(third.Control(1079)).Select(1));
    CHECK(third.Control(1058).Text().empty());
    CHECK_FALSE(third.Control(1058).IsEnabled());
    REQUIRE(third.Ok());
    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);

    std::map<std::string, std::string> saved = SavedSettings();
    CHECK(saved["status"] == "accepted");
    CHECK(saved["bShowToolbar"] == "1");
    CHECK(saved["bShowStatusbar"] == "0");
    CHECK(saved["bShowInfobar"] == "1");
    CHECK(saved["bResolveProcessDependencies"] == "0");
    CHECK(saved["lfViewFont"].rfind("DejaVu Sans\t-", 0) == 0);
    CHECK(saved["crBackground"] == "0x0038220C");
    CHECK(saved["crServices"] == "0x000064C8");
    CHECK(saved["crCpuBackground"] == "0xFF000000");
    CHECK(saved["bDateUseDefault"] == "1");
    CHECK(saved["bDateLong"] == "0");
    CHECK(saved["szDateFormat"] == LocalePicture(LOCALE_SSHORTDATE));
    CHECK(saved["bTimeUseDefault"] == "1");
    CHECK(saved["szTimeFormat"] == std::string(before.szTimeFormat));
    CHECK(saved["dwCopyProcessColumns"] == "0x00000280");
    CHECK(saved["nCopySeparator"] == "3");
    CHECK(saved["nCopyDelimiter"] == "2");
    for (int i = 0; i < 12; ++i) {
        CAPTURE(i);
        CHECK(saved["aProcessColumns[" + std::to_string(i) + "]"].substr(0, 1) == (i == 0 || i == 7 ? "1" : "0"));
    }
    CHECK(saved["aModuleColumns[8]"].substr(0, 1) == "1");
}

TEST_CASE("options: Download Plugins from the keyboard: the focused link shows it, Enter and Space follow it")
{
    // Addresses go to tw-recorder, which logs its command line; the handler comes back afterwards.
    struct HttpHandler {
        char old[1024] = {};
        bool had = false;
        HttpHandler()
        {
            LONG size = sizeof(old);
            had = RegQueryValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", old, &size) == ERROR_SUCCESS;
        }
        ~HttpHandler()
        {
            if (had)
                RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, old,
                             static_cast<DWORD>(std::strlen(old)));
            else
                RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command");
        }
    } restore;
    const std::string log = E2ePaths::ProgramPath("tw-recorder.exe.log");
    DeleteFileA(log.c_str());
    const std::string handler = "\"" + E2ePaths::ProgramPath("tw-recorder.exe") + "\" \"%1\"";
    REQUIRE(RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, handler.c_str(),
                         static_cast<DWORD>(handler.size())) == ERROR_SUCCESS);
    auto opened = [&] {
        size_t count = 0;
        for (const std::string& line : Split(ReadText(log), '\n'))
            count += line.rfind("cmd=", 0) == 0 && line.find("/tarnwick_plugins.htm") != std::string::npos ? 1 : 0;
        return count;
    };

    Program app;
    const Main main = StartMain(app, {});
    REQUIRE(main.frame);
    Options options = OpenOptions(main, 40084, app.Pid());
    REQUIRE(options);
    const Window link = options.Control(1158);
    REQUIRE(link.ClassName() == "ClHyperLinkStatic");
    const ScreenImage before = ScreenImage::CaptureClient(link);
    REQUIRE(Input::Focus(link));
    // The focus rectangle brings colours of its own.
    const ScreenImage focused = ScreenImage::CaptureClient(link);
    Screenshot::Save(focused, "download-link-focused");
    CHECK(focused.DistinctColors() > before.DistinctColors());
    Input::Keys("Enter");
    CHECK(Wait::Until([&] { return opened() == 1; }, 10000));
    CHECK(options.dialog.GetWindow().IsVisible());
    REQUIRE(Input::Focus(link));
    Input::Keys("Space");
    CHECK(Wait::Until([&] { return opened() == 2; }, 10000));
    CHECK(options.dialog.GetWindow().IsVisible());
    CHECK(options.Cancel());
    CHECK(app.Close());
    DeleteFileA(log.c_str());
}

TEST_CASE("options: the plug-in page configures and keeps the owner; applications and search engines kept after OK")
{
    LauncherScene scene;
    Program app;
    const Main main = StartMain(app, {});
    REQUIRE(main.frame);

    Options options = OpenOptions(main, 40084, app.Pid());
    REQUIRE(options);
    const Window plugins = options.Control(1155);
    RemoteListBox list(plugins);
    const int entry = list.Find("Misbehaves (test) [Bad config2]");
    REQUIRE(entry >= 0);
    REQUIRE(list.Select(entry));
    CHECK(options.Control(1156).IsEnabled());
    CHECK_FALSE(options.Control(1157).IsEnabled());
    // A click on the entry and Enter: Configure, with the page as owner; Options stays.
    RECT item = {};
    RemoteBuffer rect(app.Pid(), sizeof(RECT));
    plugins.Send(LB_GETITEMRECT, static_cast<WPARAM>(entry), rect.At());
    rect.Get(0, item);
    REQUIRE(Input::Click(plugins, POINT{item.left + 10, (item.top + item.bottom) / 2}));
    REQUIRE(Wait::Until([&] { return Input::FocusOf(plugins) == plugins; }, 3000));
    Input::Keys("Enter");
    REQUIRE(Wait::Until([&] { return scene.Log().size() == 1; }, 5000));
    const Window page = plugins.Parent();
    CHECK(scene.Log()[0] == "Bad config2 configure window=" + std::to_string(reinterpret_cast<uintptr_t>(page.Handle()))
                                + " class=#32770");
    Wait::Pause(300);
    CHECK(options.dialog.GetWindow().IsVisible());
    // The second Configure faults: reported with this page's source; the dialog goes on.
    const size_t mark = app.DebugMark();
    options.Push(1156);
    CHECK(app.WaitForDebugLine("Exception caught during plugin configuration in \"", 10000, mark));
    CHECK(app.DebugText(mark).find("TarnwickPluginOptionsDlg.cpp\" at line ") != std::string::npos);
    CHECK(Wait::Until([&] { return options.dialog.GetWindow().IsEnabled(); }, 3000));
    CHECK(options.Cancel());
    // The plug-in's owner is the main window again.
    RemoteTreeView tree(main.Tree());
    REQUIRE(tree.Select(tree.Find("tarnwick.exe")));
    main.frame.Post(WM_COMMAND, 1003, reinterpret_cast<LPARAM>(main.Tree().Handle()));
    REQUIRE(Wait::Until([&] { return scene.Log().size() == 3; }, 5000));
    CHECK(scene.Log()[2]
          == "Bad config2 execute window=" + std::to_string(reinterpret_cast<uintptr_t>(main.frame.Handle()))
                 + " class=" + kFrameClass);

    // An application added; Remove asks and No keeps it; OK keeps the list.
    Options applications = OpenOptions(main, 40072, app.Pid());
    REQUIRE(applications);
    REQUIRE(AddApplication(applications, app.Pid()));
    RemoteListBox added(applications.Control(1101));
    REQUIRE(added.Count() == 1);
    REQUIRE(added.Select(0));
    applications.Push(1107);
    const Dialog question = Dialog::WaitFor(kTitle, app.Pid());
    REQUIRE(question);
    CHECK(question.MessageText().rfind("Do you really want to delete \"", 0) == 0);
    CHECK(question.PressButton("No"));
    CHECK(question.WaitGone(3000));
    CHECK(added.Count() == 1);
    REQUIRE(applications.Ok());

    // Search engines: none active; Add lists both plugins of the folder.
    Options search = OpenOptions(main, 40097, app.Pid());
    REQUIRE(search);
    CHECK(RemoteListBox(search.Control(1173)).Count() == 0);
    search.Push(1100);
    const Dialog import = Dialog::WaitFor("Add Mozilla-Search Plugins", app.Pid());
    REQUIRE(import);
    CHECK(RemoteListBox(import.Control(1174)).Count() == 2);
    CHECK(import.Press(1175));
    CHECK(import.Press(IDOK));
    CHECK(import.WaitGone(5000));
    CHECK(RemoteListBox(search.Control(1173)).Count() == 2);
    REQUIRE(search.Ok());
    Options reopened = OpenOptions(main, 40097, app.Pid());
    REQUIRE(reopened);
    CHECK(RemoteListBox(reopened.Control(1173)).Count() == 2);
    CHECK(RemoteListBox(reopened.Control(1101)).Count() == 1);
    CHECK(reopened.Cancel());
    CHECK(app.Close());
    const std::vector<std::string> lines = Split(ReadText(ListsPath()), '\n');
    int apps = 0, engines = 0;
    for (const std::string& line : lines) {
        apps += line.rfind("app\t", 0) == 0 ? 1 : 0;
        engines += line.rfind("engine\t", 0) == 0 ? 1 : 0;
    }
    CHECK(apps == 1);
    CHECK(engines == 2);
}

} // TEST_SUITE
