#include <doctest/doctest.h>

#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"

#include "cli/TabText.h"
#include "image/ModuleInformation.h"
#include "report/ClipboardCopy.h"
#include "sysinfo/ProcessSnapshot.h"
#include "tools/ProcessInformation.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

ProcessItem Process(const std::string& name, const std::string& pid)
{
    ProcessItem item;
    item.strName = name;
    item.strPid = pid;
    item.strParentPid = "4";
    item.strVersion = "1.0";
    item.strDescription = "Desc";
    item.strCompany = "Co";
    item.strOwner = "\\\\HOST\\user";
    item.strThreads = "3";
    item.strHandles = "20";
    item.strPriority = "Normal";
    item.strCreated = "Monday";
    item.strCommandLine = "\"C:\\a b\\x.exe\" -q";
    return item;
}

TopLevelWindowRecord Window(uint32_t pid, const char* title, bool visible)
{
    TopLevelWindowRecord record = {};
    record.dwProcessId = pid;
    std::strncpy(record.szTitle, title, sizeof(record.szTitle) - 1);
    record.dwStyle = visible ? WS_VISIBLE : 0;
    return record;
}

ModuleInformation::Row Row(const std::string& a, const std::string& b, uint32_t key)
{
    return ModuleInformation::Row{{a, b}, key};
}

std::string ReadClipboard()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return "<closed>";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* p = static_cast<const char*>(GlobalLock(data));
        if (p) text = p;
        GlobalUnlock(data);
    } else {
        text = "<none>";
    }
    CloseClipboard();
    return text;
}

// Lines of the console tool's output, split at tabs and unescaped.
std::vector<std::vector<std::string>> Table(const std::string& out)
{
    std::vector<std::vector<std::string>> rows;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::vector<std::string> fields(1);
        for (size_t i = start; i < end; ++i) {
            char c = out[i];
            if (c == '\t') {
                fields.emplace_back();
            } else if (c == '\\' && i + 1 < end) {
                char n = out[++i];
                fields.back() += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
            } else {
                fields.back() += c;
            }
        }
        rows.push_back(fields);
        start = end + 1;
    }
    return rows;
}

} // namespace

TEST_SUITE("clipboard copy")
{
    TEST_CASE("copied process and module rows follow the copy options")
    {
        const ProcessItem a = Process("a.exe", "8"), b = Process("b \"x\".exe", "12");
        const std::vector<const ProcessItem*> both = {&a, &b};

        // One value: bare, whatever the delimiter.
        CHECK(ClipboardCopy::CopyText({&a}, 0x001, 2, 1) == "a.exe");
        // Name and PID with ";" and '"': no separator after the last value.
        CHECK(ClipboardCopy::CopyText({&a}, 0x003, 2, 1) == "\"a.exe\";\"8\"");
        // Rows joined by CRLF, nothing after the last; a quote inside is doubled.
        CHECK(ClipboardCopy::CopyText(both, 0x003, 3, 1) == "\"a.exe\",\"8\"\r\n\"b \"\"x\"\".exe\",\"12\"");
        // Writing order is the views' column order, not the bit order.
        CHECK(ClipboardCopy::CopyText({&a}, 0x001 | 0x008 | 0x200 | 0x020, 4, 2) ==
              "'a.exe' '1.0' '\\\\HOST\\user' '\"C:\\a b\\x.exe\" -q'");
        CHECK(ClipboardCopy::CopyText({&a}, 0xFFF, 1, 3) ==
              "a.exe\t8\t4\t1.0\tDesc\tCo\t\\\\HOST\\user\t3\t20\tNormal\tMonday\t\"C:\\a b\\x.exe\" -q");
        // A quoted command line stays one parseable field.
        CHECK(ClipboardCopy::CopyText({&a}, 0x021, 3, 1) == "\"a.exe\",\"\"\"C:\\a b\\x.exe\"\" -q\"");
        // Out-of-range choices: tab and no delimiter.
        CHECK(ClipboardCopy::CopyText({&a}, 0x003, 0, 0) == "a.exe\t8");
        CHECK(ClipboardCopy::CopyText({&a}, 0x003, 9, 7) == "a.exe\t8");
        // Bits outside the table count for nothing.
        CHECK(ClipboardCopy::CopyText({&a}, 0x001 | 0x1000 | 0x80000000u, 2, 1) == "a.exe");
        CHECK(ClipboardCopy::CopyText({&a}, 0x003 | 0x4000, 2, 3) == "a.exe;8");
        // No value chosen: no lines at all.
        CHECK(ClipboardCopy::CopyText(both, 0, 1, 1).empty());
        CHECK(ClipboardCopy::CopyText(std::vector<const ProcessItem*>(), 0xFFF, 1, 1).empty());

        ModuleItem m;
        m.strName = "x.dll";
        m.strLocation = "C:\\x.dll";
        m.strBaseAddress = "0x10000000";
        m.strVersion = "2.0";
        m.strDescription = "D";
        m.strCompany = "C";
        m.strSize = "12 Kb";
        m.strCreated = "c";
        m.strModified = "m";
        CHECK(ClipboardCopy::CopyText({&m}, 0x1FF, 1, 3) == "x.dll\tC:\\x.dll\t0x10000000\t2.0\tD\tC\t12 Kb\tc\tm");
        CHECK(ClipboardCopy::CopyText(std::vector<const ModuleItem*>{&m, &m}, 0x081, 2, 2) == "'x.dll';'0x10000000'\r\n'x.dll';'0x10000000'");
        CHECK(ClipboardCopy::CopyText({&m}, 0x200, 2, 2).empty());

        CHECK(ClipboardCopy::TableText({{"A", "1"}, {"PATH", "C:\\x;C:\\y"}}) == "A\t1\r\nPATH\tC:\\x;C:\\y");
        CHECK(ClipboardCopy::TableText({}).empty());
    }

    TEST_CASE("the clipboard receives the text")
    {
        REQUIRE(ClipboardCopy::SetClipboardText(nullptr, "first\r\nsecond"));
        CHECK(ReadClipboard() == "first\r\nsecond");
        const std::string big(300000, 'z');
        REQUIRE(ClipboardCopy::SetClipboardText(nullptr, big));
        CHECK(ReadClipboard() == big);
        // While another window holds the clipboard open nothing changes.
        HWND holder = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        REQUIRE(OpenClipboard(holder));
        CHECK_FALSE(ClipboardCopy::SetClipboardText(nullptr, "lost"));
        CloseClipboard();
        DestroyWindow(holder);
        CHECK(ReadClipboard() == big);
    }
}

TEST_SUITE("information windows")
{
    TEST_CASE("names, translations and the sort order of the module window")
    {
        CHECK(ModuleInformation::Capitalise("KERNEL32.DLL") == "Kernel32.dll");
        CHECK(ModuleInformation::Capitalise("user32.dll") == "User32.dll");
        CHECK(ModuleInformation::Capitalise("3DFXGL.DLL") == "3DFXGL.DLL");
        CHECK(ModuleInformation::Capitalise("_ISDEL.EXE") == "_ISDEL.EXE");
        CHECK(ModuleInformation::Capitalise("").empty());
        CHECK(ModuleInformation::NamesExecutable("Setup.exe.bak"));
        CHECK(ModuleInformation::NamesExecutable("TOOL.EXE"));
        CHECK(ModuleInformation::NamesExecutable("a.ExE"));
        CHECK_FALSE(ModuleInformation::NamesExecutable("Kernel32.dll"));
        CHECK_FALSE(ModuleInformation::NamesExecutable("exe.dll"));

        std::vector<VersionStringTables::Table> tables(3);
        tables[0].strName = "040904B0";
        tables[1].strName = "040704B0";
        tables[2].strName = "041104B0";
        CHECK(ModuleInformation::ChooseTranslation(tables, 0x0407) == 1);
        CHECK(ModuleInformation::ChooseTranslation(tables, 0x0411) == 2);
        CHECK(ModuleInformation::ChooseTranslation(tables, 0x040C) == 0);
        tables.resize(1);
        CHECK(ModuleInformation::ChooseTranslation(tables, 0x0407) == 0);

        ModuleInformation::SortOrder order;
        order.Click(0);
        CHECK((order.nColumn == 0 && !order.bAscending));
        order.Click(1);
        CHECK((order.nColumn == 1 && order.bAscending));
        order.Click(1);
        CHECK((order.nColumn == 1 && !order.bAscending));
        order.Click(0);
        CHECK((order.nColumn == 0 && order.bAscending));

        using MI = ModuleInformation;
        CHECK(MI::Compare(MI::ResourcesNode, 0, Row("rt_icon", "9", 9), Row("RT_MENU", "1", 1)) < 0);
        CHECK(MI::Compare(MI::ResourcesNode, 1, Row("rt_icon", "9", 9), Row("RT_MENU", "10", 10)) < 0);
        CHECK(MI::Compare(MI::ImportsNode, 0, Row("USER32.dll", "1", 1), Row("user32.DLL", "2", 2)) == 0);
        CHECK(MI::Compare(MI::ImportedModuleNode, 0, Row("4000000000", "b", 4000000000u), Row("2", "a", 2)) > 0);
        CHECK(MI::Compare(MI::ExportsNode, 1, Row("1", "Beta", 1), Row("2", "alpha", 2)) > 0);
        CHECK(MI::Compare(MI::ModuleNode, 0, Row("b", "x", 0), Row("a", "y", 0)) == 0);
        CHECK(MI::Compare(MI::VersionNode, 1, Row("b", "x", 0), Row("a", "y", 0)) == 0);
    }

    TEST_CASE("the module window's tree and lists: node values, executables, files that are no image")
    {
        ModuleInformation dll(false);
        dll.Load(TestPaths::BinFolder() + "restypes.dll");
        std::vector<ModuleInformation::Node> nodes = dll.Nodes();
        REQUIRE(nodes.size() == 7);
        for (size_t i = 4; i < 6; ++i) {
            CHECK(nodes[i].nParent == 3);
            CHECK(nodes[i].dwValue == ((static_cast<uint32_t>(i - 4) << 16) | ModuleInformation::ImportedModuleNode));
        }
        ModuleInformation::Table table;
        dll.Fill(ModuleInformation::ModuleNode, table);
        REQUIRE(table.rows.size() == 9);
        CHECK(table.rows[1].cells == std::vector<std::string>{"Open with", "Unknown Application"});
        CHECK(table.rows[2].cells[1] + "\\" == TestPaths::BinFolder());
        // An index beyond the import list fills nothing.
        dll.Fill((999u << 16) | ModuleInformation::ImportedModuleNode, table);
        CHECK(table.rows.empty());

        // ".exe" in the name: "Description" instead of "Open with".
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        ModuleInformation exe(true);
        exe.Load(self);
        exe.Fill(ModuleInformation::ModuleNode, table);
        REQUIRE(table.rows.size() == 9);
        CHECK(table.rows[1].cells[0] == "Description");

        // Not an image: no imported DLLs, empty lists with their columns, no resource columns.
        const std::string folder = TestPaths::MakeScratchFolder("modinfo");
        const std::string text = folder + "\\notes.txt";
        REQUIRE(TestPaths::WriteFile(text, "not an image", 12));
        ModuleInformation plain(false);
        plain.Load(text);
        CHECK(plain.Nodes().size() == 5);
        plain.Fill(ModuleInformation::ExportsNode, table);
        CHECK(table.columns == std::vector<std::string>{"Ordinal", "Function"});
        CHECK(table.rows.empty());
        plain.Fill(ModuleInformation::ResourcesNode, table);
        CHECK(table.columns.empty());
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("the window title walk and the command line's line feeds")
    {
        const std::string na = "Not Available";
        CHECK(ProcessInformation::PickWindowTitle({}, 8, na) == na);
        CHECK(ProcessInformation::PickWindowTitle({Window(4, "Other", true)}, 8, na) == na);
        // The first visible titled window ends the walk.
        CHECK(ProcessInformation::PickWindowTitle(
                  {Window(8, "hidden one", false), Window(8, "Main", true), Window(8, "Later", true)}, 8, na) ==
              "Main");
        // Without one, the last window of the process leaves its title, or nothing.
        CHECK(ProcessInformation::PickWindowTitle({Window(8, "tip", false), Window(8, "", true)}, 8, na) == na);
        CHECK(ProcessInformation::PickWindowTitle({Window(8, "", true), Window(8, "tip", false)}, 8, na) == "tip");
        CHECK(ProcessInformation::PickWindowTitle({Window(8, "tip", false), Window(4, "x", true)}, 8, na) == "tip");

        CHECK(ProcessInformation::ShowLineFeeds("a\nb\r\nc") == "a\\nb\r\\nc");
        CHECK(ProcessInformation::ShowLineFeeds("") == "");
        CHECK(std::string(ProcessInformation::Label(ProcessInformation::ImagePathName)) == "ImagePathName");
        CHECK(ProcessInformation::kEditIds[ProcessInformation::WindowTitle] == 1144);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("process parameters and module facts, in the window's code and through the console tool")
    {
        const bool nt = !ProcessSnapshot().Os().Is9xFamily();
        const std::string folder = TestPaths::MakeScratchFolder("params");
        HelperProcess helper;
        REQUIRE(helper.Start("window \"Helper Tip\" note \"two\nlines\"", "TW_PARAMS_TEST=a=b=c", folder));

        ProcessSnapshot snapshot;
        REQUIRE(snapshot.EnumProcesses(nullptr, 0));
        const ProcessRecord* record = nullptr;
        for (const ProcessRecord& p : snapshot.Processes())
            if (p.dwProcessId == helper.Pid()) record = &p;
        REQUIRE(record != nullptr);
        TopLevelWindowList windows;
        windows.Collect();
        ProcessInformation information;
        information.Load(*record, snapshot, windows);

        CHECK(information.strValues[ProcessInformation::ImagePathName] == record->strPath);
        CHECK(information.strValues[ProcessInformation::WindowTitle] == "Helper Tip");
        CHECK(information.strValues[ProcessInformation::Description] == "Not Available");
        if (nt) {
            CHECK(information.strValues[ProcessInformation::CommandLine].find("two\\nlines") != std::string::npos);
            CHECK(information.strValues[ProcessInformation::CurrentDirectory] == folder + "\\");
            // Wine leaves the DLL path of its process parameters unset (Buffer 0).
            CHECK_FALSE(information.strValues[ProcessInformation::DllPath].empty());
            bool found = false;
            for (const auto& row : information.environment)
                if (row.first == "TW_PARAMS_TEST") found = row.second == "a=b=c";
            CHECK(found);
        } else {
            CHECK(information.strValues[ProcessInformation::CommandLine] == "Not Available");
            CHECK(information.strValues[ProcessInformation::CurrentDirectory] == "Not Available");
            CHECK(information.strValues[ProcessInformation::DllPath] == "Not Available");
            CHECK(information.environment.empty());
        }

        // The console tool prints the same values, labelled as in the window.
        const std::string cli = ConsoleTool();
        std::string out;
        DWORD exitCode = 99;
        REQUIRE(RunAndCapture(cli + " params " + std::to_string(helper.Pid()), out, exitCode));
        CHECK(exitCode == 0);
        std::vector<std::vector<std::string>> rows = Table(out);
        REQUIRE(rows.size() == 6 + information.environment.size());
        for (int field = 0; field < ProcessInformation::FieldCount; ++field) {
            REQUIRE(rows[field].size() == 2);
            CHECK(rows[field][0] == ProcessInformation::Label(static_cast<ProcessInformation::Field>(field)));
            if (field != ProcessInformation::WindowTitle)
                CHECK(rows[field][1] == information.strValues[field]);
        }
        CHECK(rows[ProcessInformation::WindowTitle][1] == "Helper Tip");
        for (size_t i = 0; i < information.environment.size(); ++i) {
            REQUIRE(rows[6 + i].size() == 3);
            CHECK(rows[6 + i][0] == "Environment");
            CHECK(rows[6 + i][1] == information.environment[i].first);
            CHECK(rows[6 + i][2] == information.environment[i].second);
        }
        REQUIRE(RunAndCapture(cli + " params 2147483632", out, exitCode));
        CHECK(exitCode == 1);
        CHECK(out.empty());
        REQUIRE(RunAndCapture(cli + " params", out, exitCode));
        CHECK(exitCode == 2);

        // modinfo: the nodes in tree order, each with its list as filled.
        const std::string dllPath = TestPaths::BinFolder() + "restypes.dll";
        REQUIRE(RunAndCapture(cli + " modinfo \"" + dllPath + "\"", out, exitCode));
        CHECK(exitCode == 0);
        ModuleInformation dll(!nt);
        dll.Load(dllPath);
        std::string expected;
        ModuleInformation::Table table;
        for (const ModuleInformation::Node& node : dll.Nodes()) {
            expected += "== " + node.strText + "\n";
            dll.Fill(node.dwValue, table);
            if (!table.columns.empty()) expected += TabText::Row(table.columns);
            for (const auto& row : table.rows) {
                std::vector<std::string> cells;
                for (const std::string& cell : row.cells) cells.push_back(TabText::Escape(cell));
                expected += TabText::Row(cells);
            }
        }
        // Only the access date may move between the two reads.
        auto withoutAccess = [](std::string text) {
            size_t at = text.find("\nLast accessed\t");
            if (at != std::string::npos) text.erase(at, text.find('\n', at + 1) - at);
            return text;
        };
        CHECK(withoutAccess(out) == withoutAccess(expected));
        CHECK(out.find("\nRT_UNKNOWN(ID: 13)\t1\n") != std::string::npos);
        CHECK(out.find("== Kernel32.dll\nHint\tFunction\n") != std::string::npos);

        const std::string text = folder + "\\plain.txt";
        REQUIRE(TestPaths::WriteFile(text, "MZ", 2));
        REQUIRE(RunAndCapture(cli + " modinfo \"" + text + "\"", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.find("== Plain.txt\nObject\tValue\nType\t") == 0);
        CHECK(out.find("== Resources\n== Imports\nModule\tFunctions\n== Exports\nOrdinal\tFunction\n") !=
              std::string::npos);
        REQUIRE(RunAndCapture(cli + " modinfo \"" + folder + "\\missing.dll\"", out, exitCode));
        CHECK(exitCode == 1);
        CHECK(out.empty());
        TestPaths::RemoveTree(folder);
    }
}
