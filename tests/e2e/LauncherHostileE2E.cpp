// User-defined applications on hostile module paths, as a user meets them:
// the real program, its lists file, a helper that loads the module and the
// recorder programs standing in for the tools.
#include "tests/e2e/E2eTest.h"

#include <fstream>
#include <sstream>

namespace {

const int kTree = 302;
const int kList = 304;
const char kMainClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string ListsPath()
{
    return E2ePaths::ProgramPath("Tarnwick.lists");
}

// A path as the lists file writes it (backslashes escaped).
std::string Escaped(std::string text)
{
    for (size_t at = 0; (at = text.find('\\', at)) != std::string::npos; at += 2) text.insert(at, "\\");
    return text;
}

// The arguments of a command line by the C runtime's rules (the program too).
std::vector<std::string> RuntimeArguments(const std::string& line)
{
    std::vector<std::string> args;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) return args;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
            if (i < line.size() && line[i] == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2) arg += '"';
                else quoted = !quoted;
                ++i;
            } else {
                arg.append(backslashes, '\\');
                if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
            }
        }
        args.push_back(arg);
    }
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

} // TEST_SUITE
