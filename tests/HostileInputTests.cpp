#include <doctest/doctest.h>

#include "tests/CraftedProcess.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "tests/PeBuilder.h"
#include "image/ClModuleIX.h"
#include "image/ImportClosure.h"
#include "sysinfo/AnsiText.h"

#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// Crafted processes and files, the way an attacker would make them, through
// the console tool under this test program's Windows version.
namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Field(const std::string& row, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = row.find('\t', start);
        if (start == std::string::npos) return std::string();
        ++start;
    }
    const size_t end = row.find('\t', start);
    return row.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The row of `ps --raw` (or `modules --raw`) whose field `column` is `key`.
std::string Row(const std::string& table, int column, const std::string& key)
{
    for (const std::string& line : SplitLines(table))
        if (Field(line, column) == key) return line;
    return std::string();
}

// A path as the console tool writes it in a table: backslashes doubled.
std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

std::string Run(const std::string& arguments, DWORD& exitCode)
{
    std::string out;
    exitCode = 99;
    RunAndCapture(ConsoleTool() + " " + arguments, out, exitCode);
    return out;
}

std::string Number(DWORD value)
{
    char text[16];
    snprintf(text, sizeof(text), "%lu", static_cast<unsigned long>(value));
    return text;
}

bool IsNT()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

} // namespace

TEST_SUITE("family")
{
    TEST_CASE("a folder named SystemRoot does not pass for the system folder")
    {
        const std::string folder = TestPaths::MakeScratchFolder("sysroot");
        const std::string dir = folder + "\\SystemRoot\\system32\\";
        REQUIRE(CraftedProcess::PlaceHelper(CraftedProcess::Wide(dir + "twhost.exe")));
        REQUIRE(CraftedProcess::PlaceFile(CraftedProcess::Wide(TestPaths::BinFolder() + "restypes.dll"),
                                          CraftedProcess::Wide(dir + "version.dll")));
        CraftedProcess process;
        REQUIRE(process.Start(CraftedProcess::Wide(dir + "twhost.exe"), L"twhost.exe -k", L"",
                              {L"TW_LOAD=" + CraftedProcess::Wide(dir + "version.dll")}));

        DWORD exitCode;
        // --raw: pid, parent_pid, name, path, command_line, ...
        const std::string row = Row(Run("ps --raw", exitCode), 0, Number(process.Pid()));
        REQUIRE_FALSE(row.empty());
        CHECK(Field(row, 2) == "twhost.exe");
        CHECK(lstrcmpiA(Field(row, 3).c_str(), Escaped(dir + "twhost.exe").c_str()) == 0);

        const std::string modules = Run("modules --raw " + Number(process.Pid()), exitCode);
        CHECK(exitCode == 0);
        // pid, load_order, name, path, base_address, preferred_base, relocated, dynamic, size, ...
        const std::string dll = Row(modules, 2, "version.dll");
        REQUIRE_FALSE(dll.empty());
        CHECK(lstrcmpiA(Field(dll, 3).c_str(), Escaped(dir + "version.dll").c_str()) == 0);
        // The file's own size, not the system library's.
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir + "version.dll").c_str(), &found);
        REQUIRE(search != INVALID_HANDLE_VALUE);
        FindClose(search);
        CHECK(Field(dll, 8) == Number(found.nFileSizeLow));
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("look-alike Unicode names do not show as the genuine ones")
    {
        const std::string folder = TestPaths::MakeScratchFolder("lookalike");
        // C:\...\ｗindows\system32\ｓvchost.exe, with full-width w and s.
        const std::wstring dir = CraftedProcess::Wide(folder) + L"\\\xFF57indows\\system32\\";
        const std::wstring program = dir + L"\xFF53vchost.exe";
        REQUIRE(CraftedProcess::PlaceHelper(program));
        CraftedProcess process;
        REQUIRE(process.Start(program, L"\"" + program + L"\" -k \xFF4E" L"etsvcs", dir));

        DWORD exitCode;
        const std::string table = Run("ps --raw", exitCode);
        const std::string row = Row(table, 0, Number(process.Pid()));
        REQUIRE_FALSE(row.empty());
        CHECK(Field(row, 2) == "?vchost.exe");
        const std::string expectedPath = Escaped(folder) + "\\\\?indows\\\\system32\\\\?vchost.exe";
        CHECK(lstrcmpiA(Field(row, 3).c_str(), expectedPath.c_str()) == 0);
        if (IsNT()) CHECK(Field(row, 4) == "\"" + expectedPath + "\" -k ?etsvcs");
        CHECK(row.find("svchost") == std::string::npos);
        CHECK(row.find("windows\\\\system32\\\\s") == std::string::npos);

        // The module list: the look-alike's path, and no facts borrowed from
        // another file through "?" read as a wildcard.
        const std::string modules = Run("modules --raw " + Number(process.Pid()), exitCode);
        CHECK(exitCode == 0);
        const std::string exe = Row(modules, 2, "?vchost.exe");
        REQUIRE_FALSE(exe.empty());
        CHECK(Field(exe, 8) == "");  // size: the file is not found under the "?" name
        CHECK(Field(exe, 9) == "");  // nor its creation time
        CHECK(modules.find("svchost") == std::string::npos);

        // The conversion itself: an exact form or "?".
        CHECK(AnsiText::FromUtf16(u"\xFF57indows") == "?indows");
        CHECK(AnsiText::FromUtf16(u"plain.exe") == "plain.exe");
        CHECK(AnsiText::FromUtf16(std::u16string(u"a\0b", 3)) == std::string("a\0b", 3));
        CHECK(AnsiText::FromUtf16(nullptr, 4).empty());
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("a crafted command line and folder cannot hide, forge or escape")
    {
        const std::string folder = TestPaths::MakeScratchFolder("forge");
        // A program in a folder named "Not Available", with a command line that
        // ends in "(Not Available)", breaks lines and carries terminal escapes.
        const std::string program = folder + "\\Not Available\\twforge.exe";
        REQUIRE(CraftedProcess::PlaceHelper(CraftedProcess::Wide(program)));
        const std::wstring line = L"twforge.exe run (Not Available)\r\nName: forged.exe\r\nPID: 4\x01\x1b[2J";
        CraftedProcess process;
        REQUIRE(process.Start(CraftedProcess::Wide(program), line));
        const bool nt = IsNT();
        const std::string pid = Number(process.Pid());

        DWORD exitCode;
        for (const char* command : {"ps", "ps --raw", ("finddll twforge.exe")}) {
            CAPTURE(command);
            const std::string out = Run(command, exitCode);
            CHECK(exitCode == 0);
            CHECK(out.find('\x1b') == std::string::npos);
            CHECK(out.find('\x01') == std::string::npos);
            CHECK(out.find("\nName: forged") == std::string::npos);
        }
        const std::string raw = Row(Run("ps --raw", exitCode), 0, pid);
        REQUIRE_FALSE(raw.empty());
        CHECK(lstrcmpiA(Field(raw, 3).c_str(), Escaped(program).c_str()) == 0);
        if (nt)
            CHECK(Field(raw, 4) == "twforge.exe run (Not Available)\\r\\nName: forged.exe\\r\\nPID: 4\\x01\\x1B[2J");

        // The text report: one Name line and one PID line, the whole command
        // line and the whole path.
        const std::string text = folder + "\\r.txt";
        Run("report --format text --out \"" + text + "\" " + pid, exitCode);
        CHECK(exitCode == 0);
        FILE* file = std::fopen(text.c_str(), "rb");
        REQUIRE(file != nullptr);
        std::string report;
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) report.append(buffer, got);
        std::fclose(file);
        size_t names = 0, pids = 0;
        for (const std::string& reportLine : SplitLines(report)) {
            names += reportLine.compare(0, 6, "Name: ") == 0;
            pids += reportLine.compare(0, 5, "PID: ") == 0;
        }
        CHECK(names == 1);
        CHECK(pids == 1);
        CHECK(report.find("Executable: " + program + "\r\n") != std::string::npos);
        if (nt)
            CHECK(report.find("Commandline: twforge.exe run (Not Available)\\r\\nName: forged.exe\\r\\nPID: "
                              "4\\x01\\x1B[2J\r\n")
                  != std::string::npos);

        // The XML report holds nothing XML 1.0 forbids.
        const std::string xml = folder + "\\r.xml";
        Run("report --format xml --out \"" + xml + "\" " + pid, exitCode);
        CHECK(exitCode == 0);
        file = std::fopen(xml.c_str(), "rb");
        REQUIRE(file != nullptr);
        report.clear();
        while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) report.append(buffer, got);
        std::fclose(file);
        for (char c : report) CHECK((static_cast<unsigned char>(c) >= 0x20 || c == '\r' || c == '\n' || c == '\t'));
        CHECK(report.find("<Executable>" + program + "</Executable>") != std::string::npos);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("a failed report leaves the file it would have replaced")
    {
        const std::string folder = TestPaths::MakeScratchFolder("failed");
        const std::string path = folder + "\\kept.html";
        TestPaths::WriteFile(path, "earlier report", 14);
        TestPaths::WriteFile(folder + "\\kept_files", "in the way", 10);  // the pages folder cannot be made
        DWORD exitCode;
        Run("report --format html --out \"" + path + "\" " + Number(GetCurrentProcessId()), exitCode);
        CHECK(exitCode == 1);
        FILE* file = std::fopen(path.c_str(), "rb");
        REQUIRE(file != nullptr);
        char buffer[32] = {};
        CHECK(std::fread(buffer, 1, sizeof(buffer), file) == 14);
        std::fclose(file);
        CHECK(std::string(buffer) == "earlier report");
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("image files")
{
    TEST_CASE("import bombs: cut and said so, and a missing DLL named once")
    {
        const std::string folder = TestPaths::MakeScratchFolder("bomb");
        // 1,000 descriptors sharing one list of 100,000 thunks.
        PeBuilder bomb;
        bomb.imports.push_back({"KERNEL32.dll", std::vector<PeBuilder::ImportFunction>(100000, {true, 1, ""})});
        bomb.dwRepeatDescriptors = 1000;
        bomb.bHasExports = true;
        bomb.exports.functions = {"f"};
        bomb.exports.names = {{"Kept", 0}};
        std::vector<uint8_t> image = bomb.Build();
        const std::string bombPath = folder + "\\bomb.dll";
        REQUIRE(TestPaths::WriteFile(bombPath, image.data(), image.size()));

        ClModuleIX tables;
        tables.Load(bombPath.c_str());
        CHECK_FALSE(tables.Failed());
        CHECK(tables.ImportsTruncated());
        CHECK_FALSE(tables.ExportsTruncated());
        REQUIRE(tables.Exports().size() == 1);
        DWORD exitCode;
        std::string out = Run("pe \"" + bombPath + "\"", exitCode);
        CHECK(exitCode == 1);
        CHECK(out.find("\nexport\t1\tKept\n") != std::string::npos);
        CHECK(out.find("\ntruncated\timports\t" + Number(static_cast<DWORD>(image.size() / 4)) + "\n")
              != std::string::npos);

        // One missing DLL named by 100,000 descriptors.
        PeBuilder many;
        many.imports.push_back({"twnowhere.dll", {{true, 1, ""}}});
        many.dwRepeatDescriptors = 100000;
        image = many.Build();
        const std::string manyPath = folder + "\\many.exe";
        REQUIRE(TestPaths::WriteFile(manyPath, image.data(), image.size()));
        ImportClosure closure;
        REQUIRE(closure.walk(manyPath.c_str()));
        REQUIRE(closure.Count() == 1);
        CHECK(closure.Nodes()[0].missing == std::vector<std::string>{"twnowhere.dll"});
        out = Run("pe --closure \"" + manyPath + "\"", exitCode);
        CHECK(exitCode == 0);
        size_t missing = 0;
        for (const std::string& line : SplitLines(out)) missing += line.compare(0, 8, "missing\t") == 0;
        CHECK(missing == 1);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("names the console tool prints cannot add lines")
    {
        const std::string folder = TestPaths::MakeScratchFolder("names");
        PeBuilder b;
        b.imports.push_back({"two\nlines.dll", {{false, 7, "Imp\x1b[31m"}}});
        b.bHasExports = true;
        b.exports.functions = {"f"};
        b.exports.names = {{"Export\r\nfile\tforged", 0}};
        const std::vector<uint8_t> image = b.Build();
        const std::string path = folder + "\\names.dll";
        REQUIRE(TestPaths::WriteFile(path, image.data(), image.size()));
        DWORD exitCode;
        const std::string out = Run("pe \"" + path + "\"", exitCode);
        CHECK(exitCode == 0);
        const std::vector<std::string> lines = SplitLines(out);
        REQUIRE(lines.size() == 3);
        CHECK(lines[1] == "import\ttwo\\nlines.dll\t7\tImp\\x1B[31m");
        CHECK(lines[2] == "export\t1\tExport\\r\\nfile\\tforged");
        TestPaths::RemoveTree(folder);
    }
}
