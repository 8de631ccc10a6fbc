#include <doctest/doctest.h>

// The console tool as a script sees it: help, error lines and exit status,
// filters, and the records of a crafted process in csv and json.
#include "tests/CraftedProcess.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "TarnwickVersion.h"

#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], size, nullptr, nullptr);
    return out;
}

// What survives the engine's ANSI texts: characters the code page lacks become "?".
std::string ThroughAnsi(const std::wstring& wide)
{
    std::wstring out;
    for (wchar_t c : wide) {
        char ansi[8] = {};
        BOOL lost = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, ansi, sizeof(ansi), nullptr, &lost);
        out += n == 1 && !lost ? c : L'?';
    }
    return Utf8(out);
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char two[4];
    for (unsigned char c : bytes) {
        snprintf(two, sizeof(two), "%02x", c);
        out += two;
    }
    return out;
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

void WriteText(const std::string& path, const std::string& text)
{
    REQUIRE(TestPaths::WriteFile(path, text.data(), text.size()));
}

// Runs the tool; it must fail with `code` and exactly one line on standard
// error holding `part`.
void ExpectFailure(const std::string& arguments, DWORD code, const std::string& part)
{
    CAPTURE(arguments);
    std::string out, errors;
    DWORD exitCode = 99;
    REQUIRE(RunAndCapture(ConsoleTool() + " " + arguments, out, errors, exitCode));
    CHECK(exitCode == code);
    CAPTURE(errors);
    CHECK(errors.compare(0, 14, "tarnwick-cli: ") == 0);
    std::string line = errors;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    CHECK(line.find_first_of("\r\n") == std::string::npos);
    CHECK(line.size() > 20);
    CHECK(line.find(part) != std::string::npos);
}

} // namespace

TEST_SUITE("cli")
{
    TEST_CASE("help of the tool and of every command, the version")
    {
        const std::string cli = ConsoleTool();
        std::string out, errors;
        DWORD exitCode = 99;
        REQUIRE(RunAndCapture(cli + " --help", out, errors, exitCode));
        CHECK(exitCode == 0);
        CHECK(errors.empty());
        // The command list: "  name   summary", continuation lines indented further.
        std::vector<std::string> names;
        const size_t list = out.find("\nCommands:\n");
        REQUIRE(list != std::string::npos);
        for (size_t at = out.find('\n', list + 1) + 1; at < out.size() && out[at] != '\n';
             at = out.find('\n', at) + 1)
            if (out.compare(at, 2, "  ") == 0 && out[at + 2] != ' ') names.push_back(out.substr(at + 2, out.find(' ', at + 2) - at - 2));
        CHECK(names.size() >= 7);
        for (const std::string& name : names) {
            CAPTURE(name);
            REQUIRE(RunAndCapture(cli + " " + name + " --help", out, errors, exitCode));
            CHECK(exitCode == 0);
            CHECK(errors.empty());
            CHECK(out.compare(0, 20 + name.size(), "Usage: tarnwick-cli " + name) == 0);
            CHECK(out.find("\n  -h, --help, /?") != std::string::npos);
        }
        std::string first, second;
        REQUIRE(RunAndCapture(cli + " ps /?", first, exitCode));
        CHECK(exitCode == 0);
        REQUIRE(RunAndCapture(cli + " help PS", second, exitCode));
        CHECK(exitCode == 0);
        CHECK(first == second);
        CHECK(first.find("\nRecords of --format tsv, csv and json, one per process:\n") != std::string::npos);
        REQUIRE(RunAndCapture(cli + " -h", out, exitCode));
        CHECK(out.compare(0, 20, "Usage: tarnwick-cli ") == 0);
        REQUIRE(RunAndCapture(cli + " --version", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out == "tarnwick-cli " TARNWICK_VERSION_TEXT "\n");
        // Values in any case, --opt=value.
        REQUIRE(RunAndCapture(cli + " os --FORMAT=Json", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.compare(0, 10, "[\n{\"kind\":") == 0);
        // modinfo's records: a node each, its list cell by cell.
        REQUIRE(RunAndCapture(cli + " modinfo --format json \"" + TestPaths::BinFolder() + "restypes.dll\"", out,
                              exitCode));
        CHECK(exitCode == 0);
        CHECK(out.find("\n{\"node\":\"Resources\",\"parent\":\"Restypes.dll\",\"type\":2,\"cells\":[") != std::string::npos);
        CHECK(out.find(",\"value\":\"RT_UNKNOWN(ID: 13)\"}") != std::string::npos);
        REQUIRE(RunAndCapture(cli + " finddll -- -nothing-loads-this*", out, errors, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.empty());
        CHECK(errors.empty());
    }

    TEST_CASE("every failure is one line on standard error, with the path and the system's reason for files")
    {
        const std::string folder = TestPaths::MakeScratchFolder("clierr");
        ExpectFailure("frobnicate", 2, "unknown command 'frobnicate' (see 'tarnwick-cli --help')");
        ExpectFailure("", 2, "no command given");
        ExpectFailure("ps --bogus", 2, "ps: unknown option '--bogus' (see 'tarnwick-cli ps --help')");
        ExpectFailure("ps --format xml", 2, "'--format' takes table, tsv, csv or json, not 'xml'");
        ExpectFailure("ps --tree=yes", 2, "'--tree' takes no value");
        ExpectFailure("modules", 2, "modules: missing PID...");
        ExpectFailure("modules 12x", 2, "'12x' is not a process id");
        ExpectFailure("modules 7 --desc", 2, "'--desc' needs '--sort'");
        ExpectFailure("modules 2147483632", 1, "modules: the modules of process 2147483632 could not be read");
        ExpectFailure("ps 2147483632", 1, "ps: no process with id 2147483632");
        ExpectFailure("finddll", 2, "finddll: missing PATTERN");
        ExpectFailure("finddll -x", 2, "unknown option '-x'");
        ExpectFailure("os extra", 2, "os: takes no operands (got 'extra')");
        ExpectFailure("report --format pdf --out x", 2, "'--format' takes text, xml or html, not 'pdf'");
        ExpectFailure("report --format TEXT", 2, "missing --out FILE");

        // Files: the path and what the system says.
        char reason[512] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0,
                       reason, sizeof(reason), nullptr);
        std::string why = reason;
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == ' ' || why.back() == '.'))
            why.pop_back();
        REQUIRE_FALSE(why.empty());
        ExpectFailure("pe \"" + folder + "\\nosuch.dll\"", 1,
                      "pe: '" + folder + "\\nosuch.dll' could not be opened: " + why);
        ExpectFailure("report --format text --out \"" + folder + "\\no\\r.txt\"", 1,
                      "report: '" + folder + "\\no\\r.txt' could not be written: ");
        ExpectFailure("report --format html --out \"" + folder + "\\no\\r.html\"", 1,
                      "report: '" + folder + "\\no\\r_files' could not be written: ");
        // A name with a line break stays on the line.
        ExpectFailure("pe \"" + folder + "\\two\nlines\x1b[2J.dll\"", 1, "two\\x0Alines\\x1B[2J.dll' could not be opened");
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("records of a crafted process: filters, one schema on every family, csv and json for Python")
    {
        const std::string version = PosedVersion();
        const std::string base = TestPaths::BinFolder() + "cli-ps-" + version;
        for (const char* extension : {".csv", ".json", ".expect"}) DeleteFileA((base + extension).c_str());
        const std::string folder = TestPaths::MakeScratchFolder("records");
        const std::wstring exe = CraftedProcess::Wide(folder) + L"\\tw,h\u00e9lper.exe";
        REQUIRE(CraftedProcess::PlaceHelper(exe));
        const std::wstring commandLine = L"\"" + exe + L"\" a,b \"say \"\"hi\"\"\" line1\nline2 caf\u00e9";
        CraftedProcess helper;
        REQUIRE(helper.Start(exe, commandLine, std::wstring(),
                             {L"TW_LOAD=" + CraftedProcess::Wide(TestPaths::BinFolder() + "restypes.dll")}));
        const bool nt = GetVersion() < 0x80000000u;
        const std::string cli = ConsoleTool();
        const std::string pid = std::to_string(helper.Pid());

        std::string csv, json, out, errors;
        DWORD exitCode = 99;
        REQUIRE(RunAndCapture(cli + " ps --format csv " + pid, csv, exitCode));
        CHECK(exitCode == 0);
        REQUIRE(RunAndCapture(cli + " ps --format=JSON " + pid, json, exitCode));
        CHECK(exitCode == 0);
        // One record: json escapes the line break, so three lines.
        CHECK(Count(json, "\n") == 3);
        CHECK(json.find("[\n{\"pid\":" + pid + ",\"parent_pid\":" + std::to_string(GetCurrentProcessId()) + ",")
              == 0);
        CHECK(csv.compare(0, 20, "pid,parent_pid,name,") == 0);

        // The name pattern and both notations of the id select it alone.
        char hexPid[16];
        snprintf(hexPid, sizeof(hexPid), "0x%lX", helper.Pid());
        for (const std::string& filter : {std::string("\"TW,H?LPER.*\""), std::string(hexPid)}) {
            CAPTURE(filter);
            REQUIRE(RunAndCapture(cli + " ps --format json " + filter, out, exitCode));
            CHECK(exitCode == 0);
            CHECK(Count(out, "\n{\"pid\":") == 1);
            CHECK(Count(out, "{\"pid\":" + pid + ",") == 1);
        }
        // An id that is not running: the others are listed, the failure said.
        REQUIRE(RunAndCapture(cli + " ps --format tsv --tree " + pid + " 2147483632", out, errors, exitCode));
        CHECK(exitCode == 1);
        CHECK(Count(out, "\n" + pid + "\t") == 1);
        CHECK(errors.find("no process with id 2147483632") != std::string::npos);

        // params keeps the command line as it is (the window shows "\n" for a line feed).
        REQUIRE(RunAndCapture(cli + " params --format json " + pid, out, exitCode));
        CHECK(exitCode == 0);
        CHECK(Count(out, "\n") == 3);
        if (nt) {
            CHECK(out.find(" line1\\nline2 caf") != std::string::npos);
            CHECK(out.find("line1\\\\n") == std::string::npos);
        } else {
            CHECK(out.find("\"command_line\":null,\"current_directory\":null,") != std::string::npos);
        }

        // Its modules: one matching the pattern, the DLL it loaded at run time.
        REQUIRE(RunAndCapture(cli + " modules " + pid + " --match RESTYPES.* --format json", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(Count(out, "\n{\"pid\":" + pid + ",") == 1);
        CHECK(out.find("\"name\":\"restypes.dll\"") != std::string::npos);
        CHECK(out.find("\"dynamic\":true") != std::string::npos);
        CHECK(out.find("\"version\":\"1.2.3.4\"") != std::string::npos);
        REQUIRE(RunAndCapture(cli + " modules " + pid + " " + hexPid + " --match=tw,h*.exe --format csv", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(Count(out, "\r\n" + pid + ",") == 2);
        CHECK(Count(out, "\r\n") == 3);

        // finddll on the full path (backslashes as themselves) and on the name.
        for (const char* how : {"--path \"*\\tw,h?lper.exe\"", "\"tw,h?lper.exe\""}) {
            CAPTURE(how);
            REQUIRE(RunAndCapture(cli + " finddll --format json " + how, out, exitCode));
            CHECK(exitCode == 0);
            CHECK(Count(out, "\n{\"pid\":") == 1);
            CHECK(out.find("{\"pid\":" + pid + ",\"process\":\"tw,h") != std::string::npos);
        }
        REQUIRE(RunAndCapture(cli + " finddll --path --format csv \"tw,h?lper.exe\"", out, exitCode));
        CHECK(out == "pid,process,module,path\r\n");  // the path has a folder

        // check_records.py compares these with what Python's parsers read.
        if (!version.empty()) {
            std::string expect = "pid=" + Hex(pid) + "\nparent_pid=" + Hex(std::to_string(GetCurrentProcessId()))
                               + "\nname=" + Hex(ThroughAnsi(L"tw,h\u00e9lper.exe")) + "\npath=" + Hex(ThroughAnsi(exe))
                               + "\ncommand_line=" + (nt ? Hex(ThroughAnsi(commandLine)) : std::string("null")) + "\n";
            // The 9x family has no owner or start time; on NT they are whatever Wine says.
            if (!nt) expect += "owner=null\ncreated=null\nhandles=null\n";
            WriteText(base + ".csv", csv);
            WriteText(base + ".json", json);
            WriteText(base + ".expect", expect);
        }
        TestPaths::RemoveTree(folder);
    }
}
