// Search plugins on disk, the shipped plugins and pictures, the lists file,
// new application entries, the launcher menus and starting a program.
#include <doctest/doctest.h>

#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "launchers/ApplicationLauncher.h"
#include "launchers/IconDecoder.h"
#include "launchers/LauncherLists.h"
#include "launchers/LauncherMenus.h"
#include "launchers/MozillaSearchPluginImpDlg.h"
#include "launchers/QueryUrl.h"
#include "launchers/SearchPlugins.h"

#include <windows.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Plugin(const std::string& name, const std::string& action = "http://x.example/s")
{
    return "<search\nname=\"" + name + "\"\naction=\"" + action + "\"\n>\n<input name=\"q\" user>\n</search>\n";
}

void Write(const std::string& path, const std::string& text)
{
    REQUIRE(TestPaths::WriteFile(path, text.data(), text.size()));
}

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void CheckPixel(const IconImage& image, int x, int y, uint32_t argb, int tolerance = 4)
{
    CAPTURE(x);
    CAPTURE(y);
    REQUIRE_FALSE(image.Empty());
    const uint32_t pixel = image.At(x, y);
    if ((argb >> 24) == 0) {
        CHECK(image.Transparent(x, y));
        return;
    }
    CHECK_FALSE(image.Transparent(x, y));
    for (int shift = 0; shift < 24; shift += 8)
        CHECK(std::abs(static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((argb >> shift) & 0xFF)) <= tolerance);
}

std::string ToAnsi(const wchar_t* text)
{
    char buffer[64] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr);
    return buffer;
}

// The program's resources without running it.
struct ProgramModule {
    ProgramModule() : module(LoadLibraryExA((TestPaths::BinFolder() + "tarnwick.exe").c_str(), nullptr,
                                            LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramModule() { if (module) FreeLibrary(module); }
    HMODULE module;
};

// Presses OK on the next message box of this process and keeps its text.
struct MessageBoxCloser {
    static DWORD WINAPI Run(void* parameter)
    {
        MessageBoxCloser* self = static_cast<MessageBoxCloser*>(parameter);
        for (int i = 0; i < 200; ++i) {
            HWND box = FindWindowA("#32770", "Tarnwick 2.6");
            DWORD pid = 0;
            if (box) GetWindowThreadProcessId(box, &pid);
            if (box && pid == GetCurrentProcessId()) {
                char text[256] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
                self->text = text;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            Sleep(50);
        }
        return 0;
    }
    std::string text;
};

} // namespace

TEST_SUITE("launchers")
{
    TEST_CASE("plugin files: encodings, size, the icon beside")
    {
        const std::string folder = TestPaths::MakeScratchFolder("plugins") + "\\";
        Write(folder + "utf8.src", Plugin("Caf\xC3\xA9"));
        Write(folder + "latin1.src", Plugin("Caf\xE9"));
        Write(folder + "big.src", Plugin("Big") + "#" + std::string(SearchPlugins::kMaxPluginSize, 'x'));
        Write(folder + "a-icons.src", Plugin("Icons"));
        const std::string shipped = TestPaths::BinFolder() + "SearchPlugins\\";
        REQUIRE(CopyFileA((shipped + "bing.png").c_str(), (folder + "a-icons.png").c_str(), FALSE));
        REQUIRE(CopyFileA((shipped + "microsoft-learn.ico").c_str(), (folder + "a-icons.ico").c_str(), FALSE));
        Write(folder + "broken.src", Plugin("Broken"));
        Write(folder + "broken.gif", "GIF89a nonsense");
        static const char kNul[] = "<search\nname=N\n\0action=http://a/\n>\n<input name=q user>\n</search>\n";
        Write(folder + "nul.src", std::string(kNul, sizeof(kNul) - 1));
        Write(folder + "z-file.src", Plugin("Runner", "file:///c:/windows/notepad.exe"));

        SearchEngine engine;
        REQUIRE(SearchPlugins::LoadSearchPlugin(folder + "utf8.src", engine));
        CHECK(engine.strName == ToAnsi(L"Caf\u00E9"));
        REQUIRE(SearchPlugins::LoadSearchPlugin(folder + "latin1.src", engine));
        CHECK(engine.strName == "Caf\xE9");  // not UTF-8: taken as it is, no letter lost
        // The address keeps letters no ANSI code page holds; the name is for menus.
        const std::string cyrillic = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80";  // пример
        Write(folder + "cyrillic.src", Plugin(cyrillic, "https://" + cyrillic + ".example/" + cyrillic));
        REQUIRE(SearchPlugins::LoadSearchPlugin(folder + "cyrillic.src", engine));
        CHECK(engine.strAction == "https://" + cyrillic + ".example/" + cyrillic);
        CHECK(engine.strName == SearchPlugins::Utf8ToAnsi(cyrillic));
        CHECK(SearchPlugins::QueryAddress(engine, "x.exe") == "https://" + cyrillic + ".example/" + cyrillic + "?q=x.exe");
        if (GetACP() == 1252) {
            Write(folder + "latin1-action.src", Plugin("L", "https://x.example/caf\xE9"));
            REQUIRE(SearchPlugins::LoadSearchPlugin(folder + "latin1-action.src", engine));
            CHECK(engine.strAction == "https://x.example/caf\xC3\xA9");
        }
        DeleteFileA((folder + "cyrillic.src").c_str());
        DeleteFileA((folder + "latin1-action.src").c_str());
        CHECK_FALSE(SearchPlugins::LoadSearchPlugin(folder + "big.src", engine));
        CHECK_FALSE(SearchPlugins::LoadSearchPlugin(folder + "missing.src", engine));
        CHECK_FALSE(SearchPlugins::LoadSearchPlugin(folder + "nul.src", engine));

        REQUIRE(SearchPlugins::LoadSearchPlugin(folder + "a-icons.src", engine));
        CHECK(engine.strIconFile == folder + "a-icons.png");  // .png comes before .ico
        CHECK(engine.nIconType == SearchEngine::IconPng);
        CHECK_FALSE(engine.image.Empty());
        REQUIRE(SearchPlugins::LoadSearchPlugin(folder + "broken.src", engine));
        CHECK(engine.nIconType == SearchEngine::IconGif);
        CHECK(engine.image.Empty());

        const std::vector<SearchEngine> all = SearchPlugins::LoadSearchPluginFolder(folder);
        std::string names;
        for (const SearchEngine& found : all) names += found.strName + ";";
        CHECK(names == "Icons;Broken;Caf\xE9;" + ToAnsi(L"Caf\u00E9") + ";");
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("shipped plugins and pictures")
    {
        const std::vector<SearchEngine> engines =
            SearchPlugins::LoadSearchPluginFolder(TestPaths::BinFolder() + "SearchPlugins\\");
        REQUIRE(engines.size() == 4);
        const char* names[] = {"Bing", "DuckDuckGo", "Microsoft Learn", "Wikipedia"};
        const uint32_t types[] = {SearchEngine::IconPng, SearchEngine::IconGif, SearchEngine::IconIco,
                                  SearchEngine::IconJpeg};
        for (size_t i = 0; i < 4; ++i) {
            CHECK(engines[i].strName == names[i]);
            CHECK(engines[i].IsValid());
            CHECK(engines[i].nIconType == types[i]);
        }
        CheckPixel(engines[0].image, 4, 5, 0xFFFFFFFF);
        CheckPixel(engines[0].image, 8, 8, 0xFF0F766E);
        CheckPixel(engines[0].image, 0, 0, 0);
        CheckPixel(engines[1].image, 8, 8, 0xFF1F2937);
        CheckPixel(engines[1].image, 4, 6, 0xFFFFFFFF);
        CheckPixel(engines[1].image, 0, 0, 0);
        CheckPixel(engines[2].image, 4, 3, 0xFF2563EB);
        CheckPixel(engines[2].image, 4, 5, 0xFFFFFFFF);
        CheckPixel(engines[2].image, 0, 0, 0);
        CheckPixel(engines[3].image, 3, 5, 0xFF5E5E5C, 40);  // JPEG: near enough
        CheckPixel(engines[3].image, 8, 2, 0xFFFFFFFF, 40);

        ProgramModule program;
        REQUIRE(program.module);
        SearchEngine builtin;
        SearchPlugins::LoadBuiltinEngine(program.module, "en", builtin);
        CHECK(builtin.strAction == "https://www.google.com/search");
        CheckPixel(builtin.image, 4, 3, 0xFF4285F4);
        CheckPixel(builtin.image, 8, 2, 0xFFFFFFFF);
        CheckPixel(builtin.image, 0, 0, 0);

        // Every cut of every shipped picture: refused or decoded, never a fault.
        for (size_t i = 0; i < 4; ++i) {
            std::string bytes;
            REQUIRE(SearchPlugins::ReadSmallFile(engines[i].strIconFile, IconDecoder::kMaxFileSize, bytes));
            IconImage image;
            for (size_t cut = 0; cut < bytes.size(); ++cut)
                IconDecoder::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), cut, engines[i].nIconType, image);
        }
    }

    TEST_CASE("terms of the system code page reach the address as UTF-8")
    {
        if (GetACP() != 1252) return;
        SearchEngine engine;
        QueryUrl::MakeBuiltinEngine("en", engine);
        CHECK(SearchPlugins::QueryAddress(engine, "caf\xE9 x.exe") == "https://www.google.com/search?q=caf%C3%A9%20x.exe");
    }

    TEST_CASE("lists file: no file, order kept, saved and read back")
    {
        const std::string folder = TestPaths::MakeScratchFolder("lists") + "\\";
        const std::string plugins = folder + "SearchPlugins\\";
        CreateDirectoryA(plugins.c_str(), nullptr);
        for (const char* name : {"a", "b", "c"}) Write(plugins + name + ".src", Plugin(std::string("Engine ") + name));
        const std::string listsPath = folder + "Tarnwick.lists";
        ProgramModule program;

        LauncherLists lists;
        CHECK_FALSE(lists.Load(listsPath, plugins, program.module));
        CHECK(lists.applications.empty());
        REQUIRE(lists.engines.size() == 3);

        Write(listsPath, "engine\tc.src\nengine\tmissing.src\nrubbish\napp\tHelper\t" + ListsFileFormat::Escape(
                             TestPaths::BinFolder() + "tw-helper.exe") + "\tC:\\\\\t-v %m\nengine\t"
                             + ListsFileFormat::Escape(plugins + "A.SRC") + "\n");
        CHECK(lists.Load(listsPath, plugins, program.module));
        REQUIRE(lists.engines.size() == 2);
        CHECK(lists.engines[0].strName == "Engine c");
        CHECK(lists.engines[1].strName == "Engine a");
        REQUIRE(lists.applications.size() == 1);
        CHECK(std::string(lists.applications[0].szArguments) == "-v %m");
        CHECK(std::string(lists.applications[0].szStartPath) == "C:\\");
        CHECK(lists.applications[0].hIcon != nullptr);

        CHECK(lists.AddEngines(SearchPlugins::LoadSearchPluginFolder(plugins)) == 1);
        CHECK(lists.EngineForCommand(2006)->strName == "Engine b");
        CHECK(lists.EngineForCommand(2007) == nullptr);
        CHECK(lists.EngineForCommand(2003) == nullptr);
        CHECK(LauncherLists::Move(lists.engines, 2, 0));
        CHECK(LauncherLists::Remove(lists.engines, 1));
        CHECK_FALSE(LauncherLists::Remove(lists.engines, 5));
        CHECK(lists.ActiveSourcePaths().count(MozillaSearchPluginImpDlg::LowerCase(plugins + "b.src")) == 1);

        REQUIRE(lists.Save(listsPath, plugins));
        const std::string saved = ReadAll(listsPath);
        CHECK(saved.find("engine\tb.src\r\nengine\tA.SRC\r\n") != std::string::npos);
        LauncherLists again;
        CHECK(again.Load(listsPath, plugins, program.module));
        REQUIRE(again.engines.size() == 2);
        CHECK(again.engines[0].strName == "Engine b");
        REQUIRE(again.applications.size() == 1);
        CHECK(std::string(again.applications[0].szDescription) == "Helper");
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("a new application entry")
    {
        ProgramModule program;
        UserApplication entry;
        const std::string helper = TestPaths::BinFolder() + "tw-helper.exe";
        UserApplication::MakeNewEntry(helper, program.module, entry);
        CHECK(std::string(entry.szDescription) == "tw-helper");
        CHECK(std::string(entry.szApplication) == helper);
        CHECK(std::string(entry.szStartPath) == TestPaths::BinFolder());
        CHECK(std::string(entry.szArguments) == "%m");
        CHECK(entry.hIcon != nullptr);  // the program's icon 112: the helper has none
        UserApplication::MakeNewEntry(TestPaths::BinFolder() + "restypes.dll", program.module, entry);
        CHECK(std::string(entry.szDescription) == "Resource types");
        const UserApplication copy = entry;
        CHECK(copy.hIcon != nullptr);
        CHECK(copy.hIcon != entry.hIcon);
    }

    TEST_CASE("menus: Open with and the search engines")
    {
        std::vector<UserApplication> apps(3);
        apps[0].SetTexts("Alpha", "a.exe", "", "%m");
        apps[1].SetTexts("B&B", "b.exe", "", "%m");
        apps[2].SetTexts("Gamma", "c.exe", "", "%m");
        std::vector<SearchEngine> engines(2);
        QueryUrl::MakeBuiltinEngine("en", engines[0]);
        engines[1] = engines[0];
        engines[1].strName = "Second";

        for (bool ownerDraw : {true, false}) {
            CAPTURE(ownerDraw);
            LauncherMenus menus;
            menus.SetOwnerDraw(ownerDraw);
            ProgramModule program;
            HMENU bar = LoadMenuA(program.module, MAKEINTRESOURCEA(128));
            REQUIRE(bar);
            HMENU context = GetSubMenu(bar, 0);
            const int before = GetMenuItemCount(context);
            REQUIRE(menus.InsertOpenWith(context, apps));
            REQUIRE(menus.InsertSearchEngines(context, engines));
            CHECK(GetMenuItemCount(context) == before + 2);
            char text[64] = {};
            GetMenuStringA(context, 0, text, sizeof(text), MF_BYPOSITION);
            CHECK(std::string(text) == "&Open with");
            CHECK((GetMenuState(context, 1, MF_BYPOSITION) & MF_SEPARATOR) != 0);
            HMENU openWith = GetSubMenu(context, 0);
            REQUIRE(GetMenuItemCount(openWith) == 3);
            for (UINT i = 0; i < 3; ++i) CHECK(GetMenuItemID(openWith, static_cast<int>(i)) == i + 1);

            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_TYPE | MIIM_DATA | MIIM_SUBMENU;
            char itemText[64] = {};
            info.dwTypeData = itemText;
            info.cch = sizeof(itemText);
            REQUIRE(GetMenuItemInfoA(openWith, 1, TRUE, &info));
            if (ownerDraw) {
                CHECK((info.fType & MFT_OWNERDRAW) != 0);
            } else {
                CHECK(std::string(itemText) == "B&&B");
            }

            // 40094 became a pop-up with the same text.
            CHECK(GetMenuState(context, 40094, MF_BYCOMMAND) == static_cast<UINT>(-1));
            HMENU search = nullptr;
            for (int i = 0; i < GetMenuItemCount(context); ++i)
                if (GetSubMenu(context, i) && GetMenuItemID(GetSubMenu(context, i), 0) == 2004u) {
                    search = GetSubMenu(context, i);
                    GetMenuStringA(context, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
                }
            REQUIRE(search);
            CHECK(std::string(text) == "Search The &Internet");
            CHECK(GetMenuItemID(search, 1) == 2005u);
            DestroyMenu(bar);
            menus.Release();
        }

        LauncherMenus menus;
        ProgramModule program;
        HMENU bar = LoadMenuA(program.module, MAKEINTRESOURCEA(128));
        HMENU context = GetSubMenu(bar, 0);
        CHECK_FALSE(menus.InsertOpenWith(context, {}));
        CHECK_FALSE(menus.InsertSearchEngines(context, {}));
        CHECK(GetMenuItemID(context, 0) == 40034u);
        CHECK(GetMenuState(context, 40094, MF_BYCOMMAND) != static_cast<UINT>(-1));
        DestroyMenu(bar);

        std::vector<UserApplication> many(1001);
        HMENU full = menus.BuildApplicationMenu(many);
        CHECK(GetMenuItemCount(full) == 1000);
        DestroyMenu(full);
    }

    TEST_CASE("starting a user-defined program: bad ids, a missing program")
    {
        // Started programs and the Console window: the e2e tests.
        const std::string folder = TestPaths::MakeScratchFolder("launch") + "\\";
        std::vector<UserApplication> apps(2);
        apps[0].SetTexts("Catcher", TestPaths::BinFolder() + "tw-catcher.exe", folder, "%m");
        apps[1].SetTexts("Missing", folder + "missing.exe", "", "%m");

        CHECK(ApplicationLauncher::LaunchApplication(apps, 0, "C:\\x.dll", nullptr, false) == ApplicationLauncher::Ignored);
        CHECK(ApplicationLauncher::LaunchApplication(apps, 3, "C:\\x.dll", nullptr, false) == ApplicationLauncher::Ignored);
        CHECK(ApplicationLauncher::LaunchApplication(apps, 1, "", nullptr, false) == ApplicationLauncher::Ignored);

        MessageBoxCloser closer;
        DWORD id = 0;
        HANDLE thread = CreateThread(nullptr, 0, MessageBoxCloser::Run, &closer, 0, &id);
        CHECK(ApplicationLauncher::LaunchApplication(apps, 2, "C:\\x.dll", nullptr, false) == ApplicationLauncher::Failed);
        WaitForSingleObject(thread, 15000);
        CloseHandle(thread);
        CHECK(closer.text == "Failed to start \"Missing\" !");

        CHECK(ApplicationLauncher::IsConsoleProgram(TestPaths::BinFolder() + "tw-console.exe"));
        CHECK_FALSE(ApplicationLauncher::IsConsoleProgram(TestPaths::BinFolder() + "tw-catcher.exe"));
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("console tool: src, search-url, engines, pipe")
    {
        const std::string bin = TestPaths::BinFolder();
        std::string out;
        DWORD code = 0;
        REQUIRE(RunAndCapture(ConsoleTool() + " src \"" + bin + "SearchPlugins\\wikipedia.src\"", out, code));
        CHECK(code == 0);
        CHECK(out.find("\nname\tWikipedia\n") != std::string::npos);
        CHECK(out.find("\nuser\tsearch\ninput\ttitle\tSpecial:Search\n") != std::string::npos);
        CHECK(out.find("wikipedia.jpg\t3\t16x16\nvalid\t1\n") != std::string::npos);
        REQUIRE(RunAndCapture(ConsoleTool() + " src \"" + bin + "tw-helper.exe\"", out, code));
        CHECK(code == 1);
        CHECK(out.find("valid\t0\n") != std::string::npos);
        // An address of 2,049 characters: no valid plugin; 2,048: valid.
        const std::string folder = TestPaths::MakeScratchFolder("longsrc") + "\\";
        for (size_t length : {size_t(2048), size_t(2049)}) {
            CAPTURE(length);
            const std::string start = "https://a.example/";
            Write(folder + "long.src", Plugin("Long", start + std::string(length - start.size(), 'p')));
            REQUIRE(RunAndCapture(ConsoleTool() + " src \"" + folder + "long.src\"", out, code));
            CHECK(code == (length == 2048 ? 0u : 1u));
            CHECK(out.find(length == 2048 ? "valid\t1\n" : "valid\t0\n") != std::string::npos);
        }
        TestPaths::RemoveTree(folder);

        REQUIRE(RunAndCapture(ConsoleTool() + " search-url builtin --lang ja \"a b&c.exe\"", out, code));
        CHECK(out == "https://www.google.com/search?q=a%20b%26c.exe\n");
        REQUIRE(RunAndCapture(ConsoleTool() + " search-url \"" + bin + "SearchPlugins\\bing.src\" x", out, code));
        CHECK(out == "https://www.bing.com/search?q=x\n");

        if (GetFileAttributesA((bin + "Tarnwick.lists").c_str()) == INVALID_FILE_ATTRIBUTES) {
            REQUIRE(RunAndCapture(ConsoleTool() + " engines", out, code));
            CHECK(out.find("2004\tBing\t") != std::string::npos);
            CHECK(out.find("2007\tWikipedia\t") != std::string::npos);
        }

        REQUIRE(RunAndCapture(ConsoleTool() + " pipe \"\\\"" + bin + "tw-console.exe\\\" text\"", out, code));
        CHECK(code == 0);
        char converted[2] = {'\x81', 0};
        OemToCharBuffA(converted, converted, 1);
        CHECK(out == std::string("one\r\ntwo\r\nnul[ ]\r\n") + converted[0] + "\r\n");
        REQUIRE(RunAndCapture(ConsoleTool() + " pipe tw-no-such-program.exe", out, code));
        CHECK(code == 1);
        CHECK(out.find("Unable to start tw-no-such-program.exe\r\nError Code: 2") == 0);
    }
}
