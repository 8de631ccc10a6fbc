// The texts of the reports as files a user gets: under the German interface
// the XML stays well-formed UTF-8 and the HTML keeps its English fixed texts;
// every format names the build's version and the product's one address.
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/ClassesRoot.h"
#include "tests/e2e/E2eFiles.h"

#include "TarnwickVersion.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

using E2eFiles::ReadText;

const int kReport = 40050, kRefresh = 40056;
const int kBrowse = 1130;
const int kSaveName = 0x47C, kSaveNameEdit = 0x480, kSaveFilter = 0x470;
enum Type { Text = 0, Xml = 1, Html = 2 };

std::string PidText(DWORD pid)
{
    char text[32];
    snprintf(text, sizeof(text), E2ePaths::IsNineX() ? "0x%08lX" : "%lu", static_cast<unsigned long>(pid));
    return text;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The interface language of the program folder for the life of the object.
class InterfaceLanguage {
public:
    explicit InterfaceLanguage(const char* module) : strIni(E2ePaths::ProgramPath("Language\\Language.ini"))
    {
        strOld = ReadText(strIni);
        WritePrivateProfileStringA("LANGUAGE", "Module", module, strIni.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, strIni.c_str());
    }
    ~InterfaceLanguage()
    {
        std::ofstream(strIni, std::ios::binary | std::ios::trunc) << strOld;
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, strIni.c_str());
    }

private:
    std::string strIni, strOld;
};

// The program with a helper's row selected in the process list, writing reports.
class ReportRun {
public:
    // `processes` and `dialogCaption`: the tree item and the report dialog's title in the interface language.
    ReportRun(const char* processes, const char* dialogCaption) : szProcesses(processes), szCaption(dialogCaption) {}

    bool Start(DWORD pid)
    {
        Program::RemoveSettings();
        if (!app.Start("--nosplash --priority-normal")) return false;
        main = app.WaitForWindow("TarnwickMainFrameWndClass", TARNWICK_TITLE, 15000);
        if (!main) return false;
        main.Send(WM_COMMAND, kRefresh, 1);
        RemoteTreeView tree(main.Child(302));
        if (!Wait::Until([&] { return tree.Find(szProcesses) != nullptr; }, 10000)) return false;
        tree.Select(tree.Find(szProcesses));
        if (!Wait::Until([&] { return RemoteListView(main.Child(304)).FindRow(PidText(pid), 1) >= 0; }, 10000))
            return false;
        RemoteListView list(main.Child(304));
        list.ClearSelection();
        list.Select(list.FindRow(PidText(pid), 1), false);
        return Input::Focus(main.Child(304)) && list.SelectedCount() == 1;
    }

    // The report of the selected row as `type`, complete; its text.
    std::string Write(const std::string& path, Type type, const char* end)
    {
        DeleteFileA(path.c_str());
        REQUIRE(Input::Focus(main.Child(304)));
        main.PostCommand(kReport);
        const Dialog report = Dialog::WaitFor(szCaption, app.Pid(), 10000);
        REQUIRE(report);
        report.Press(kBrowse);
        const Dialog save = Dialog::WaitFor("Save As", app.Pid(), 10000);
        REQUIRE(save);
        RemoteListBox(save.Control(kSaveFilter)).Select(type);
        save.GetWindow().Post(WM_COMMAND, MAKEWPARAM(kSaveFilter, CBN_SELENDOK),
                              reinterpret_cast<LPARAM>(save.Control(kSaveFilter).Handle()));
        REQUIRE(save.SetControlText(save.Control(kSaveName) ? kSaveName : kSaveNameEdit, path));
        save.Press(IDOK);
        REQUIRE(save.WaitGone(10000));
        report.Press(IDOK);
        REQUIRE(report.WaitGone(5000));
        CHECK(Wait::Until([&] { return Contains(ReadText(path), end); }, 20000));
        return ReadText(path);
    }

    Program app;
    Window main;

private:
    const char* szProcesses;
    const char* szCaption;
};

// The HTML row of the process with this PID: from its "<tr" to its "</tr>".
std::string HtmlRow(const std::string& page, DWORD pid)
{
    const size_t cell = page.find("<td align=\"right\">" + PidText(pid) + "</td>");
    if (cell == std::string::npos) return std::string();
    const size_t start = page.rfind("<tr", cell);
    const size_t end = page.find("</tr>", cell);
    return start == std::string::npos || end == std::string::npos ? std::string() : page.substr(start, end - start);
}

// ".html" files open with tw-recorder (which only logs) for the life of the object.
class QuietHtmlViewer {
public:
    QuietHtmlViewer() : strOld(ClassesRoot::Value(".html"))
    {
        ClassesRoot::SetValue(".html", "TwE2E.quiet");
        ClassesRoot::SetValue("TwE2E.quiet\\shell\\open\\command", "\"" + E2ePaths::ProgramPath("tw-recorder.exe") + "\" \"%1\"");
    }
    ~QuietHtmlViewer()
    {
        for (const char* key : {"TwE2E.quiet\\shell\\open\\command", "TwE2E.quiet\\shell\\open", "TwE2E.quiet\\shell",
                                "TwE2E.quiet"})
            RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        ClassesRoot::SetValue(".html", strOld);
    }

private:
    std::string strOld;
};

} // namespace

TEST_SUITE("report texts") {

TEST_CASE("report under the German interface: the XML is UTF-8 throughout, missing values in German")
{
    InterfaceLanguage german("German_tarnwick.lang");
    HelperProgram helper;  // no version resource: its version fields are missing
    REQUIRE(helper.Start());
    ReportRun run("Prozesse", "Bericht erstellen");
    REQUIRE(run.Start(helper.Pid()));
    // xmllint reads this file after the run (CTest entry xmllint-e2e-de-VER).
    const std::string xml = run.Write(E2ePaths::ProgramPath("report-de.xml"), Xml, "</Processes>");
    CHECK(Contains(xml, "<Version>Nicht verf\xC3\xBCgbar</Version>"));
    CHECK_FALSE(Contains(xml, "verf\xFCgbar"));
    CHECK(run.app.Close());
}

TEST_CASE("report under the German interface: the HTML names priority classes in English")
{
    InterfaceLanguage german("German_tarnwick.lang");
    QuietHtmlViewer viewer;
    HelperProgram helper;
    REQUIRE(helper.Start());
    REQUIRE(SetPriorityClass(helper.Handle(), IDLE_PRIORITY_CLASS));
    ReportRun run("Prozesse", "Bericht erstellen");
    REQUIRE(run.Start(helper.Pid()));
    const std::string html = run.Write(E2ePaths::ProgramPath("report-de.html"), Html, "</html>");
    const std::string row = HtmlRow(html, helper.Pid());
    CAPTURE(row);
    CHECK(Contains(row, "<td nowrap>Low</td>"));
    CHECK_FALSE(Contains(row, "Niedrig"));
    CHECK(run.app.Close());
}

TEST_CASE("reports: text, XML and HTML carry the build's version and the product's one address")
{
    QuietHtmlViewer viewer;
    HelperProgram helper;
    REQUIRE(helper.Start("load restypes.dll"));
    ReportRun run("Processes", "Create Report");
    REQUIRE(run.Start(helper.Pid()));
    const std::string created = std::string("created by ") + TARNWICK_TITLE;

    const std::string text = run.Write(E2ePaths::ProgramPath("report-version.txt"), Text, "Modules:");
    CHECK(Contains(text, "\r\nThis report was " + created + "\r\n"));

    const std::string xml = run.Write(E2ePaths::ProgramPath("report-version.xml"), Xml, "</Processes>");
    CHECK(Contains(xml, "\r\n<!-- This report was " + created + " -->\r\n"));

    const std::string heading =
        std::string("<h1><a class=\"content\" href=\"") + TARNWICK_HOME_SITE + "/\">" + TARNWICK_TITLE + "</a></h1>";
    const std::string html = run.Write(E2ePaths::ProgramPath("report-version.html"), Html, "</html>");
    CHECK(Contains(html, std::string("<meta name=\"generator\" Content=\"") + TARNWICK_TITLE + "\">"));
    CHECK(Contains(html, std::string("<title>") + TARNWICK_TITLE + "</title>"));
    CHECK(Contains(html, heading));
    // The module pages may still be in writing when the main page has ended.
    const std::string pagePath = E2ePaths::ProgramPath("report-version_files\\" + std::to_string(helper.Pid()) + ".html");
    std::string page;
    CHECK(Wait::Until([&] { return Contains(page = ReadText(pagePath), "</html>"); }, 10000));
    CHECK(Contains(page, std::string("<title>") + TARNWICK_TITLE + " - Modules of "));
    CHECK(Contains(page, heading));
    for (const std::string* file : {&text, &xml, &html, static_cast<const std::string*>(&page)}) CHECK_FALSE(Contains(*file, "tarnwick.org"));
    CHECK(run.app.Close());
}

} // TEST_SUITE
