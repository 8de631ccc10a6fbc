// Kill, Report and Find Dll in the real program: the termination, report,
// progress and Find Dll dialogs driven from outside.
#include "tests/e2e/ConsoleTool.h"
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/ClassesRoot.h"
#include "tests/e2e/E2eFiles.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

using E2eFiles::ReadText;
using Texts = std::vector<std::string>;

const int kKill = 40049, kReport = 40050, kFindDll = 40103, kRefresh = 40056;
const int kProcessList = 1116, kShowErrors = 1117, kErrorText = 1118, kWarning = 1119;
const int kBrowse = 1130, kReportFile = 1145;
const int kPattern = 1163, kFind = 1164, kResults = 1194;
const int kSaveName = 0x47C, kSaveNameEdit = 0x480, kSaveFilter = 0x470;
const char kBoxCaption[] = "Tarnwick 2.6";

std::string Caption(const std::string& name, DWORD pid)
{
    char text[400];
    if (E2ePaths::IsNineX())
        snprintf(text, sizeof(text), "%s - [PID: 0x%08lX]", name.c_str(), static_cast<unsigned long>(pid));
    else
        snprintf(text, sizeof(text), "%s - [PID: %lu]", name.c_str(), static_cast<unsigned long>(pid));
    return text;
}

std::string PidText(DWORD pid)
{
    char text[32];
    snprintf(text, sizeof(text), E2ePaths::IsNineX() ? "0x%08lX" : "%lu", static_cast<unsigned long>(pid));
    return text;
}

std::string SystemText(DWORD code)
{
    char text[260] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
    return text;
}

bool WaitForIdReleased(DWORD pid, DWORD timeout)
{
    return Wait::Until(
        [&] {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
            if (process) CloseHandle(process);
            return process == nullptr;
        },
        timeout, 50);
}

// A left-button drag between two screen points, slow enough for the target
// to take the capture before the button comes up.
void SlowDrag(POINT from, POINT to)
{
    auto send = [](DWORD flags, POINT point) {
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(point.x, 65535, width - 1);
        input.mi.dy = MulDiv(point.y, 65535, height - 1);
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(input));
    };
    send(0, from);
    Wait::Pause(100);
    send(MOUSEEVENTF_LEFTDOWN, from);
    Wait::Pause(100);
    for (int i = 1; i <= 10; ++i) {
        send(0, {from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10});
        Wait::Pause(50);
    }
    Wait::Pause(200);
    send(MOUSEEVENTF_LEFTUP, to);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The rows the Find Dll list should show: those of `tarnwick-cli finddll`.
Texts FindDllRows(const std::string& pattern)
{
    Texts rows;
    std::istringstream lines(ConsoleTool::Output("finddll " + pattern));
    bool skipping = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        if (line[0] != '\t') {
            // The console tool and its console host exist only while it runs.
            skipping = line.compare(0, 17, "tarnwick-cli.exe ") == 0 || line.compare(0, 12, "conhost.exe ") == 0;
            if (!skipping) rows.push_back(ConsoleTool::Unescape(line) + "||0|0");
        } else if (!skipping) {
            const size_t tab = line.find('\t', 1);
            rows.push_back(ConsoleTool::Unescape(line.substr(1, tab - 1)) + "|" + ConsoleTool::Unescape(line.substr(tab + 1)) + "|1|1");
        }
    }
    return rows;
}

// "text|path|image|indent" per row.
Texts ListViewRows(const Window& list)
{
    Texts rows;
    for (const ListRow& row : RemoteListView(list).Rows())
        rows.push_back((row.texts.size() > 0 ? row.texts[0] : "") + "|" + (row.texts.size() > 1 ? row.texts[1] : "")
                       + "|" + std::to_string(row.image) + "|" + std::to_string(row.indent));
    return rows;
}

// The program with its main window, and the process list shown.
class Session {
public:
    bool Start()
    {
        Program::RemoveSettings();
        if (!app.Start("--nosplash --priority-normal")) return false;
        main = app.WaitForWindow("TarnwickMainFrameWndClass", kBoxCaption, 15000);
        return static_cast<bool>(main);
    }
    Window Tree() const { return main.Child(302); }
    Window List() const { return main.Child(304); }

    // "Processes" selected (a full refresh first), the rows of these processes selected, the list focused.
    bool SelectProcesses(const std::vector<DWORD>& pids)
    {
        main.Send(WM_COMMAND, kRefresh, 1);  // a full refresh, done when Send returns
        RemoteTreeView tree(Tree());
        if (!Wait::Until([&] { return tree.Find("Processes") != nullptr; }, 10000)) return false;
        tree.Select(tree.Find("Processes"));
        bool found = Wait::Until(
            [&] {
                RemoteListView list(List());
                for (DWORD pid : pids)
                    if (list.FindRow(PidText(pid), 1) < 0) return false;
                return true;
            },
            10000);
        if (!found) return false;
        RemoteListView list(List());
        list.ClearSelection();
        for (DWORD pid : pids) list.Select(list.FindRow(PidText(pid), 1), false);
        return Input::Focus(List()) && list.SelectedCount() == static_cast<int>(pids.size());
    }
    // The PIDs of the selected rows, in list order.
    std::vector<DWORD> SelectedPids() const
    {
        RemoteListView list(List());
        std::vector<DWORD> pids;
        for (int row : list.Selected()) pids.push_back(std::strtoul(list.Text(row, 1).c_str(), nullptr, 0));
        return pids;
    }
    bool ListShows(DWORD pid) const { return RemoteListView(List()).FindRow(PidText(pid), 1) >= 0; }

    Dialog Open(int command, const char* caption)
    {
        main.PostCommand(command);
        return Dialog::WaitFor(caption, app.Pid(), 10000);
    }

    Program app;
    Window main;
};

std::unique_ptr<HelperProgram> StartHelper(const std::string& verbs = std::string())
{
    std::unique_ptr<HelperProgram> helper(new HelperProgram);
    REQUIRE(helper->Start(verbs));
    return helper;
}

// Opens the save dialog from the report dialog, picks the file and the type
// (0 text, 1 XML, 2 HTML) and confirms.
void SaveAs(const Dialog& report, const std::string& path, int filter, int* preselected = nullptr)
{
    report.Press(kBrowse);
    const Dialog save = Dialog::WaitFor("Save As", report.GetWindow().Pid(), 10000);
    REQUIRE(save);
    RemoteListBox types(save.Control(kSaveFilter));
    if (preselected) *preselected = types.Selection();
    types.Select(filter);
    save.GetWindow().Post(WM_COMMAND, MAKEWPARAM(kSaveFilter, CBN_SELENDOK),
                          reinterpret_cast<LPARAM>(save.Control(kSaveFilter).Handle()));
    // The file name: a combo box in the dialogs of Windows 2000 and later, an edit before.
    REQUIRE(save.SetControlText(save.Control(kSaveName) ? kSaveName : kSaveNameEdit, path));
    save.Press(IDOK);
    REQUIRE(save.WaitGone(10000));
}

// A message box of the program with this text, pressed away with `button`.
void ExpectBox(DWORD pid, const std::string& text, int button = IDOK)
{
    const Dialog box = Dialog::WaitFor(kBoxCaption, pid, 10000);
    REQUIRE(box);
    CHECK(box.MessageText() == text);
    box.Press(button);
    CHECK(box.WaitGone(5000));
}

// The ".html" files open with tw-recorder for the life of the object.
class RecorderAssociation {
public:
    RecorderAssociation() : strOldClass(ClassesRoot::Value(".html"))
    {
        DeleteFileA(LogPath().c_str());
        const std::string command = "\"" + E2ePaths::ProgramPath("tw-recorder.exe") + "\" \"%1\"";
        ClassesRoot::SetValue(".html", "TwE2E.recorder");
        ClassesRoot::SetValue("TwE2E.recorder\\shell\\open\\command", command);
    }
    ~RecorderAssociation()
    {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "TwE2E.recorder\\shell\\open\\command");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "TwE2E.recorder\\shell\\open");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "TwE2E.recorder\\shell");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "TwE2E.recorder");
        ClassesRoot::SetValue(".html", strOldClass);
    }
    static std::string LogPath() { return E2ePaths::ProgramPath("tw-recorder.exe.log"); }

private:
    std::string strOldClass;
};

// Every process shown selected for a long report; the report dialog opened
// with an HTML file chosen and confirmed; returns the progress dialog.
Dialog StartLongHtmlReport(Session& session, const std::string& path)
{
    RemoteListView list(session.List());
    REQUIRE(list.SelectAll());
    REQUIRE(Input::Focus(session.List()));
    const Dialog report = session.Open(kReport, "Create Report");
    REQUIRE(report);
    SaveAs(report, path, 2);
    report.Press(IDOK);
    return Dialog::WaitFor("Creating Report", session.app.Pid(), 10000);
}

} // namespace

TEST_SUITE("kill report find") {

TEST_CASE("kill: rows of the selection, Delete, a mixed run with its errors, the refresh after it")
{
    auto a = StartHelper(), b = StartHelper(), c = StartHelper();
    const DWORD pidA = a->Pid(), pidB = b->Pid(), pidC = c->Pid();
    Session session;
    REQUIRE(session.Start());
    REQUIRE(session.SelectProcesses({pidA, pidB, pidC}));
    const std::vector<DWORD> order = session.SelectedPids();

    const Dialog dialog = session.Open(kKill, "Process Termination");
    REQUIRE(dialog);
    RemoteListBox rows(dialog.Control(kProcessList));
    Texts expected;
    for (DWORD pid : order) expected.push_back(Caption("tw-helper.exe", pid));
    CHECK(rows.Texts() == expected);
    CHECK(dialog.ControlText(IDOK) == "&Kill");
    CHECK(dialog.Control(IDOK).ClassName() == "ClButtonEx");
    CHECK(dialog.ControlText(kWarning).compare(0, 39, "WARNING: Terminating a process can caus") == 0);
    CHECK_FALSE(dialog.Control(kShowErrors).IsVisible());
    Screenshot::SaveDesktop("termination");

    // B leaves the list; C ends and its id is released before the run.
    REQUIRE(rows.Select(rows.Find(Caption("tw-helper.exe", pidB))));
    dialog.Control(kProcessList).Post(WM_KEYDOWN, VK_DELETE, 0);
    REQUIRE(Wait::Until([&] { return rows.Count() == 2; }, 5000));
    c.reset();
    REQUIRE(WaitForIdReleased(pidC, 10000));

    dialog.Press(IDOK);
    REQUIRE(dialog.Control(IDOK).WaitText("&Ok", 20000));
    CHECK(Wait::Until([&] { return !a->IsRunning(); }, 5000));
    CHECK(b->IsRunning());
    CHECK(dialog.Control(kShowErrors).IsVisible());
    Screenshot::SaveDesktop("termination-mixed");

    dialog.Press(kShowErrors);
    const Dialog errors = Dialog::WaitFor("Errors", session.app.Pid(), 10000);
    REQUIRE(errors);
    CHECK(errors.ControlText(kErrorText) == "tw-helper.exe [PID: " + std::to_string(pidC)
                                                + "] could not be terminated!\r\nErrorCode: 87\r\nErrorDescription: "
                                                + SystemText(87) + "\r\n");
    Screenshot::SaveDesktop("errors");
    errors.Press(IDOK);
    REQUIRE(errors.WaitGone(5000));

    // Closing after the run refreshes everything.
    dialog.Press(IDCANCEL);
    REQUIRE(dialog.WaitGone(5000));
    CHECK(Wait::Until([&] { return session.ListShows(pidB) && !session.ListShows(pidA); }, 10000));
    CHECK_FALSE(session.ListShows(pidC));
}

TEST_CASE("kill: OK, OK, Cancel in a burst run once and leave the dialog open; a dropped row; an empty list leaves only Cancel")
{
    auto a = StartHelper(), b = StartHelper(), c = StartHelper();
    Session session;
    REQUIRE(session.Start());
    REQUIRE(session.SelectProcesses({a->Pid(), b->Pid()}));
    const Dialog dialog = session.Open(kKill, "Process Termination");
    REQUIRE(dialog);
    // All three queued before the program sees the first: its thread waits meanwhile.
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, dialog.GetWindow().ThreadId());
    REQUIRE(thread);
    SuspendThread(thread);
    dialog.GetWindow().PostCommand(IDOK);
    dialog.GetWindow().PostCommand(IDOK);
    dialog.GetWindow().PostCommand(IDCANCEL);
    ResumeThread(thread);
    CloseHandle(thread);
    CHECK(Wait::Until([&] { return !a->IsRunning() && !b->IsRunning(); }, 10000));
    CHECK(dialog.Control(IDOK).WaitText("&Ok", 10000));
    Wait::Pause(500);
    CHECK(dialog.GetWindow().IsVisible());
    CHECK_FALSE(dialog.Control(kShowErrors).IsVisible());
    dialog.Press(IDCANCEL);
    REQUIRE(dialog.WaitGone(5000));

    // A row dragged onto the tree's "Kill" item.
    REQUIRE(session.SelectProcesses({c->Pid()}));
    RemoteListView list(session.List());
    RemoteTreeView tree(session.Tree());
    RECT from = {}, to = {};
    REQUIRE(list.ItemRect(list.Selected().front(), from));
    REQUIRE(tree.ItemRect(tree.Find("Kill"), to));
    MapWindowPoints(session.List().Handle(), nullptr, reinterpret_cast<POINT*>(&from), 2);
    MapWindowPoints(session.Tree().Handle(), nullptr, reinterpret_cast<POINT*>(&to), 2);
    REQUIRE(Input::Activate(session.main));
    SlowDrag({from.left + 8, (from.top + from.bottom) / 2}, {(to.left + to.right) / 2, (to.top + to.bottom) / 2});
    const Dialog single = Dialog::WaitFor("Process Termination", session.app.Pid(), 10000);
    REQUIRE(single);
    CHECK(RemoteListBox(single.Control(kProcessList)).Texts() == Texts{Caption("tw-helper.exe", c->Pid())});
    RemoteListBox rows(single.Control(kProcessList));
    REQUIRE(rows.Select(0));
    single.Control(kProcessList).Post(WM_KEYDOWN, VK_DELETE, 0);
    REQUIRE(Wait::Until([&] { return rows.Count() == 0; }, 5000));
    CHECK(Wait::Until([&] { return !single.Control(IDOK).IsEnabled(); }, 5000));
    CHECK(LOWORD(single.GetWindow().Send(DM_GETDEFID)) == IDCANCEL);
    single.Press(IDCANCEL);
    REQUIRE(single.WaitGone(5000));
    CHECK(c->IsRunning());
}

TEST_CASE("kill by Delete: the program's own row first and a helper after: the helper ends, then the program")
{
    Session session;
    REQUIRE(session.Start());
    auto helper = StartHelper();
    REQUIRE(session.SelectProcesses({session.app.Pid(), helper->Pid()}));
    REQUIRE(session.SelectedPids().front() == session.app.Pid());
    // Delete in the list.
    REQUIRE(Input::Keys("Delete"));
    const Dialog dialog = Dialog::WaitFor("Process Termination", session.app.Pid(), 10000);
    REQUIRE(dialog);
    CHECK(RemoteListBox(dialog.Control(kProcessList)).Text(0) == Caption("tarnwick.exe", session.app.Pid()));
    dialog.Press(IDOK);
    CHECK(session.app.WaitExit(20000));
    CHECK(session.app.ExitCode() == 0);
    CHECK_FALSE(helper->IsRunning());
}

TEST_CASE("report: the checks of OK, the type from the filter, the main window enabled after writing")
{
    auto helper = StartHelper();
    Session session;
    REQUIRE(session.Start());
    REQUIRE(session.SelectProcesses({helper->Pid()}));
    const DWORD pid = session.app.Pid();
    const std::string xmlPath = E2ePaths::ProgramPath("report-out.txt");
    DeleteFileA(xmlPath.c_str());

    // No process and no file; then a file but no process.
    Dialog report = session.Open(kReport, "Create Report");
    REQUIRE(report);
    RemoteListBox rows(report.Control(kProcessList));
    CHECK(rows.Texts() == Texts{Caption("tw-helper.exe", helper->Pid())});
    Screenshot::SaveDesktop("report");
    REQUIRE(rows.Select(0));
    report.Control(kProcessList).Post(WM_KEYDOWN, VK_DELETE, 0);
    REQUIRE(Wait::Until([&] { return rows.Count() == 0; }, 5000));
    report.Press(IDOK);
    ExpectBox(pid, "No process(es) selected and no report file specified!");
    SaveAs(report, E2ePaths::ProgramPath("unused.txt"), 0);
    report.Press(IDOK);
    ExpectBox(pid, "No process(es) selected!");
    report.Press(IDCANCEL);
    REQUIRE(report.WaitGone(5000));

    // A process but no file; then XML chosen in the filter, with a ".txt" name.
    report = session.Open(kReport, "Create Report");
    REQUIRE(report);
    report.Press(IDOK);
    ExpectBox(pid, "No report file specified!");
    SaveAs(report, xmlPath, 1);
    CHECK(report.ControlText(kReportFile) == xmlPath);
    report.Press(IDOK);
    REQUIRE(report.WaitGone(5000));
    CHECK(Wait::Until([&] { return session.main.IsEnabled() && !Dialog::Find("Creating Report", pid); }, 20000));
    // The report takes its name once it is complete, just after the window is enabled.
    CHECK(Wait::Until([&] { return ReadText(xmlPath).find("</Processes>") != std::string::npos; }, 10000));
    const std::string xml = ReadText(xmlPath);
    CHECK(xml.compare(0, 5, "<?xml") == 0);
    CHECK(xml.find("</Processes>") != std::string::npos);
    CHECK(xml.find(PidText(helper->Pid())) != std::string::npos);
    CHECK(!FileExists(E2ePaths::ProgramPath("unused.txt")));

    // The next save dialog starts on the type chosen last.
    report = session.Open(kReport, "Create Report");
    REQUIRE(report);
    int preselected = -1;
    SaveAs(report, E2ePaths::ProgramPath("again.xml"), 1, &preselected);
    CHECK(preselected == 1);
    report.Press(IDCANCEL);
    REQUIRE(report.WaitGone(5000));
}

TEST_CASE("report: HTML opened by the shell; Cancel asks; No goes on; Yes leaves nothing")
{
    std::vector<std::unique_ptr<HelperProgram>> helpers;
    for (int i = 0; i < 6; ++i) helpers.push_back(StartHelper("load restypes.dll"));
    RecorderAssociation recorder;
    Session session;
    REQUIRE(session.Start());
    REQUIRE(session.SelectProcesses({helpers[0]->Pid()}));
    const DWORD pid = session.app.Pid();
    const std::string kept = E2ePaths::ProgramPath("kept.html"), dropped = E2ePaths::ProgramPath("dropped.html");

    Dialog progress = StartLongHtmlReport(session, kept);
    REQUIRE(progress);
    CHECK_FALSE(session.main.IsEnabled());
    progress.Press(IDCANCEL);
    {
        const Dialog box = Dialog::WaitFor(kBoxCaption, pid, 10000);
        REQUIRE(box);
        CHECK(box.MessageText() == "Do you really want to abort?");
        Screenshot::SaveDesktop("progress");
        box.Press(IDNO);
    }
    REQUIRE(progress.WaitGone(60000));
    CHECK(Wait::Until([&] { return session.main.IsEnabled(); }, 5000));
    CHECK(Wait::Until([&] { return ReadText(kept).find("</html>") != std::string::npos; }, 10000));
    CHECK(FileExists(E2ePaths::ProgramPath("kept_files\\tarnwick_report.css")));
    CHECK(Wait::Until([&] { return ReadText(RecorderAssociation::LogPath()).find(kept) != std::string::npos; },
                      10000));

    progress = StartLongHtmlReport(session, dropped);
    REQUIRE(progress);
    progress.Press(IDCANCEL);
    ExpectBox(pid, "Do you really want to abort?", IDYES);
    REQUIRE(progress.WaitGone(60000));
    CHECK(Wait::Until([&] { return session.main.IsEnabled(); }, 5000));
    Wait::Pause(1000);
    CHECK_FALSE(FileExists(dropped));
    CHECK_FALSE(FileExists(E2ePaths::ProgramPath("dropped_files")));
    CHECK(ReadText(RecorderAssociation::LogPath()).find(dropped) == std::string::npos);
}

TEST_CASE("report: closing the main window during a report lets it finish, then the program ends")
{
    std::vector<std::unique_ptr<HelperProgram>> helpers;
    for (int i = 0; i < 6; ++i) helpers.push_back(StartHelper("load restypes.dll"));
    RecorderAssociation recorder;
    Session session;
    REQUIRE(session.Start());
    REQUIRE(session.SelectProcesses({helpers[0]->Pid()}));
    const std::string path = E2ePaths::ProgramPath("closed.html");
    const Dialog progress = StartLongHtmlReport(session, path);
    REQUIRE(progress);
    // The abort question holds the report while the window is asked to close.
    progress.Press(IDCANCEL);
    const Dialog box = Dialog::WaitFor(kBoxCaption, session.app.Pid(), 10000);
    REQUIRE(box);
    session.main.Close();
    Wait::Pause(300);
    CHECK(session.app.IsRunning());
    box.Press(IDNO);
    CHECK(session.app.WaitExit(60000));
    CHECK(session.app.ExitCode() == 0);
    CHECK(ReadText(path).find("</html>") != std::string::npos);
}

TEST_CASE("report and kill dialogs: rows as high as a small icon and 4 pixels")
{
    auto helper = StartHelper();
    Session session;
    REQUIRE(session.Start());
    const LRESULT expected = GetSystemMetrics(SM_CYSMICON) + 4;
    for (const auto& dialog : {std::make_pair(kReport, "Create Report"), std::make_pair(kKill, "Process Termination")}) {
        CAPTURE(dialog.second);
        REQUIRE(session.SelectProcesses({helper->Pid()}));
        const Dialog shown = session.Open(dialog.first, dialog.second);
        REQUIRE(shown);
        CHECK(shown.Control(kProcessList).Send(LB_GETITEMHEIGHT, 0, 0) == expected);
        shown.Press(IDCANCEL);
        REQUIRE(shown.WaitGone(5000));
    }
}

TEST_CASE("find dll: rows equal the console tool's, also after a burst of Find")
{
    auto first = StartHelper("load restypes.dll"), second = StartHelper("load restypes.dll");
    Session session;
    REQUIRE(session.Start());
    const Dialog dialog = session.Open(kFindDll, "Find Dll");
    REQUIRE(dialog);
    CHECK((dialog.Control(kFind).Style() & 0x0F) == BS_DEFPUSHBUTTON);
    const Window results = dialog.Control(kResults);
    CHECK(RemoteHeader(RemoteListView(results).Header()).Texts() == Texts{"Module", "Location"});

    const Texts restypes = FindDllRows("RESTYPES.DLL");
    REQUIRE(restypes.size() == 4);
    dialog.SetControlText(kPattern, "RESTYPES.DLL");
    dialog.Press(kFind);
    Wait::Until([&] { return ListViewRows(results) == restypes; }, 20000);
    CHECK(ListViewRows(results) == restypes);
    Screenshot::SaveDesktop("find");

    dialog.SetControlText(kPattern, "restypes");
    dialog.Press(kFind);
    CHECK(Wait::Until([&] { return RemoteListView(results).Count() == 0; }, 20000));
    Wait::Pause(500);
    CHECK(RemoteListView(results).Count() == 0);

    // A process that starts or ends between the two searches (a program of an
    // earlier test going away) spoils the comparison: then once more.
    dialog.SetControlText(kPattern, "*");
    Texts all, shown;
    for (int attempt = 0; attempt < 3 && (shown.empty() || shown != all); ++attempt) {
        for (int i = 0; i < 5; ++i) dialog.GetWindow().PostCommand(kFind);
        Wait::Pause(300);
        Wait::Until(
            [&] {
                const Texts now = ListViewRows(results);
                const bool settled = !now.empty() && now == shown;
                shown = now;
                return settled;
            },
            30000, 500);
        all = FindDllRows("*");
    }
    CHECK(shown == all);
    CHECK(dialog.GetWindow().IsVisible());
    dialog.Press(IDOK);
    CHECK(dialog.WaitGone(10000));
}

} // TEST_SUITE
