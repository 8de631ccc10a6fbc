// A language module whose message texts carry conversions that do not fit
// their arguments ("%s%s%s%n", "PID %s"): the real program with it chosen in
// Language.ini shows its own English texts for those and keeps running. (The
// info tips of the views, strings 73 to 75, are checked in-process: Wine's
// list and tree views ask for no info tips.)
#include "tests/e2e/E2eTest.h"
#include "tests/e2e/E2eFiles.h"

#include <fstream>
#include <sstream>

namespace {

using E2eFiles::ReadText;

const int kTree = 302;
const int kList = 304;
const char kMainClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";

// The hostile module as the chosen language, the lists file with a tool
// that does not exist; both as before afterwards.
class HostileLanguage {
public:
    HostileLanguage()
    {
        folder = E2ePaths::ProgramFolder();
        ini = folder + "Language\\Language.ini";
        savedIni = ReadText(ini);
        module = folder + "Language\\hostile_tarnwick.lang";
        REQUIRE(CopyFileA((folder + "testplugins\\tw-lang-hostile.dll").c_str(), module.c_str(), FALSE));
        WritePrivateProfileStringA("LANGUAGE", "Module", "hostile_tarnwick.lang", ini.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
        lists = folder + "Tarnwick.lists";
        std::ofstream file(lists, std::ios::binary);
        file << "app\tMissing Tool\tC:\\\\nowhere\\\\missing-tool.exe\t\t%m\r\n";
    }
    ~HostileLanguage()
    {
        std::ofstream file(ini, std::ios::binary);
        file << savedIni;
        file.close();
        DeleteFileA(module.c_str());
        DeleteFileA(lists.c_str());
    }
    std::string folder, ini, savedIni, module, lists;
};

} // namespace

TEST_SUITE("plugins and languages") {

TEST_CASE("a language module with hostile conversions: the program's own texts, no crash")
{
    Program::RemoveSettings();
    HostileLanguage scene;
    HelperProgram helper;
    REQUIRE(helper.Start("load restypes.dll"));
    Program app;
    REQUIRE(app.StartDebugged("--nosplash --priority-normal"));
    const Window main = app.WaitForWindow(kMainClass, kTitle);
    REQUIRE(main);
    RemoteTreeView tree(main.Child(kTree));
    // The module's own texts are in use.
    REQUIRE(Wait::Until([&] { return tree.Find("Hostile Processes") != nullptr; }, 10000));

    // String 55: the launch failure of a tool that does not exist.
    HTREEITEM item = nullptr;
    REQUIRE(Wait::Until([&] { return (item = tree.Find("tw-helper.exe")) != nullptr; }, 10000));
    REQUIRE(tree.Select(item));
    int row = -1;
    REQUIRE(Wait::Until([&] { return (row = RemoteListView(main.Child(kList)).FindRow("restypes.dll")) >= 0; }, 10000));
    REQUIRE(RemoteListView(main.Child(kList)).Select(row));
    {
        BoxGuard::Expect expected(kTitle);
        REQUIRE(main.PostCommand(1));
        const Dialog failed = Dialog::WaitFor(kTitle, app.Pid());
        REQUIRE(failed);
        CHECK(failed.MessageText() == "Failed to start \"Missing Tool\" !");
        CHECK(!Screenshot::SaveDesktop("hostile-failed").empty());
        CHECK(failed.Dismiss());
    }

    // String 54: Remove on the Applications page asks in English.
    REQUIRE(main.PostCommand(40072));
    const Dialog options = Dialog::WaitFor("Options", app.Pid());
    REQUIRE(options);
    // Controls of the page shown (the pages share ids).
    auto pageControl = [&](int id) {
        for (const DialogControl& control : options.Controls())
            if (control.id == id && control.window.Parent() != options.GetWindow() && control.window.Parent().IsVisible())
                return control.window;
        return Window();
    };
    const Window applications = pageControl(1101);
    REQUIRE(applications);
    RemoteListBox entries(applications);
    REQUIRE(entries.Count() == 1);
    REQUIRE(entries.Select(0));
    const Window remove = pageControl(1107);
    REQUIRE(remove);
    {
        BoxGuard::Expect expected(kTitle);
        remove.Post(BM_CLICK);
        const Dialog question = Dialog::WaitFor(kTitle, app.Pid());
        REQUIRE(question);
        CHECK(question.MessageText() == "Do you really want to delete \"Missing Tool\" ?");
        CHECK(question.PressButton("No"));
        CHECK(question.WaitGone(3000));
    }
    CHECK(options.Press(IDCANCEL));
    CHECK(options.WaitGone(5000));

    bool answered = false;
    main.Send(WM_NULL, 0, 0, &answered);
    CHECK(answered);
    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);
    CHECK(app.Debugger()->Crashes().empty());
}

} // TEST_SUITE
