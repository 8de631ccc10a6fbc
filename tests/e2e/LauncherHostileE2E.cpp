// User-defined applications on hostile module paths, a console tool that
// floods the Console window, and search plugins with addresses in other
// scripts, as a user meets them: the real program, its lists file, a helper
// that loads the module, and recorder programs standing in for the tools and
// the browser.
#include "tests/e2e/E2eTest.h"
#include "tests/RuntimeArguments.h"
#include "tests/e2e/BrowserCatcher.h"
#include "tests/e2e/E2eFiles.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

using E2eFiles::ReadText;
using E2eFiles::ListsPath;

const int kTree = 302;
const int kList = 304;
const char kMainClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";
const int kConsoleEdit = 1169;

// A path as the lists file writes it (backslashes escaped).
std::string Escaped(std::string text)
{
    for (size_t at = 0; (at = text.find('\\', at)) != std::string::npos; at += 2) text.insert(at, "\\");
    return text;
}

// The "cmd=" lines tw-recorder appended to its log.
std::vector<std::string> RecordedCommands(const std::string& log)
{
    std::vector<std::string> commands;
    std::istringstream in(ReadText(log));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 4, "cmd=") == 0) commands.push_back(line.substr(4));
    }
    return commands;
}

// Every %XX of an address as its byte.
std::string PercentDecoded(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isxdigit(static_cast<unsigned char>(text[i + 1]))
            && isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The program with a helper process that has `module` loaded, the module
// selected in the module list.
struct ModuleScene {
    explicit ModuleScene(const std::string& module) : app("tarnwick.exe")
    {
        REQUIRE(helper.Start("load \"" + module + "\""));
        REQUIRE(app.Start("--nosplash --priority-normal"));
        main = app.WaitForWindow(kMainClass, kTitle);
        REQUIRE(main);
        RemoteTreeView tree(main.Child(kTree));
        HTREEITEM item = nullptr;
        REQUIRE(Wait::Until([&] { return (item = tree.Find("tw-helper.exe")) != nullptr; }, 10000));
        REQUIRE(tree.Select(item));
        const std::string name = module.substr(module.find_last_of('\\') + 1);
        int row = -1;
        REQUIRE(Wait::Until([&] { return (row = RemoteListView(main.Child(kList)).FindRow(name)) >= 0; }, 10000));
        REQUIRE(RemoteListView(main.Child(kList)).Select(row));
    }
    HelperProgram helper;
    Program app;
    Window main;
};

} // namespace

TEST_SUITE("launchers") {

TEST_CASE("launchers: a module in a folder named R&D is one argument, and a batch tool is not started on it")
{
    Program::RemoveSettings();
    const std::string folder = E2ePaths::ProgramFolder();
    const std::string rd = folder + "R&D";
    CreateDirectoryA(rd.c_str(), nullptr);
    const std::string module = rd + "\\rd.dll";
    REQUIRE(CopyFileA((folder + "restypes.dll").c_str(), module.c_str(), FALSE));
    const std::string recorder = folder + "tw-argrec.exe";
    REQUIRE(CopyFileA((folder + "tw-recorder.exe").c_str(), recorder.c_str(), FALSE));
    const std::string log = recorder + ".log";
    DeleteFileA(log.c_str());
    // A batch tool that hands its argument to the recorder: cmd would run
    // whatever follows an unquoted "&" as a command of its own.
    const std::string batch = folder + "argtool.bat";
    {
        std::ofstream file(batch, std::ios::binary);
        file << "@\"" << recorder << "\" %1\r\n";
    }
    {
        std::ofstream file(ListsPath(), std::ios::binary);
        file << "app\tArg Recorder\t" << Escaped(recorder) << "\t\t%m\r\n"
             << "app\tBatch Tool\t" << Escaped(batch) << "\t\t%m\r\n";
    }

    {
        ModuleScene scene(module);
        REQUIRE(scene.main.PostCommand(1));
        REQUIRE(Wait::Until([&] { return !RecordedCommands(log).empty(); }, 10000));
        Wait::Pause(1000);
        const std::vector<std::string> commands = RecordedCommands(log);
        REQUIRE(commands.size() == 1);
        CHECK(RuntimeArguments(commands[0]) == (std::vector<std::string>{"tw-argrec.exe", module}));

        // The batch tool: refused with the launch-failure message, nothing runs.
        BoxGuard::Expect expected(kTitle);
        REQUIRE(scene.main.PostCommand(2));
        const Dialog box = Dialog::WaitFor(kTitle, scene.app.Pid());
        REQUIRE(box);
        CHECK(box.MessageText() == "Failed to start \"Batch Tool\" !");
        CHECK(!Screenshot::SaveDesktop("rd-refused").empty());
        CHECK(box.Dismiss());
        Wait::Pause(1000);
        CHECK(RecordedCommands(log).size() == 1);
        CHECK(scene.app.Close());
        CHECK(scene.app.ExitCode() == 0);
    }
    DeleteFileA(ListsPath().c_str());
    DeleteFileA(log.c_str());
    DeleteFileA(recorder.c_str());
    DeleteFileA(batch.c_str());
    DeleteFileA(module.c_str());
    RemoveDirectoryA(rd.c_str());
}

TEST_CASE("launchers: a console tool printing 100 MB: the Console window keeps the last 4 MB and the program answers")
{
    Program::RemoveSettings();
    const std::string folder = E2ePaths::ProgramFolder();
    {
        std::ofstream file(ListsPath(), std::ios::binary);
        file << "app\tFlood\t" << Escaped(folder + "tw-console.exe") << "\t\tflood 100\r\n";
    }
    {
        ModuleScene scene("restypes.dll");
        REQUIRE(scene.main.PostCommand(1));
        const Dialog console = Dialog::WaitFor("\"" + folder + "tw-console.exe\" flood 100", scene.app.Pid());
        REQUIRE(console);
        CHECK(Wait::Until([&] { return console.Control(IDOK).IsEnabled(); }, 300000));
        const std::string text = console.Control(kConsoleEdit).Text();
        // 4 MB on the NT family; the 9x family's edit controls hold 64 KB, so 60 KB there.
        const size_t limit = E2ePaths::IsNineX() ? 60 * 1024 : 4 * 1024 * 1024;
        CHECK(text.size() <= limit);
        CHECK(text.size() >= limit / 2);
        CHECK(text.rfind("[Earlier output was dropped: this window keeps only the last part.]\r\nline ", 0) == 0);
        CHECK(text.size() >= 12);
        CHECK(text.substr(text.size() - 12) == "flood done\r\n");
        // The lines before it are the tool's last ones, whole and in order.
        const std::string before = text.substr(0, text.size() - 12);
        CHECK(before.substr(before.size() - 65) == "line 0001638399 " + std::string(40, '0') + "1638399\r\n");
        CHECK(!Screenshot::SaveDesktop("console-flood").empty());
        bool answered = false;
        scene.main.Send(WM_NULL, 0, 0, &answered);
        CHECK(answered);
        CHECK(console.Press(IDOK));
        CHECK(console.WaitGone());
        CHECK(scene.app.IsRunning());
        CHECK(scene.app.Close());
        CHECK(scene.app.ExitCode() == 0);
    }
    DeleteFileA(ListsPath().c_str());
}

TEST_CASE("launchers: a search plugin with a Cyrillic host and path and CJK parameters reaches the browser whole")
{
    Program::RemoveSettings();
    const std::string folder = E2ePaths::ProgramFolder();
    const std::string host = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD0\xB8\xD1\x81\xD0\xBF\xD1\x8B\xD1\x82"
                             "\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5";                     // пример.испытание
    const std::string path = "\xD0\xBF\xD1\x83\xD1\x82\xD1\x8C/\xE6\xA4\x9C\xE7\xB4\xA2";  // путь/検索
    const std::string user = "\xE8\xB3\xAA\xE5\x95\x8F";                                // 質問
    const std::string key = "\xE8\xA8\x80\xE8\xAA\x9E";                                 // 言語
    const std::string value = "\xD1\x80\xD1\x83\xD1\x81";                               // рус
    const std::string src = folder + "SearchPlugins\\tw-scripts.src";
    {
        std::ofstream file(src, std::ios::binary);
        file << "<search\r\n name=\"Scripts\"\r\n action=\"https://" << host << "/" << path << "\"\r\n>\r\n"
             << "<input name=\"" << user << "\" user>\r\n<input name=\"" << key << "\" value=\"" << value
             << "\">\r\n</search>\r\n";
    }
    {
        std::ofstream file(ListsPath(), std::ios::binary);
        file << "engine\ttw-scripts.src\r\n";
    }
    {
        BrowserCatcher browser(E2ePaths::ProgramPath("caught-scripts.txt"));
        Program app("tarnwick.exe");
        REQUIRE(app.Start("--nosplash --priority-normal"));
        const Window main = app.WaitForWindow(kMainClass, kTitle);
        REQUIRE(main);
        RemoteTreeView tree(main.Child(kTree));
        HTREEITEM item = nullptr;
        REQUIRE(Wait::Until([&] { return (item = tree.Find("tarnwick.exe")) != nullptr; }, 10000));
        REQUIRE(tree.Select(item));
        REQUIRE(Input::Focus(main.Child(kTree)));
        REQUIRE(main.PostCommand(2004));
        std::string address;
        REQUIRE(browser.WaitAddress(address));
        CAPTURE(address);
        // Whole, as UTF-8 or percent-encoded UTF-8, with nothing turned into "?".
        CHECK(PercentDecoded(address)
              == "https://" + host + "/" + path + "?" + user + "=tarnwick.exe&" + key + "=" + value);
        CHECK(address.find('?') == address.find("?%"));
        if (E2ePaths::IsNineX())
            CHECK(address.rfind("https://%D0%BF%D1%80", 0) == 0);  // the ANSI entry: all in ASCII
        else
            CHECK(address.rfind("https://" + host + "/" + path + "?%E8%B3%AA", 0) == 0);  // host and path as they are
        CHECK(app.Close());
    }
    DeleteFileA(src.c_str());
    DeleteFileA(ListsPath().c_str());
}

} // TEST_SUITE
