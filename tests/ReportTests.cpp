#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "app/settings/UserSettingsFile.h"
#include "report/HtmlReportWriter.h"
#include "report/ReportText.h"
#include "report/TextReportWriter.h"
#include "report/XmlReportWriter.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ServiceList.h"
#include "sysutils/StagedFiles.h"

#include <cstring>
#include <map>
#include <vector>

namespace {

// Modules handed out per process id.
class FixedModules : public ModuleSource {
public:
    bool Enumerate(uint32_t pid, uint64_t, std::vector<ModuleRecord>& modules) override
    {
        auto found = lists.find(pid);
        if (found == lists.end()) return false;
        modules = found->second;
        return true;
    }
    std::map<uint32_t, std::vector<ModuleRecord>> lists;
};

// Records what the writer shows; aborts after a given number of module steps.
class ScriptedProgress : public ReportProgress {
public:
    void Begin() override { ++begins; }
    void End() override { ++ends; }
    void SetRange(int bar, uint32_t, uint32_t max) override { maximum[bar] = max; }
    void SetStep(int, uint32_t) override {}
    void SetPosition(int bar, uint32_t value) override { position[bar] = value; }
    void Step(int bar) override
    {
        ++position[bar];
        if (bar == Modules && ++moduleSteps == abortAfterModules) aborted = true;
    }
    void SetProcessText(const std::string& text) override { processTexts.push_back(text); }
    void SetModuleText(const std::string&) override {}
    bool IsAborted() const override { return aborted; }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void OpenDocument(const std::string& path) override { opened.push_back(path); }

    int begins = 0, ends = 0;
    uint32_t maximum[2] = {0, 0}, position[2] = {0, 0};
    int moduleSteps = 0, abortAfterModules = -1;
    bool aborted = false;
    std::vector<std::string> processTexts, errors, opened;
};

ModuleRecord Module(const std::string& path, uint32_t base, uint32_t preferred, uint32_t order)
{
    ModuleRecord m;
    m.strPath = path;
    m.strName = path.substr(path.find_last_of('\\') + 1);
    m.dwBaseAddress = base;
    m.dwPreferredBase = preferred;
    m.nFileSizeLow = 1234567;
    m.dwLoadOrder = order;
    return m;
}

// Two processes: one with modules (the helper program statically, restypes.dll
// relocated and loaded at run time), one whose modules cannot be read.
struct Fixture {
    UserSettings settings;
    ValueFormatter formatter;
    FileFactsCache cache;
    ItemBuilder builder;
    FixedModules modules;
    ReportContext context;
    ProcessItem first, second;
    std::vector<const ProcessItem*> processes;

    explicit Fixture(bool nt = true)
        : formatter((UserSettingsFile::SetDefaults(settings), settings), nt), builder(formatter, cache)
    {
        const std::string bin = TestPaths::BinFolder();
        modules.lists[100] = {Module(bin + "tw-helper.exe", 0x400000, 0x400000, 0),
                              Module(bin + "restypes.dll", 0x20000000, 0x10000000, 1)};
        context.strMachine = "MACHINE";
        context.strUser = "user";
        context.strOs = "Microsoft Windows XP Professional Service Pack 3 (Build 2600)";
        context.strDate = "12/08/26";
        context.strTime = "17:05:09";
        context.modules = &modules;
        context.builder = &builder;
        context.formatter = &formatter;

        ProcessRecord record;
        record.strName = "app.exe";
        record.strPath = bin + "tw-helper.exe";
        record.dwProcessId = 100;
        record.dwParentProcessId = 4;
        record.strOwner = "\\\\PC\\user";
        record.strCommandLine = "app.exe \"<arg>\" & more";
        record.dwSequence = 3;
        record.dwHandleCount = 10;
        record.dwThreadCount = 2;
        record.dwPriorityClass = 0x20;
        record.ftCreationTime = {0x12345678, 0x01C00000};
        ServiceList none;
        builder.BuildProcessItem(first, record, none, false);
        record.strName = "odd\xE9<&>.exe";
        record.strPath = "...";
        record.dwProcessId = 200;
        record.strOwner = "...";
        record.strCommandLine = "...";
        record.dwPriorityClass = 0x40;
        builder.BuildProcessItem(second, record, none, false);
        processes = {&first, &second};
    }
};

std::vector<std::string> Lines(const std::string& path)
{
    std::vector<std::string> lines;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return lines;
    std::string all;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) all.append(buffer, got);
    std::fclose(file);
    size_t start = 0;
    for (size_t at; (at = all.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(all.substr(start, at - start));
    if (start < all.size()) lines.push_back("<no CR LF>" + all.substr(start));
    return lines;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Content(const std::string& path)
{
    std::string all;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "<missing>";
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) all.append(buffer, got);
    std::fclose(file);
    return all;
}

// Temporary files a report or a save left in a folder.
int Leftovers(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\twr*.tmp").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileA(search, &data));
    FindClose(search);
    return count;
}

} // namespace

TEST_SUITE("reports")
{
    TEST_CASE("escaping and UTF-8")
    {
        CHECK(ReportText::XmlEscape("Tools & Utilities") == "Tools &amp; Utilities");
        CHECK(ReportText::XmlEscape("a\"b'c<d>e&") == "a&quot;b&#39;c&lt;d&gt;e&amp;");
        CHECK(ReportText::XmlEscape("&amp;") == "&amp;amp;");
        CHECK(ReportText::HtmlEscape("<b>\"x\" & y</b>") == "&lt;b&gt;&quot;x&quot; &amp; y&lt;/b&gt;");
        CHECK(ReportText::Utf8FromUnits(u"A\u00E9\u20AC") == "A\xC3\xA9\xE2\x82\xAC");
        CHECK(ReportText::FolderName("D:\\dir\\report.html", "files") == "report_files");
        CHECK(ReportText::FolderPath("D:\\dir\\report.html", "files") == "D:\\dir\\report_files");
        CHECK(ReportText::FolderPath("report.txt", "files") == "report_files");
        CHECK(ReportText::FolderPath("D:\\a.b\\noext", "files") == "D:\\a.b\\noext_files");
    }

    TEST_CASE("the text report, line by line")
    {
        Fixture f;
        const std::string folder = TestPaths::MakeScratchFolder("text");
        const std::string path = folder + "\\report.txt";
        ScriptedProgress progress;
        REQUIRE(TextReportWriter().Write(f.processes, path, f.context, progress));
        const std::vector<std::string> lines = Lines(path);
        REQUIRE(lines.size() >= 9 + 16 + 15);
        CHECK(lines[0] == std::string(79, '#'));
        CHECK(lines[1] == "This report was created by Tarnwick 2.6");
        CHECK(lines[2] == "Date      : 12/08/26");
        CHECK(lines[3] == "Time      : 17:05:09");
        CHECK(lines[4] == "Machine   : MACHINE");
        CHECK(lines[5] == "Local User: user");
        CHECK(lines[6] == "OS        : Microsoft Windows XP Professional Service Pack 3 (Build 2600)");
        CHECK(lines[7] == lines[0]);
        CHECK(lines[8].empty());
        CHECK(lines[9] == "Name: app.exe");
        CHECK(lines[10] == "Executable: " + TestPaths::BinFolder() + "tw-helper.exe");
        CHECK(lines[11] == "PID: 100");
        CHECK(lines[12] == "PPID: 4");
        CHECK(lines[13] == "Threads: 2");
        CHECK(lines[14] == "Handles: 10");
        CHECK(lines[15] == "Owner: \\\\PC\\user");
        CHECK(lines[16].compare(0, 10, "Creation: ") == 0);
        CHECK(lines[17] == "Commandline: app.exe \"<arg>\" & more");  // as it stands
        CHECK(lines[18] == "Version: Not Available");
        CHECK(lines[19] == "Description: Not Available");
        CHECK(lines[20] == "Company: Not Available");
        CHECK(lines[21] == "PriorityClass: 32");
        CHECK(lines[22] == "Modules:");
        CHECK(lines[23] == "\ttw-helper.exe; " + TestPaths::BinFolder() + "tw-helper.exe; 0x00400000; Not Available; "
                               "Not Available; Not Available; 1.206 Kb; Unknown; Unknown; Static; Preferred");
        CHECK(lines[24] == "\trestypes.dll; " + TestPaths::BinFolder() + "restypes.dll; 0x20000000; 1.2.3.4; "
                               "Resource types; Not Available; 1.206 Kb; Unknown; Unknown; Dynamic; Relocated");
        CHECK(lines[25].empty());
        CHECK(lines[26] == "Name: odd\xE9<&>.exe");
        CHECK(lines[27] == "Executable: Not Available");
        CHECK(lines[31] == "Handles: 10");
        CHECK(lines[32] == "Owner: Not Available");
        CHECK(lines[34] == "Commandline: Not Available");
        CHECK(lines[38] == "PriorityClass: 64");
        CHECK(lines[39] == "Modules:");
        CHECK(lines[40] == "\tNot Available");
        CHECK(lines[41].empty());
        CHECK(lines.size() == 42);
        CHECK(progress.begins == 1);
        CHECK(progress.ends == 1);
        CHECK(progress.position[0] == 2);
        CHECK(progress.processTexts == std::vector<std::string>{"app.exe - [PID: 100]"});
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("the 9x forms of the text report")
    {
        Fixture f(false);
        const std::string folder = TestPaths::MakeScratchFolder("text9x");
        const std::string path = folder + "\\report.txt";
        ScriptedProgress progress;
        REQUIRE(TextReportWriter().Write(f.processes, path, f.context, progress));
        const std::vector<std::string> lines = Lines(path);
        REQUIRE(lines.size() > 21);
        CHECK(lines[11] == "PID: 0x00000064");
        CHECK(lines[12] == "PPID: 0x00000004");
        CHECK(lines[14] == "Handles: Not Available");
        CHECK(lines[15] == "Owner: Not Available");
        CHECK(lines[16] == "Creation: Not Available");
        CHECK(progress.processTexts == std::vector<std::string>{"app.exe - [PID: 0x00000064]"});
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("the XML report: escaping, UTF-8 and a real parser")
    {
        Fixture f;
        const std::string folder = TestPaths::MakeScratchFolder("xml");
        const std::string path = folder + "\\report.txt";  // the type decides, not the extension
        ScriptedProgress progress;
        REQUIRE(XmlReportWriter().Write(f.processes, path, f.context, progress));
        const std::vector<std::string> lines = Lines(path);
        REQUIRE(lines.size() > 40);
        CHECK(lines[0] == "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        CHECK(lines[1] == "<!-- This report was created by Tarnwick 2.6 -->");
        CHECK(lines[2] == "<!-- Date      : 12/08/26-->");
        CHECK(lines[3] == "<!-- Time      : 17:05:09-->");
        CHECK(lines[4] == "<!-- Machine   : MACHINE-->");
        CHECK(lines[7] == "<Processes>");
        CHECK(lines[8] == "<Process Name=\"app.exe\"><Executable>" + TestPaths::BinFolder() + "tw-helper.exe</Executable>");
        CHECK(lines[9] == "<PID>100</PID>");
        CHECK(lines[15] == "<Commandline>app.exe &quot;&lt;arg&gt;&quot; &amp; more</Commandline>");
        CHECK(lines[16] == "<Version>Not Available</Version>");
        CHECK(lines[19] == "<PriorityClass>32</PriorityClass>");
        CHECK(lines[20] == "<Modules>");
        CHECK(lines[21] == "<Module Name=\"tw-helper.exe\">");
        CHECK(lines[26] == "<Company>Not Available</Company>");
        CHECK(lines[27] == "<Size>1.206 Kb</Size>");
        CHECK(lines[28] == "<Created>Unknown</Created>");
        CHECK(lines[30] == "<IsDynamic>False</IsDynamic>");
        CHECK(lines[31] == "<IsRelocated>False</IsRelocated>");
        CHECK(lines[32] == "</Module>");
        CHECK(lines[36] == "<Version>1.2.3.4</Version>");
        CHECK(lines[42] == "<IsDynamic>True</IsDynamic>");
        CHECK(lines[43] == "<IsRelocated>True</IsRelocated>");
        CHECK(lines[45] == "</Modules>");
        CHECK(lines[46] == "</Process>");
        if (GetACP() == 1252)
            CHECK(lines[47] == "<Process Name=\"odd\xC3\xA9&lt;&amp;&gt;.exe\"><Executable>Not Available</Executable>");
        CHECK(lines[58] == "<PriorityClass>64</PriorityClass>");
        CHECK(lines[59] == "<Modules>");
        CHECK(lines[60] == "Not Available");
        CHECK(lines[61] == "</Modules>");
        CHECK(lines[62] == "</Process>");
        CHECK(lines[63] == "</Processes>");
        CHECK(lines.size() == 64);

        // A copy for xmllint, run by CTest after this program.
        CopyFileA(path.c_str(), (TestPaths::BinFolder() + "report-sample.xml").c_str(), FALSE);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("the HTML report: pages, links, style sheet and escaping")
    {
        Fixture f;
        f.first.bService = 1;
        const std::string folder = TestPaths::MakeScratchFolder("html");
        const std::string path = folder + "\\report.html";
        ScriptedProgress progress;
        REQUIRE(HtmlReportWriter().Write(f.processes, path, f.context, progress));
        CHECK(progress.opened == std::vector<std::string>{path});

        const std::vector<std::string> main = Lines(path);
        char charset[96];
        snprintf(charset, sizeof(charset), "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-%u\">",
                 GetACP());
        REQUIRE(main.size() > 60);
        CHECK(main[0] == "<html>");
        CHECK(main[2] == charset);
        CHECK(main[3] == "<meta name=\"generator\" Content=\"Tarnwick 2.6\">");
        CHECK(main[4] == "<title>Tarnwick 2.6</title>");
        CHECK(main[5] == "<link rel=\"stylesheet\" type=\"text/css\" href=\"./report_files/tarnwick_report.css\">");
        CHECK(main[12] == "<b>Created:</b> 12/08/26, 17:05:09<br>");
        CHECK(main[17] == "<table border=\"0\" cellpadding=\"0\" cellspacing=\"1\" align=\"center\" width=100%>");
        CHECK(main[20] == "<table border=\"0\" cellpadding=\"4\" cellspacing=\"1\" width=100%>");
        CHECK(main[21] == "<tr class=\"head\">");
        CHECK(main[35] == "<tr class=\"service\">");
        CHECK(main[36] == "<td nowrap><a href=\"./report_files/100.html\">app.exe</a></td>");
        CHECK(main[45] == "<td nowrap>Normal</td>");
        CHECK(main[47] == "<td nowrap>app.exe &quot;&lt;arg&gt;&quot; &amp; more</td>");
        CHECK(main[49] == "<tr class=\"normal\">");
        CHECK(main[50] == "<td nowrap>odd\xE9&lt;&amp;&gt;.exe</td>");  // no page: no link
        CHECK(main.back() == "</html>");

        const std::string files = folder + "\\report_files";
        const std::vector<std::string> css = Lines(files + "\\tarnwick_report.css");
        REQUIRE(css.size() == 11);
        CHECK(css[0].compare(0, 11, "body       ") == 0);
        CHECK(css[9] == "a.content  { color: #0000FF; text-decoration: underline; }");
        CHECK(css[10].empty());
        CHECK_FALSE(Exists(files + "\\200.html"));

        const std::vector<std::string> page = Lines(files + "\\100.html");
        REQUIRE(page.size() > 40);
        CHECK(page[4] == "<title>Tarnwick 2.6 - Modules of app.exe - [PID: 100]</title>");
        CHECK(page[5] == "<link rel=\"stylesheet\" type=\"text/css\" href=\"./tarnwick_report.css\">");
        CHECK(page[12] == "<b>Modules of app.exe - [PID: 100]</b>");
        CHECK(page[18] == "<tr class=\"head\">");
        CHECK(page[29] == "<tr class=\"normal\">");
        CHECK(page[30] == "<td nowrap>tw-helper.exe</td>");
        CHECK(page[35] == "<td nowrap align=\"right\">1.206 Kb</td>");
        CHECK(page[36] == "<td nowrap align=\"right\">0x00400000</td>");
        CHECK(page[40] == "<tr class=\"dynamic\">");
        CHECK(page.back() == "</html>");

        // A second report over the first reuses the folder.
        ScriptedProgress again;
        CHECK(HtmlReportWriter().Write(f.processes, path, f.context, again));
        CHECK(again.errors.empty());
        CHECK(Exists(files + "\\100.html"));
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("aborts leave nothing behind")
    {
        Fixture f;
        const std::string folder = TestPaths::MakeScratchFolder("abort");
        for (int format = 0; format < 3; ++format) {
            CAPTURE(format);
            // After the first module, and at the last module of the last process.
            for (int after : {1, 2}) {
                CAPTURE(after);
                Fixture g;
                g.processes = {&g.second, &g.first};  // the one with modules is last
                const std::string path = folder + (format == 2 ? "\\r.html" : "\\r.out");
                ScriptedProgress progress;
                progress.abortAfterModules = after;
                TextReportWriter text;
                XmlReportWriter xml;
                HtmlReportWriter html;
                ReportWriter* writer = format == 0 ? static_cast<ReportWriter*>(&text)
                                                   : format == 1 ? static_cast<ReportWriter*>(&xml) : &html;
                CHECK_FALSE(writer->Write(g.processes, path, g.context, progress));
                CHECK(progress.aborted);
                CHECK_FALSE(Exists(path));
                CHECK_FALSE(Exists(folder + "\\r_files"));
                CHECK(progress.opened.empty());
            }
        }
        // A folder that already held other files stays, with just those.
        const std::string path = folder + "\\kept.html";
        CreateDirectoryA((folder + "\\kept_files").c_str(), nullptr);
        TestPaths::WriteFile(folder + "\\kept_files\\mine.txt", "x", 1);
        ScriptedProgress progress;
        progress.abortAfterModules = 1;
        CHECK_FALSE(HtmlReportWriter().Write(f.processes, path, f.context, progress));
        CHECK(Exists(folder + "\\kept_files\\mine.txt"));
        CHECK_FALSE(Exists(folder + "\\kept_files\\100.html"));
        CHECK_FALSE(Exists(folder + "\\kept_files\\tarnwick_report.css"));
        CHECK_FALSE(Exists(path));
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("failures reach the user")
    {
        Fixture f;
        const std::string folder = TestPaths::MakeScratchFolder("fail");
        ScriptedProgress progress;
        CHECK_FALSE(TextReportWriter().Write(f.processes, folder + "\\no\\such\\dir\\r.txt", f.context, progress));
        CHECK(progress.errors == std::vector<std::string>{"Could not create report file!"});
        CHECK(progress.begins == 0);

        // The folder name is taken by a file: the folder cannot be made.
        TestPaths::WriteFile(folder + "\\busy_files", "x", 1);
        ScriptedProgress html;
        CHECK_FALSE(HtmlReportWriter().Write(f.processes, folder + "\\busy.html", f.context, html));
        REQUIRE(html.errors.size() == 1);
        CHECK(html.errors[0].compare(0, 35, "Could not create folder 'busy_files") == 0);
        CHECK(html.errors[0].find("'.\nError: ") != std::string::npos);
        CHECK_FALSE(Exists(folder + "\\busy.html"));

        // Modules that cannot be read make the closure debug line irrelevant; a
        // failing closure writes its line and counts every module static.
        Fixture g;
        g.modules.lists[100] = {Module("C:\\gone\\app.exe", 1, 1, 0), Module("C:\\gone\\lib.dll", 2, 2, 1)};
        DebugCapture capture;
        ScriptedProgress quiet;
        REQUIRE(TextReportWriter().Write({&g.first}, folder + "\\closure.txt", g.context, quiet));
        CHECK(capture.Text().find("Loading dependency-list failed!\n") != std::string::npos);
        const std::vector<std::string> lines = Lines(folder + "\\closure.txt");
        REQUIRE(lines.size() > 24);
        CHECK(lines[24].find("; Static; Preferred") != std::string::npos);
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("reports")
{
    TEST_CASE("hostile values cannot forge lines, break the XML, hide or misdirect")
    {
        Fixture f;
        f.first.strCommandLine = "app.exe (Not Available)\r\nName: forged\r\nPID: 1\x01\x1b[31m";
        f.first.strPath = "C:\\Not Available\\app.exe";
        f.first.strCompany = "Not Available Ltd";
        f.context.strUser = "evil--user-";
        f.context.strMachine = "PC\x01";
        const std::string folder = TestPaths::MakeScratchFolder("hostile");
        ScriptedProgress progress;

        const std::string text = folder + "\\r.txt";
        REQUIRE(TextReportWriter().Write(f.processes, text, f.context, progress));
        const std::vector<std::string> lines = Lines(text);
        int names = 0, pids = 0;
        for (const std::string& line : lines) {
            if (line.compare(0, 6, "Name: ") == 0) ++names;
            if (line.compare(0, 5, "PID: ") == 0) ++pids;
            for (char c : line) CHECK((static_cast<unsigned char>(c) >= 0x20 || c == '\t'));
        }
        CHECK(names == 2);
        CHECK(pids == 2);
        CHECK(lines[4] == "Machine   : PC\\x01");
        CHECK(lines[10] == "Executable: C:\\Not Available\\app.exe");
        CHECK(lines[17] == "Commandline: app.exe (Not Available)\\r\\nName: forged\\r\\nPID: 1\\x01\\x1B[31m");
        CHECK(lines[20] == "Company: Not Available Ltd");

        const std::string xml = folder + "\\r.xml";
        REQUIRE(XmlReportWriter().Write(f.processes, xml, f.context, progress));
        const std::string document = Content(xml);
        for (char c : document) CHECK((static_cast<unsigned char>(c) >= 0x20 || c == '\r' || c == '\n' || c == '\t'));
        CHECK(document.find("<!-- Local User: evil- -user- -->") != std::string::npos);
        CHECK(document.find("<Executable>C:\\Not Available\\app.exe</Executable>") != std::string::npos);
        CHECK(document.find("<Commandline>app.exe (Not Available)\r\r\nName: forged\r\r\nPID: 1??[31m</Commandline>")
              != std::string::npos);
        // For xmllint, run by CTest after this program.
        CopyFileA(xml.c_str(), (TestPaths::BinFolder() + "report-hostile.xml").c_str(), FALSE);

        // A report name with "#", "%" and a blank: the links still lead to the pages.
        const std::string html = folder + "\\a#b%c d.html";
        ScriptedProgress htmlProgress;
        REQUIRE(HtmlReportWriter().Write(f.processes, html, f.context, htmlProgress));
        const std::string page = Content(html);
        CHECK(page.find("href=\"./a%23b%25c%20d_files/tarnwick_report.css\"") != std::string::npos);
        CHECK(page.find("<a href=\"./a%23b%25c%20d_files/100.html\">app.exe</a>") != std::string::npos);
        CHECK(Exists(folder + "\\a#b%c d_files\\100.html"));
        CHECK(Leftovers(folder) == 0);
        CHECK(Leftovers(folder + "\\a#b%c d_files") == 0);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("a failed or aborted report leaves every earlier file as it was")
    {
        const std::string folder = TestPaths::MakeScratchFolder("keep");
        const std::string files = folder + "\\old_files";
        const std::string mainPage = folder + "\\old.html";
        CreateDirectoryA(files.c_str(), nullptr);
        TestPaths::WriteFile(mainPage, "earlier report", 14);
        TestPaths::WriteFile(files + "\\100.html", "earlier page", 12);
        TestPaths::WriteFile(files + "\\tarnwick_report.css", "body { color: red; }", 20);
        TestPaths::WriteFile(folder + "\\old.txt", "earlier text", 12);
        TestPaths::WriteFile(folder + "\\old.xml", "earlier xml", 11);

        for (int after : {1, 2}) {
            CAPTURE(after);
            Fixture f;
            ScriptedProgress text, xml, html;
            text.abortAfterModules = xml.abortAfterModules = html.abortAfterModules = after;
            CHECK_FALSE(TextReportWriter().Write(f.processes, folder + "\\old.txt", f.context, text));
            CHECK_FALSE(XmlReportWriter().Write(f.processes, folder + "\\old.xml", f.context, xml));
            CHECK_FALSE(HtmlReportWriter().Write(f.processes, mainPage, f.context, html));
            CHECK(Content(folder + "\\old.txt") == "earlier text");
            CHECK(Content(folder + "\\old.xml") == "earlier xml");
            CHECK(Content(mainPage) == "earlier report");
            CHECK(Content(files + "\\100.html") == "earlier page");
            CHECK(Content(files + "\\tarnwick_report.css") == "body { color: red; }");
            CHECK(Leftovers(folder) == 0);
            CHECK(Leftovers(files) == 0);
        }

        // The pages folder cannot be made: the report file is not touched.
        TestPaths::WriteFile(folder + "\\busy_files", "x", 1);
        TestPaths::WriteFile(folder + "\\busy.html", "earlier busy", 12);
        Fixture f;
        ScriptedProgress busy;
        CHECK_FALSE(HtmlReportWriter().Write(f.processes, folder + "\\busy.html", f.context, busy));
        CHECK(busy.errors.size() == 1);
        CHECK(Content(folder + "\\busy.html") == "earlier busy");

        // A complete report replaces them all.
        ScriptedProgress done;
        REQUIRE(HtmlReportWriter().Write(f.processes, mainPage, f.context, done));
        CHECK(Content(mainPage).compare(0, 6, "<html>") == 0);
        CHECK(Content(files + "\\100.html").compare(0, 6, "<html>") == 0);
        CHECK(Content(files + "\\tarnwick_report.css").compare(0, 4, "body") == 0);
        CHECK(Content(files + "\\tarnwick_report.css") != "body { color: red; }");
        CHECK(Leftovers(folder) == 0);
        CHECK(Leftovers(files) == 0);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("staged files: all or nothing, also without a replacing move")
    {
        const std::string folder = TestPaths::MakeScratchFolder("staged");
        const std::string a = folder + "\\a.txt", b = folder + "\\b.txt";
        TestPaths::WriteFile(a, "old a", 5);
        {
            StagedFiles files;
            const std::string ta = files.Stage(a), tb = files.Stage(b);
            REQUIRE_FALSE(ta.empty());
            REQUIRE_FALSE(tb.empty());
            TestPaths::WriteFile(ta, "new a", 5);
            DeleteFileA(tb.c_str());  // the second move will fail
            CHECK_FALSE(files.Commit());
        }
        CHECK(Content(a) == "old a");
        CHECK_FALSE(Exists(b));
        CHECK(Leftovers(folder) == 0);
        {
            StagedFiles files;
            TestPaths::WriteFile(files.Stage(a), "new a", 5);
            TestPaths::WriteFile(files.Stage(b), "new b", 5);
            CHECK(files.Commit());
        }
        CHECK(Content(a) == "new a");
        CHECK(Content(b) == "new b");
        {
            StagedFiles files;  // dropped unless committed
            TestPaths::WriteFile(files.Stage(a), "newer", 5);
        }
        CHECK(Content(a) == "new a");
        CHECK(Leftovers(folder) == 0);
        CHECK(StagedFiles().Stage(folder + "\\no\\such\\folder\\x.txt").empty());

        // The 9x way: the old file is renamed aside and comes back when the move fails.
        TestPaths::WriteFile(folder + "\\new.ui", "record two", 10);
        CHECK(StagedFiles::MoveOver(folder + "\\new.ui", a, false));
        CHECK(Content(a) == "record two");
        CHECK_FALSE(Exists(folder + "\\new.ui"));
        CHECK_FALSE(StagedFiles::MoveOver(folder + "\\gone.ui", a, false));
        CHECK(Content(a) == "record two");
        CHECK(Leftovers(folder) == 0);
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("reports of a live helper through the console tool")
    {
        HelperProcess helper;
        REQUIRE(helper.Start("load restypes.dll"));
        const std::string cli = ConsoleTool();
        const std::string folder = TestPaths::MakeScratchFolder("live");
        char pid[16];
        snprintf(pid, sizeof(pid), "%lu", static_cast<unsigned long>(helper.Pid()));
        for (const char* format : {"text", "xml", "html"}) {
            CAPTURE(format);
            const std::string out = folder + "\\live." + format;
            std::string output;
            DWORD exitCode = 99;
            REQUIRE(RunAndCapture(cli + " report --format " + format + " --out \"" + out + "\" " + pid, output,
                                  exitCode));
            CHECK(exitCode == 0);
            // The HTML modules are on the process's own page.
            const std::string modulesFile =
                std::strcmp(format, "html") == 0 ? folder + "\\live_files\\" + pid + ".html" : out;
            std::string all;
            for (const std::string& line : Lines(modulesFile)) all += line + "\n";
            CHECK(all.find("tw-helper.exe") != std::string::npos);
            CHECK(all.find("restypes.dll") != std::string::npos);
            if (std::strcmp(format, "text") == 0) {
                CHECK(all.find("restypes.dll; ") != std::string::npos);
                CHECK(all.find("; Dynamic; ") != std::string::npos);
            }
            if (std::strcmp(format, "html") == 0) {
                CHECK(Exists(folder + "\\live_files\\" + pid + ".html"));
                CHECK(Exists(folder + "\\live_files\\tarnwick_report.css"));
            }
        }
        std::string output;
        DWORD exitCode = 99;
        REQUIRE(RunAndCapture(cli + " report --format xml --out \"" + folder + "\\x.xml\" 2147483632", output,
                              exitCode));
        CHECK(exitCode == 1);
        REQUIRE(RunAndCapture(cli + " report --format pdf --out x", output, exitCode));
        CHECK(exitCode == 2);
        TestPaths::RemoveTree(folder);
    }
}
