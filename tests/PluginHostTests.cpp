// The plug-in host with real plug-in libraries (tests/plugins), in-process.
#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "app/startup/ClDebugString.h"
#include "app/pluginhost/PluginCall.h"
#include "app/pluginhost/PluginHost.h"
#include "app/pluginhost/PluginLoader.h"
#include "sysinfo/StackRestoringCall.h"

#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

extern "C" void TwSdkLayoutC(unsigned* values);

namespace {

// A scratch program folder whose Plugins folder holds copies of the test
// plug-ins under the names that pick their behaviour.
class PluginFolder {
public:
    explicit PluginFolder(const std::vector<std::pair<std::string, std::string>>& copies)
    {
        root = TestPaths::MakeScratchFolder("plugins");
        plugins = root + "\\Plugins";
        CreateDirectoryA(plugins.c_str(), nullptr);
        for (const auto& copy : copies) {
            const std::string target = plugins + "\\" + copy.second;
            const size_t slash = copy.second.find('\\');
            if (slash != std::string::npos) CreateDirectoryA((plugins + "\\" + copy.second.substr(0, slash)).c_str(), nullptr);
            REQUIRE(CopyFileA((TestPaths::BinFolder() + copy.first).c_str(), target.c_str(), FALSE));
        }
        log = root + "\\probe.log";
        SetEnvironmentVariableA("TW_PROBE_LOG", log.c_str());
        SetEnvironmentVariableA("TW_PROBE_RESULT", nullptr);
        SetEnvironmentVariableA("TW_PROBE_WAIT", nullptr);
    }
    ~PluginFolder()
    {
        SetEnvironmentVariableA("TW_PROBE_LOG", nullptr);
        TestPaths::RemoveTree(root);
    }
    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        std::ifstream in(log.c_str());
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    bool Logged(const std::string& line) const
    {
        const std::vector<std::string> lines = LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::string root, plugins, log;
};

std::pair<std::string, std::string> Bad(const std::string& behaviour)
{
    return {"testplugins\\tw-badplugin.dll", "bad-" + behaviour + ".dll"};
}

// A window standing in for the main window, and a child for the options page.
class MainWindow {
public:
    MainWindow()
    {
        hwnd = CreateWindowA("STATIC", "Plugin host test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                             nullptr, nullptr);
        page = CreateWindowA("EDIT", "", WS_CHILD, 0, 0, 10, 10, hwnd, nullptr, nullptr, nullptr);
    }
    ~MainWindow() { DestroyWindow(hwnd); }
    HWND hwnd, page;
};

size_t IndexOf(const PluginHost& host, const std::string& name)
{
    const int index = host.FindPluginByName(name);
    REQUIRE(index >= 0);
    return static_cast<size_t>(index);
}

struct WindowSearch {
    const char* title;
    bool found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM context)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    char text[128] = {};
    GetWindowTextA(window, text, sizeof(text));
    if (std::string(text) == search->title) search->found = true;
    return TRUE;
}

bool ThreadHasWindow(const char* title)
{
    WindowSearch search = {title, false};
    EnumThreadWindows(GetCurrentThreadId(), &MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HasLine(const DebugCapture& capture, const std::string& start)
{
    for (const std::string& line : capture.Lines())
        if (line.compare(0, start.size(), start) == 0) return true;
    return false;
}

__attribute__((noinline)) uintptr_t StackPointer()
{
    uintptr_t sp;
#ifdef _WIN64
    __asm__ volatile("movq %%rsp, %0" : "=r"(sp));
#else
    __asm__ volatile("movl %%esp, %0" : "=r"(sp));
#endif
    return sp;
}

int __cdecl FakeCdecl(PluginInfo* record)
{
    return record ? 1 : -1;
}

int __stdcall FakeStdcall(PluginInfo* record)
{
    return record ? 2 : -2;
}

// What runs inside the ownerless message box of bad-msgbox.
struct BoxVisit {
    PluginHost* host;
    size_t probe;
    HWND main;
    bool visited;
    bool activeInside;
    PluginHost::Outcome nested;
    bool finalizedInside;
    const PluginFolder* folder;
};
BoxVisit* g_boxVisit = nullptr;

void CALLBACK VisitBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA(nullptr, "Bad msgbox");
    if (!box || !g_boxVisit || g_boxVisit->visited) return;
    KillTimer(nullptr, timer);
    BoxVisit& visit = *g_boxVisit;
    visit.visited = true;
    visit.activeInside = visit.host->IsCallActive();
    PluginRequest request;
    request.pids = {1};
    visit.nested = visit.host->ExecutePlugin(visit.probe, request, visit.main);
    visit.host->FinalizePlugins();
    visit.finalizedInside = visit.folder->Logged("probe1 Finalize");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_SUITE("plugin host")
{
    TEST_CASE("the SDK header lays the record out alike in C and C++")
    {
        unsigned c[18] = {};
        TwSdkLayoutC(c);
#ifdef _WIN64
        const unsigned expected[18] = {355, 0, 4, 8, 16, 24, 25, 33, 41, 45, 53, 61, 69, 77, 85, 93, 97, 99};
#else
        const unsigned expected[18] = {315, 0, 4, 8, 12, 16, 17, 21, 25, 29, 33, 37, 41, 45, 49, 53, 57, 59};
#endif
        const unsigned cpp[18] = {
            sizeof(PluginInfo),                offsetof(PluginInfo, dwVersion),  offsetof(PluginInfo, dwSize),
            offsetof(PluginInfo, pszName),     offsetof(PluginInfo, pszDescription), offsetof(PluginInfo, nKind),
            offsetof(PluginInfo, hwndMain),    offsetof(PluginInfo, hModule),    offsetof(PluginInfo, dwReserved),
            offsetof(PluginInfo, Initialize),  offsetof(PluginInfo, Finalize),   offsetof(PluginInfo, Configure),
            offsetof(PluginInfo, Execute),     offsetof(PluginInfo, About),      offsetof(PluginInfo, pData),
            offsetof(PluginInfo, nCount),      offsetof(PluginInfo, wLanguageId), offsetof(PluginInfo, abUnused)};
        for (int i = 0; i < 18; ++i) {
            CAPTURE(i);
            CHECK(c[i] == expected[i]);
            CHECK(cpp[i] == expected[i]);
        }
    }

    TEST_CASE("entry points of either calling convention leave the stack as it was")
    {
        PluginInfo record = {};
        const uintptr_t before = StackPointer();
        int sum = 0;
        for (int i = 0; i < 1000; ++i) {
            sum += StackRestoringCall::Call(reinterpret_cast<const void*>(&FakeCdecl), &record);
            sum += StackRestoringCall::Call(reinterpret_cast<const void*>(&FakeStdcall), &record);
        }
        CHECK(StackPointer() == before);
        CHECK(sum == 3000);

        int result = 0;
        for (int i = 0; i < 1000; ++i) {
            REQUIRE(PluginCall::Entry(reinterpret_cast<PFN_PLUGIN_ENTRY>(&FakeStdcall), &record, &result, "execution",
                                      __FILE__, __LINE__));
            CHECK(result == 2);
        }
        CHECK(StackPointer() == before);
    }

    TEST_CASE("plug-in texts are read within 259 characters and under the guard")
    {
        CHECK(PluginCall::Text(nullptr).empty());
        CHECK(PluginCall::Text(reinterpret_cast<const char*>(0x10)).empty());
        CHECK(PluginCall::Text("").empty());
        CHECK(PluginCall::Text("Checksums") == "Checksums");

        const SIZE_T page = 4096;
        char* memory = static_cast<char*>(VirtualAlloc(nullptr, 40 * page, MEM_COMMIT, PAGE_READWRITE));
        REQUIRE(memory);
        // 10^5 characters without a terminator: cut at 259.
        std::fill(memory, memory + 100000, 'n');
        CHECK(PluginCall::Text(memory) == std::string(259, 'n'));
        // Text running into memory that cannot be read: no name at all ...
        DWORD old = 0;
        REQUIRE(VirtualProtect(memory + 39 * page, page, PAGE_NOACCESS, &old));
        char* nearEnd = memory + 39 * page - 100;
        std::fill(nearEnd, nearEnd + 100, 'u');
        CHECK(PluginCall::Text(nearEnd).empty());
        // ... unless the 259 characters end before it.
        char* exact = memory + 39 * page - 259;
        std::fill(exact, exact + 259, 'x');
        CHECK(PluginCall::Text(exact) == std::string(259, 'x'));
        VirtualFree(memory, 0, MEM_RELEASE);
    }

    TEST_CASE("the loader's verdict for every kind of plug-in file")
    {
        PluginFolder folder({{"testplugins\\tw-probe1.dll", "tw-probe1.dll"},
                             {"testplugins\\tw-probe2.dll", "sub\\tw-probe2.dll"},
                             {"testplugins\\tw-noexport.dll", "tw-noexport.dll"},
                             {"Plugins\\Checksums.dll", "Checksums.dll"},
                             Bad("getinfo"), Bad("size"), Bad("version"), Bad("case1"), Bad("case2"),
                             Bad("nullname"), Bad("unmapped"), Bad("hugename"), Bad("readonly"), Bad("kind3"),
                             Bad("nullrecord"), Bad("dllmain"), Bad("stdcall")});
        TestPaths::WriteFile(folder.plugins + "\\notes.dll.txt", "not a library", 13);
        std::vector<PluginLoadResult> results = PluginLoader::LoadFolder(folder.plugins);
        std::map<std::string, PluginLoadResult> byName;
        for (const PluginLoadResult& result : results)
            byName[result.strPath.substr(folder.plugins.size() + 1)] = result;
        for (const PluginLoadResult& result : results)
            if (result.hModule) FreeLibrary(result.hModule);

        REQUIRE(results.size() == 18);
        CHECK(byName["tw-probe1.dll"].verdict == PluginVerdict::Accepted);
        CHECK(byName["tw-probe1.dll"].strName == "Probe Processes");
        CHECK(byName["sub\\tw-probe2.dll"].verdict == PluginVerdict::Accepted);
        CHECK(byName["sub\\tw-probe2.dll"].nKind == 2);
        CHECK(byName["checksums.dll"].verdict == PluginVerdict::Accepted);
        CHECK(byName["tw-noexport.dll"].verdict == PluginVerdict::NoExport);
        CHECK(byName["notes.dll.txt"].verdict == PluginVerdict::NotLoaded);
        CHECK(byName["bad-dllmain.dll"].verdict == PluginVerdict::NotLoaded);
        CHECK(byName["bad-getinfo.dll"].verdict == PluginVerdict::Fault);
        CHECK(byName["bad-readonly.dll"].verdict == PluginVerdict::Fault);
        CHECK(byName["bad-nullrecord.dll"].verdict == PluginVerdict::NullRecord);
        CHECK(byName["bad-size.dll"].verdict == PluginVerdict::BadSize);
        CHECK(byName["bad-version.dll"].verdict == PluginVerdict::BadVersion);
        CHECK(byName["bad-version.dll"].dwVersion == 0x00010003u);
        CHECK(byName["bad-kind3.dll"].verdict == PluginVerdict::UnknownKind);
        CHECK(byName["bad-stdcall.dll"].verdict == PluginVerdict::Accepted);
        CHECK(byName["bad-nullname.dll"].verdict == PluginVerdict::Accepted);
        CHECK(byName["bad-nullname.dll"].strName.empty());
        CHECK(byName["bad-unmapped.dll"].verdict == PluginVerdict::Accepted);
        CHECK(byName["bad-unmapped.dll"].strName.empty());
        CHECK(byName["bad-hugename.dll"].strName == std::string(259, 'H'));
        // Of two names that differ in case only, the first found stays.
        const bool firstIsOne = results.end() != std::find_if(results.begin(), results.end(), [](const PluginLoadResult& r) {
            return r.strName == "Case Twin" && r.verdict == PluginVerdict::Accepted;
        });
        const PluginLoadResult& one = byName["bad-case1.dll"];
        const PluginLoadResult& two = byName["bad-case2.dll"];
        CHECK(firstIsOne);
        CHECK(one.verdict == PluginVerdict::Accepted);
        CHECK(two.verdict == PluginVerdict::Duplicate);
        // Rejected libraries are gone again.
        CHECK(GetModuleHandleA((folder.plugins + "\\bad-size.dll").c_str()) == nullptr);
        CHECK(GetModuleHandleA((folder.plugins + "\\bad-kind3.dll").c_str()) == nullptr);
        CHECK(GetModuleHandleA((folder.plugins + "\\bad-nullrecord.dll").c_str()) == nullptr);
    }

    TEST_CASE("a host's life: load, initialise, menus, execute, options, finalise, unload")
    {
        PluginFolder folder({{"testplugins\\tw-probe1.dll", "tw-probe1.dll"},
                             {"testplugins\\tw-probe2.dll", "sub\\tw-probe2.dll"},
                             Bad("nullname"), Bad("unmapped"), Bad("hugename"), Bad("initialize"), Bad("finalize"),
                             Bad("kind3"), Bad("case1"), Bad("case2")});
        MainWindow main;
        DebugCapture capture;
        ClDebugString trace;
        trace.enable(true);
        PluginHost host;
        host.LoadPlugins(folder.plugins, &trace);
        CHECK(capture.Lines().front() == "Loading plugins...\n");
        REQUIRE(host.Count() == 8);

        capture.Clear();
        host.InitializePlugins(main.hwnd, 0x0407);
        CHECK(folder.Logged("probe1 Initialize lang=0x0407 main=yes"));
        CHECK(folder.Logged("probe2 Initialize lang=0x0407 main=yes"));
        REQUIRE(capture.Lines().size() == 1);
        CHECK(capture.Lines()[0].find("Exception caught during plugin initialization in \"") == 0);
        CHECK(capture.Lines()[0].find("PluginHost.cpp\" at line ") != std::string::npos);
        CHECK(FindWindowA("TwProbeWindow", "TwProbe probe1") != nullptr);

        // Menus: named plug-ins only; files-only in the module list.
        auto texts = [](HMENU menu) {
            std::vector<std::string> out;
            for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
                char text[400] = {};
                GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
                out.push_back(text);
            }
            return out;
        };
        HMENU processes = host.BuildPluginMenu(false);
        const std::vector<std::string> processTexts = texts(processes);
        CHECK(processTexts.size() == 6);
        for (const char* name : {"Probe Processes", "Probe Files", "Bad initialize", "Bad finalize", "Case Twin"})
            CHECK(std::find(processTexts.begin(), processTexts.end(), name) != processTexts.end());
        CHECK(std::find(processTexts.begin(), processTexts.end(), std::string(259, 'H')) != processTexts.end());
        for (int i = 0; i < GetMenuItemCount(processes); ++i) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_ID | MIIM_DATA;
            GetMenuItemInfoA(processes, static_cast<UINT>(i), TRUE, &info);
            CHECK(info.wID == 1003u + static_cast<UINT>(i));
            CHECK(host.IndexForCommand(static_cast<int>(info.wID), false) == static_cast<int>(info.dwItemData));
        }
        DestroyMenu(processes);
        HMENU modules = host.BuildPluginMenu(true);
        CHECK(texts(modules) == std::vector<std::string>{"Probe Files"});
        DestroyMenu(modules);
        CHECK(host.IndexForCommand(1003, true) == host.FindPluginByName("PROBE FILES"));

        const size_t probe1 = IndexOf(host, "probe processes");
        const size_t probe2 = IndexOf(host, "Probe Files");
        PluginRequest request;
        request.pids = {4, 0x8123ABCD};
        SetEnvironmentVariableA("TW_PROBE_RESULT", "1");
        CHECK(host.ExecutePlugin(probe1, request, main.hwnd) == PluginHost::Outcome::Refresh);
        CHECK(folder.Logged("probe1 Execute count=2"));
        CHECK(folder.Logged("probe1 pid 4 0x00000004"));
        CHECK(folder.Logged("probe1 pid 2166598605 0x8123ABCD"));
        SetEnvironmentVariableA("TW_PROBE_RESULT", "0");
        request.pids.clear();
        request.paths = {"C:\\A.EXE", "C:\\Windows\\system32\\kernel32.dll"};
        CHECK(host.ExecutePlugin(probe2, request, main.hwnd) == PluginHost::Outcome::Completed);
        CHECK(folder.Logged("probe2 path C:\\Windows\\system32\\kernel32.dll"));
        CHECK(host.ExecutePlugin(probe2, PluginRequest(), main.hwnd) == PluginHost::Outcome::NotRun);

        // Options page: listed with description and name; Configure gets the page, then the main window is back.
        bool listed = false;
        for (const PluginHost::OptionsEntry& entry : host.OptionsEntries()) {
            CHECK(entry.strText.find("[]") == std::string::npos);
            if (entry.strText == "Logs every call (test) [Probe Processes]") listed = entry.bConfigure && entry.bAbout;
        }
        CHECK(listed);
        CHECK(host.OptionsEntries().size() == 6);
        CHECK(host.Configure(probe1, main.page));
        CHECK(folder.Logged("probe1 Configure owner=Edit"));
        CHECK(host.WindowOf(probe1) == main.hwnd);
        CHECK(host.About(probe1));
        CHECK(folder.Logged("probe1 About owner=Static"));

        capture.Clear();
        host.FinalizePlugins();
        CHECK(folder.Logged("probe1 Finalize"));
        CHECK(folder.Logged("probe2 Finalize"));
        CHECK(HasLine(capture, "Exception caught during plugin finalization in \""));
        CHECK(FindWindowA("TwProbeWindow", nullptr) == nullptr);
        // A second window (after a language change) initialises the same records again.
        host.InitializePlugins(main.hwnd, 1033);
        CHECK(folder.Logged("probe1 Initialize lang=0x0409 main=yes"));
        host.UnloadPlugins();
        CHECK(host.Count() == 0);
        CHECK(folder.LogLines().back().find("Finalize") != std::string::npos);
        CHECK(GetModuleHandleA((folder.plugins + "\\tw-probe1.dll").c_str()) == nullptr);
    }

    TEST_CASE("a fault in an entry point is reported, and what the plug-in left open is closed")
    {
        PluginFolder folder({{"testplugins\\tw-probe1.dll", "tw-probe1.dll"}, Bad("execute"), Bad("msvc"),
                             Bad("dialog"), Bad("modeless"), Bad("msgbox"), Bad("configure"), Bad("about"),
                             Bad("stdcall")});
        MainWindow main;
        PluginHost host;
        host.LoadPlugins(folder.plugins, nullptr);
        REQUIRE(host.Count() == 9);
        host.InitializePlugins(main.hwnd, 1033);
        PluginRequest request;
        request.pids = {GetCurrentProcessId()};
        DebugCapture capture;

        for (const char* name : {"Bad execute", "Bad msvc", "Bad dialog", "Bad modeless"}) {
            CAPTURE(name);
            capture.Clear();
            CHECK(host.ExecutePlugin(IndexOf(host, name), request, main.hwnd) == PluginHost::Outcome::Faulted);
            REQUIRE(capture.Lines().size() == 1);
            CHECK(capture.Lines()[0].find("Exception caught during plugin execution in \"") == 0);
            CHECK_FALSE(host.IsCallActive());
            CHECK(IsWindowEnabled(main.hwnd));
        }
        CHECK_FALSE(ThreadHasWindow("Bad dialog"));
        CHECK_FALSE(ThreadHasWindow("Bad modeless"));

        // Options-page calls: the owner is restored even after a fault.
        capture.Clear();
        CHECK_FALSE(host.Configure(IndexOf(host, "Bad configure"), main.page));
        CHECK(host.WindowOf(IndexOf(host, "Bad configure")) == main.hwnd);
        CHECK(HasLine(capture, "Exception caught during plugin configuration in \""));
        CHECK_FALSE(host.About(IndexOf(host, "Bad about")));
        CHECK(HasLine(capture, "Exception caught during plugin about call in \""));

        // A plug-in built with stdcall: a thousand calls, the stack intact.
        const uintptr_t before = StackPointer();
        const size_t stdcall = IndexOf(host, "Bad stdcall");
        for (int i = 0; i < 1000; ++i)
            REQUIRE(host.ExecutePlugin(stdcall, request, main.hwnd) == PluginHost::Outcome::Completed);
        CHECK(StackPointer() == before);

        // An ownerless box keeps the main window usable: meanwhile no other
        // plug-in call starts and finalisation waits for the return.
        BoxVisit visit = {&host, IndexOf(host, "Probe Processes"), main.hwnd, false, false,
                          PluginHost::Outcome::Completed, true, &folder};
        g_boxVisit = &visit;
        SetTimer(nullptr, 0, 50, &VisitBox);
        capture.Clear();
        CHECK(host.ExecutePlugin(IndexOf(host, "Bad msgbox"), request, main.hwnd) == PluginHost::Outcome::Faulted);
        g_boxVisit = nullptr;
        CHECK(visit.visited);
        CHECK(visit.activeInside);
        CHECK(visit.nested == PluginHost::Outcome::Refused);
        CHECK_FALSE(visit.finalizedInside);
        CHECK(folder.Logged("probe1 Finalize"));
        CHECK_FALSE(folder.Logged("probe1 Execute count=1"));
        CHECK(HasLine(capture, "Exception caught during plugin execution in \""));
        CHECK_FALSE(host.IsInitialized());
        CHECK_FALSE(ThreadHasWindow("Bad msgbox"));
    }

    TEST_CASE("a plug-in that faulted is finalised once more, then left loaded and alone")
    {
        PluginFolder folder({{"testplugins\\tw-probe1.dll", "tw-probe1.dll"}, Bad("execfinal")});
        MainWindow main;
        DebugCapture capture;
        const std::string badPath = folder.plugins + "\\bad-execfinal.dll";
        {
            PluginHost host;
            host.LoadPlugins(folder.plugins, nullptr);
            REQUIRE(host.Count() == 2);
            const size_t bad = IndexOf(host, "Bad execfinal");
            typedef int(__cdecl * Calls)();
            const Calls calls = reinterpret_cast<Calls>(
                reinterpret_cast<void*>(GetProcAddress(host.ModuleOf(bad), "BadPluginCalls")));
            REQUIRE((calls != nullptr));
            host.InitializePlugins(main.hwnd, 1033);
            PluginRequest request;
            request.pids = {GetCurrentProcessId()};
            CHECK(host.ExecutePlugin(bad, request, main.hwnd) == PluginHost::Outcome::Faulted);
            CHECK(host.HasFaulted(bad));
            CHECK_FALSE(host.HasFaulted(IndexOf(host, "Probe Processes")));
            CHECK(calls() == 2);
            capture.Clear();
            host.FinalizePlugins();
            CHECK(calls() == 3);
            CHECK(HasLine(capture, "Exception caught during plugin finalization in \""));
            CHECK(host.IsRetired(bad));
            // The next window: it is neither initialised nor offered nor run.
            host.InitializePlugins(main.hwnd, 1033);
            CHECK(calls() == 3);
            HMENU menu = host.BuildPluginMenu(false);
            CHECK(GetMenuItemCount(menu) == 1);
            DestroyMenu(menu);
            CHECK(host.ExecutePlugin(bad, request, main.hwnd) == PluginHost::Outcome::NotRun);
            CHECK_FALSE(host.About(bad));
            CHECK(host.OptionsEntries().size() == 1);
            capture.Clear();
            host.UnloadPlugins();
            CHECK(calls() == 3);
            CHECK(HasLine(capture, "Plugin left loaded after a fault"));
        }
        // Its code is still mapped and runs; the plug-in that did not fault is gone.
        HMODULE left = GetModuleHandleA(badPath.c_str());
        REQUIRE(left);
        typedef int(__cdecl * Calls)();
        const Calls calls = reinterpret_cast<Calls>(reinterpret_cast<void*>(GetProcAddress(left, "BadPluginCalls")));
        REQUIRE((calls != nullptr));
        CHECK(calls() == 3);
        CHECK(GetModuleHandleA((folder.plugins + "\\tw-probe1.dll").c_str()) == nullptr);
    }

    TEST_CASE("a plug-in whose name turns unreadable after the menu was built: its item still runs it")
    {
        PluginFolder folder({Bad("fading"), {"testplugins\\tw-probe1.dll", "tw-probe1.dll"},
                             {"testplugins\\tw-probe2.dll", "tw-probe2.dll"}});
        MainWindow main;
        PluginHost host;
        host.LoadPlugins(folder.plugins, nullptr);
        REQUIRE(host.Count() == 3);
        host.InitializePlugins(main.hwnd, 1033);
        const size_t fading = IndexOf(host, "Bad fading");
        const size_t probe1 = IndexOf(host, "Probe Processes");
        HMENU menu = host.BuildPluginMenu(false);
        REQUIRE(GetMenuItemCount(menu) == 3);
        std::map<std::string, int> ids;
        for (int i = 0; i < 3; ++i) {
            char text[100] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            ids[text] = static_cast<int>(GetMenuItemID(menu, i));
        }
        DestroyMenu(menu);
        REQUIRE(ids.count("Bad fading") == 1);
        typedef void(__cdecl * Hide)();
        const Hide hide = reinterpret_cast<Hide>(
            reinterpret_cast<void*>(GetProcAddress(host.ModuleOf(fading), "BadPluginHideName")));
        REQUIRE((hide != nullptr));
        hide();
        CHECK(host.NameOf(fading).empty());

        // The click on the item built before: the same plug-in, the others unchanged.
        CHECK(host.IndexForCommand(ids["Bad fading"], false) == static_cast<int>(fading));
        CHECK(host.IndexForCommand(ids["Probe Processes"], false) == static_cast<int>(probe1));
        CHECK(host.IndexForCommand(ids["Probe Files"], false) == host.FindPluginByName("Probe Files"));
        PluginRequest request;
        request.pids = {GetCurrentProcessId()};
        CHECK(host.ExecutePlugin(static_cast<size_t>(host.IndexForCommand(ids["Bad fading"], false)), request,
                                 main.hwnd) == PluginHost::Outcome::Completed);
        CHECK(folder.LogLines().back().rfind("Bad fading execute window=", 0) == 0);
        CHECK_FALSE(folder.Logged("probe1 Execute count=1"));
        // The module list's ids are their own: its menu was never built.
        CHECK(host.IndexForCommand(1003, true) == host.FindPluginByName("Probe Files"));

        // A menu built now leaves the nameless plug-in out, and its ids follow it.
        menu = host.BuildPluginMenu(false);
        CHECK(GetMenuItemCount(menu) == 2);
        DestroyMenu(menu);
        CHECK(host.IndexForCommand(1003, false) != static_cast<int>(fading));
        CHECK(host.IndexForCommand(1005, false) == -1);
        host.FinalizePlugins();
    }
}

TEST_SUITE("plugin host")
{
    TEST_CASE("tarnwick-cli plugins, languages and helpfile")
    {
        PluginFolder folder({{"testplugins\\tw-probe2.dll", "sub\\tw-probe2.dll"}, Bad("size"), Bad("kind3"),
                             Bad("case1"), Bad("case2"), Bad("nullrecord"), Bad("getinfo")});
        SetEnvironmentVariableA("TW_PROBE_LOG", nullptr);
        std::string output;
        DWORD exitCode = 99;
        REQUIRE(RunAndCapture(ConsoleTool() + " plugins \"" + folder.plugins + "\"", output, exitCode));
        CHECK(exitCode == 0);
        std::string escaped;
        for (char c : folder.plugins) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        for (const std::string line :
             {"Path\tResult\tKind\tVersion\tName\n", "\\\\bad-size.dll\tbad-size\t1\t0x00010002\tBad size\n",
              "\\\\bad-kind3.dll\tunknown-kind\t3\t0x00010002\tBad kind3\n",
              "\\\\bad-case1.dll\taccepted\t1\t0x00010002\tCase Twin\n",
              "\\\\bad-case2.dll\tduplicate\t1\t0x00010002\tCASE TWIN\n", "\\\\bad-nullrecord.dll\tnull-record\t\t\t\n",
              "\\\\bad-getinfo.dll\tfault\t\t\t\n", "\\\\sub\\\\tw-probe2.dll\taccepted\t2\t0x00010002\tProbe Files\n"}) {
            CAPTURE(line);
            CHECK(output.find(line) != std::string::npos);
        }
        CHECK(output.find(escaped + "\\\\bad-size.dll") != std::string::npos);
        // The loader only: no entry point ran (the probe logs nothing).
        CHECK(folder.LogLines().empty());

        REQUIRE(RunAndCapture(ConsoleTool() + " plugins", output, exitCode));
        CHECK(output.find("\\\\Plugins\\\\checksums.dll\taccepted\t2\t0x00010002\tChecksums\n") != std::string::npos);
        CHECK(output.find("\\\\Plugins\\\\setpriority.dll\taccepted\t1\t0x00010002\tSet Priority\n") != std::string::npos);

        REQUIRE(RunAndCapture(ConsoleTool() + " languages", output, exitCode));
        CHECK(exitCode == 0);
        CHECK(output == "File\tLanguage\tNativeName\tStatus\nGerman_tarnwick.lang\t0x0407\tDeutsch\tlisted\n");

        REQUIRE(RunAndCapture(ConsoleTool() + " helpfile 0x0407", output, exitCode));
        CHECK(exitCode == 0);
        CHECK(output == TestPaths::BinFolder() + "Doc\\de_tarnwick.htm\n");
        REQUIRE(RunAndCapture(ConsoleTool() + " helpfile 1036", output, exitCode));
        CHECK(output == TestPaths::BinFolder() + "Doc\\en_tarnwick.htm\n");
        REQUIRE(RunAndCapture(ConsoleTool() + " helpfile 0x10000", output, exitCode));
        CHECK(exitCode == 2);
    }
}

#include "sysutils/Crc32.h"
#include "sysutils/Md5.h"

namespace {

// What the sample plug-ins' windows showed; answered by a timer while they run.
struct SampleVisit {
    bool bHigh = true;
    std::string strTitle;
    std::string strPrompt;
    std::string strReport;
    std::string strFailures;
    int nWindows = 0;
};
SampleVisit* g_sampleVisit = nullptr;

BOOL CALLBACK AnswerSample(HWND window, LPARAM)
{
    if (!IsWindowVisible(window) || !g_sampleVisit) return TRUE;
    SampleVisit& visit = *g_sampleVisit;
    char text[4096] = {};
    if (GetDlgItem(window, 1004) && GetDlgItem(window, 1002)) { // SetPriority's radio buttons
        GetWindowTextA(window, text, sizeof(text));
        visit.strTitle = text;
        GetDlgItemTextA(window, 1001, text, sizeof(text));
        visit.strPrompt = text;
        CheckRadioButton(window, 1002, 1004, visit.bHigh ? 1004 : 1003);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        ++visit.nWindows;
        return FALSE;
    }
    if (GetDlgItem(window, 1001) && GetDlgItem(window, 1002)) { // Checksums' report
        GetWindowTextA(window, text, sizeof(text));
        visit.strTitle = text;
        GetDlgItemTextA(window, 1001, text, sizeof(text));
        visit.strReport = text;
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        ++visit.nWindows;
        return FALSE;
    }
    if (GetDlgItem(window, 0xFFFF)) { // a message box
        GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
        visit.strFailures = text;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        ++visit.nWindows;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK VisitSample(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), &AnswerSample, 0);
}

std::string Hex(const unsigned char* bytes, size_t count)
{
    std::string text;
    char digits[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof(digits), "%02x", bytes[i]);
        text += digits;
    }
    return text;
}

} // namespace

TEST_SUITE("plugin host")
{
    TEST_CASE("the sample plug-ins: Set Priority and Checksums")
    {
        MainWindow main;
        PluginHost host;
        host.LoadPlugins(TestPaths::BinFolder() + "Plugins", nullptr);
        REQUIRE(host.Count() == 2);
        host.InitializePlugins(main.hwnd, 1033);
        const size_t setPriority = IndexOf(host, "Set Priority");
        const size_t checksums = IndexOf(host, "Checksums");
        CHECK(host.KindOf(setPriority) == 1);
        CHECK(host.KindOf(checksums) == 2);

        HelperProcess helper;
        REQUIRE(helper.Start(""));
        SampleVisit visit;
        g_sampleVisit = &visit;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, &VisitSample);
        PluginRequest request;
        request.pids = {helper.Pid(), 0xFFFFFFF0u};
        CHECK(host.ExecutePlugin(setPriority, request, main.hwnd) == PluginHost::Outcome::Refresh);
        CHECK(visit.strTitle == "Set Priority");
        CHECK(visit.strPrompt == "Priority class for the 2 selected processes:");
        CHECK(visit.strFailures.find("The priority class could not be set:") == 0);
        CHECK(visit.strFailures.find("Process 4294967280: error ") != std::string::npos);
        CHECK(visit.strFailures.find("Process " + std::to_string(helper.Pid())) == std::string::npos);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, helper.Pid());
        REQUIRE(process);
        CHECK(GetPriorityClass(process) == HIGH_PRIORITY_CLASS);
        CloseHandle(process);

        // Checksums: size, CRC-32 and MD5 of each file; a missing one says why.
        const std::string file = TestPaths::BinFolder() + "OrvoGdiUtils.dll";
        std::ifstream in(file.c_str(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        REQUIRE(!bytes.empty());
        Md5 md5;
        md5.Update(bytes.data(), bytes.size());
        unsigned char digest[16];
        md5.Final(digest);
        char crc[16];
        std::snprintf(crc, sizeof(crc), "%08lx",
                      static_cast<unsigned long>(Crc32Checksum::Compute(bytes.data(), bytes.size())));

        visit = SampleVisit();
        request = PluginRequest();
        request.paths = {file, "C:\\no\\such\\file.dll"};
        CHECK(host.ExecutePlugin(checksums, request, main.hwnd) == PluginHost::Outcome::Completed);
        CHECK(visit.strTitle == "Checksums");
        CHECK(visit.strReport.find(file + "\r\n") == 0);
        CHECK(visit.strReport.find("  MD5:    " + Hex(digest, 16) + "\r\n") != std::string::npos);
        CHECK(visit.strReport.find(std::string("  CRC-32: ") + crc + "\r\n") != std::string::npos);
        CHECK(visit.strReport.find("C:\\no\\such\\file.dll\r\n  Error 3: ") != std::string::npos);
        KillTimer(nullptr, timer);
        g_sampleVisit = nullptr;

        // In German the menu speaks German.
        host.FinalizePlugins();
        host.InitializePlugins(main.hwnd, 0x0407);
        CHECK(host.NameOf(setPriority) == "Priorit\xE4t setzen");
        CHECK(host.NameOf(checksums) == "Pr\xFC" "fsummen");
    }
}
