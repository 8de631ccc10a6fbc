// The "Plugins" submenu of the real program: an item runs the plug-in it was
// built for, even when that plug-in's name turns unreadable while the menu
// is open (tw-badplugin as bad-fading.dll beside the probe plug-ins).
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/E2eFiles.h"

#include "tests/e2e/ConsoleTool.h"

#include <algorithm>
#include <fstream>

namespace {

using E2eFiles::ReadLines;

const int kTree = 302;
const char kMainClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";

void RemoveFiles(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + data.cFileName).c_str());
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

// A Plugins folder with only the given test plug-ins; the old one comes back afterwards.
class PluginsAside {
public:
    explicit PluginsAside(const std::vector<std::pair<std::string, std::string>>& copies)
    {
        folder = E2ePaths::ProgramFolder();
        plugins = folder + "Plugins";
        aside = folder + "Plugins-aside";
        moved = MoveFileA(plugins.c_str(), aside.c_str()) != FALSE;
        CreateDirectoryA(plugins.c_str(), nullptr);
        for (const auto& copy : copies)
            REQUIRE(CopyFileA((folder + "testplugins\\" + copy.first).c_str(), (plugins + "\\" + copy.second).c_str(),
                              FALSE));
        log = folder + "fading.log";
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("TW_PROBE_LOG", log.c_str());
    }
    ~PluginsAside()
    {
        SetEnvironmentVariableA("TW_PROBE_LOG", nullptr);
        RemoveFiles(plugins);
        RemoveDirectoryA(plugins.c_str());
        if (moved) MoveFileA(aside.c_str(), plugins.c_str());
        else CreateDirectoryA(plugins.c_str(), nullptr);
        DeleteFileA(log.c_str());
    }
    // The accepted plug-ins offered in the process views, in the program's order (its own loader).
    std::vector<std::string> OfferedInProcessViews() const
    {
        std::vector<std::string> names;
        for (const std::vector<std::string>& fields : ConsoleTool::Table(ConsoleTool::Output("plugins \"" + plugins + "\"")))
            if (fields.size() >= 5 && fields[1] == "accepted" && !fields[4].empty() && (fields[2] == "1" || fields[2] == "2"))
                names.push_back(fields[4]);
        return names;
    }
    bool Logged(const std::string& start) const
    {
        for (const std::string& line : ReadLines(log))
            if (line.rfind(start, 0) == 0) return true;
        return false;
    }
    std::string folder, plugins, aside, log;
    bool moved = false;
};

} // namespace

TEST_SUITE("plugins and languages") {

TEST_CASE("plug-ins: a menu item runs its plug-in even when the name turned unreadable meanwhile")
{
    Program::RemoveSettings();
    PluginsAside scene({{"tw-badplugin.dll", "bad-fading.dll"}, {"tw-probe1.dll", "tw-probe1.dll"},
                        {"tw-probe2.dll", "tw-probe2.dll"}});
    const std::vector<std::string> offered = scene.OfferedInProcessViews();
    REQUIRE(offered.size() == 3);
    const auto fading = std::find(offered.begin(), offered.end(), "Bad fading");
    REQUIRE(fading != offered.end());

    Program app;
    REQUIRE(app.StartDebugged("--nosplash --priority-normal"));
    const Window main = app.WaitForWindow(kMainClass, kTitle);
    REQUIRE(main);
    const Window hider = Desktop::Find([&] {
        WindowQuery query("TwBadWindow", "TwBad fading", app.Pid());
        query.visibleOnly = false;
        return query;
    }());
    REQUIRE(hider);
    RemoteTreeView tree(main.Child(kTree));
    HTREEITEM item = nullptr;
    REQUIRE(Wait::Until([&] { return (item = tree.Find("tarnwick.exe")) != nullptr; }, 10000));
    REQUIRE(tree.Select(item));
    REQUIRE(Input::Focus(main.Child(kTree)));

    // The context menu is open with the plug-ins listed; then the name goes.
    main.Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(main.Child(kTree).Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
    REQUIRE(Wait::Until([&] { return static_cast<bool>(Desktop::PopupMenu(app.Pid())); }, 5000));
    bool answered = false;
    hider.Send(RegisterWindowMessageA("TwBadHideName"), 0, 0, &answered);
    REQUIRE(answered);
    REQUIRE(Wait::Until([&] { return scene.Logged("Bad fading name hidden"); }, 5000));

    // Kill, Report, Plugins: the submenu, then the item of the fading plug-in.
    for (int i = 0; i < 3; ++i) REQUIRE(Input::Keys("Down"));
    REQUIRE(Input::Keys("Right"));
    Wait::Pause(300);
    for (auto at = offered.begin(); at != fading; ++at) REQUIRE(Input::Keys("Down"));
    CHECK(!Screenshot::SaveDesktop("fading-menu").empty());
    REQUIRE(Input::Keys("Enter"));
    CHECK(Wait::Until([&] { return scene.Logged("Bad fading execute window="); }, 10000));
    Wait::Pause(500);
    CHECK_FALSE(scene.Logged("probe1 Execute"));
    CHECK_FALSE(scene.Logged("probe2 Execute"));
    CHECK(!Desktop::PopupMenu(app.Pid()));

    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);
    CHECK(app.Debugger()->Crashes().empty());
}

} // TEST_SUITE
