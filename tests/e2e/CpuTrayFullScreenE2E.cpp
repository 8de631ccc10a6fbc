// The CPU graph, the folder watches, the tray icon and full-screen mode of
// the real program, from outside.
#include "tests/e2e/E2eTest.h"

#include <shellapi.h>

#include <cstring>
#include <memory>

namespace {

const char kClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";
const char kSwitches[] = "--nosplash --priority-normal";

// Offsets in the settings record.
const size_t kPlacement = 12;         // WINDOWPLACEMENT, 44 bytes
const size_t kShowCmd = 12 + 8;
const size_t kNormalRect = 12 + 28;   // left, top, right, bottom
const size_t kFullScreen = 750;
const size_t kHideWhenMinimized = 762;
const size_t kCpuText = 766;
const size_t kCpuBackground = 770;
const size_t kCpuGraph = 774;

uint32_t Get32(const std::vector<unsigned char>& bytes, size_t offset)
{
    uint32_t value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, &bytes[offset], 4);
    return value;
}

void Put32(std::vector<unsigned char>& bytes, size_t offset, uint32_t value)
{
    std::memcpy(&bytes[offset], &value, 4);
}

// The record the program writes with its defaults (read once per run).
std::vector<unsigned char> DefaultSettings()
{
    static std::vector<unsigned char> defaults;
    if (!defaults.empty()) return defaults;
    Program::RemoveSettings();
    Program app;
    REQUIRE(app.Start(kSwitches));
    REQUIRE(app.WaitForWindow(kClass, kTitle));
    REQUIRE(app.Close());
    defaults = Program::ReadSettings();
    REQUIRE(defaults.size() == 778);
    return defaults;
}

// Settings with the main window at a known place.
std::vector<unsigned char> PlacedSettings()
{
    std::vector<unsigned char> bytes = DefaultSettings();
    Put32(bytes, kShowCmd, SW_SHOWNORMAL);
    Put32(bytes, kNormalRect, 60);
    Put32(bytes, kNormalRect + 4, 50);
    Put32(bytes, kNormalRect + 8, 760);
    Put32(bytes, kNormalRect + 12, 550);
    Put32(bytes, kFullScreen, 0);
    return bytes;
}

// Asks the shell about the program's icon: NIM_MODIFY without changes
// succeeds only while the icon is there.
bool TrayIconThere(const Window& main)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = 88;
    data.hWnd = main.Handle();
    data.uID = 101;
    data.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool DeleteTrayIcon(const Window& main)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = 88;
    data.hWnd = main.Handle();
    data.uID = 101;
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

// Wine's taskbar button of a window: a child of Shell_TrayWnd whose id is the window handle.
Window TaskbarButton(const Window& main)
{
    for (const Window& child : Desktop::Tray().Children())
        if (static_cast<UINT>(child.Id()) == static_cast<UINT>(reinterpret_cast<UINT_PTR>(main.Handle())))
            return child;
    return Window();
}

bool ShownNormally(const Window& main)
{
    return IsWindowVisible(main.Handle()) && !main.IsMinimized();
}

bool ClientCoversDesktop(const Window& main)
{
    const RECT client = main.ClientRectOnScreen();
    const SIZE desktop = Desktop::Size();
    return client.left == 0 && client.top == 0 && client.right == desktop.cx && client.bottom == desktop.cy;
}

// Nothing covers the middle of the window.
bool OnTop(const Window& window)
{
    const RECT rect = window.Rect();
    const POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return Window(WindowFromPoint(middle)).TopLevel() == window;
}

// On the screen the window's rectangle shows its own face, not what lies below.
bool ShowsItself(const Window& window)
{
    const ScreenImage image = ScreenImage::CaptureWindow(window);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return !image.Empty() && image.Count(face, 8) > image.Width() * image.Height() / 3;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// Threads that keep every processor busy while they live.
class Burners {
public:
    Burners() : stop(0)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        for (DWORD i = 0; i < info.dwNumberOfProcessors; ++i)
            threads.push_back(CreateThread(nullptr, 0, Spin, this, 0, nullptr));
    }
    ~Burners()
    {
        InterlockedExchange(&stop, 1);
        for (HANDLE thread : threads) {
            WaitForSingleObject(thread, 5000);
            CloseHandle(thread);
        }
    }

private:
    static DWORD WINAPI Spin(LPVOID parameter)
    {
        Burners* self = static_cast<Burners*>(parameter);
        volatile unsigned long counter = 0;
        while (!InterlockedCompareExchange(&self->stop, 0, 0)) ++counter;
        return 0;
    }
    volatile LONG stop;
    std::vector<HANDLE> threads;
};

// The 9x statistic as Windows 98 has it (Wine has none), removed at the end.
class FakePerfStats {
public:
    explicit FakePerfStats(DWORD usage)
    {
        for (const char* name : {"PerfStats\\StartStat", "PerfStats\\StatData", "PerfStats\\StopStat"}) {
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_DYN_DATA, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
                ERROR_SUCCESS)
                continue;
            RegSetValueExA(key, "KERNEL\\CPUUsage", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&usage),
                           sizeof(usage));
            RegCloseKey(key);
        }
    }
    ~FakePerfStats()
    {
        for (const char* name : {"PerfStats\\StartStat", "PerfStats\\StatData", "PerfStats\\StopStat", "PerfStats"})
            RegDeleteKeyA(HKEY_DYN_DATA, name);
    }
};

} // namespace

TEST_SUITE("cpu tray fullscreen") {

TEST_CASE("background threads: a rename in Plugins is reported under a debugger; closing ends every thread itself")
{
    const std::string plugins = E2ePaths::ProgramFolder() + "Plugins";
    CreateDirectoryA(plugins.c_str(), nullptr);
    CreateDirectoryA((E2ePaths::ProgramFolder() + "SearchPlugins").c_str(), nullptr);
    const std::string before = plugins + "\\old.dll";
    const std::string after = plugins + "\\new.dll";
    DeleteFileA(after.c_str());
    HANDLE file = CreateFileA(before.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);

    Program::WriteSettings(DefaultSettings());
    Program app;
    REQUIRE(app.StartDebugged(kSwitches));
    const Window main = app.WaitForWindow(kClass, kTitle);
    REQUIRE(main);
    Wait::Pause(500);
    const size_t mark = app.DebugMark();
    REQUIRE(MoveFileA(before.c_str(), after.c_str()));
    CHECK(app.WaitForDebugLine("Received change notification for '", 2000, mark));
    Wait::Pause(300);
    int changeLines = 0;
    for (const std::string& line : app.DebugLines(mark)) {
        CAPTURE(line);
        if (line.find("WatchThread(") == std::string::npos) continue;
        CHECK(line.find("): Received change notification for '") != std::string::npos);
        CHECK(line.find("\\Plugins'!\n") != std::string::npos);
        ++changeLines;
    }
    CHECK(changeLines >= 1);

    const DWORD start = GetTickCount();
    CHECK(app.Close(3000));
    CHECK(GetTickCount() - start < 3000);
    CHECK(app.ExitCode() == 0);
    int terminating = 0;
    for (const std::string& line : app.DebugLines(mark))
        if (line.find("Terminating watch on '") != std::string::npos) ++terminating;
    CHECK(terminating == 2);
    REQUIRE(app.Debugger());
    const std::vector<DWORD> codes = app.Debugger()->ThreadExitCodes();
    CHECK(!codes.empty());
    for (DWORD code : codes) {
        CAPTURE(code);
        CHECK(code != 0xFFFFFFFF);
    }
    DeleteFileA(after.c_str());
}

TEST_CASE("CPU graph: the settings' colours, and the load drawn as it comes")
{
    std::vector<unsigned char> settings = DefaultSettings();
    Put32(settings, kCpuBackground, RGB(255, 255, 255));
    Put32(settings, kCpuGraph, RGB(255, 0, 0));
    Put32(settings, kCpuText, RGB(0, 0, 255));
    REQUIRE(Program::WriteSettings(settings));

    // 100 on the 9x family (the statistic as Windows 98 reports it), every processor busy on NT.
    std::unique_ptr<FakePerfStats> statistic(E2ePaths::IsNineX() ? new FakePerfStats(100) : nullptr);
    Burners burners;
    Program app;
    REQUIRE(app.Start(kSwitches));
    const Window main = app.WaitForWindow(kClass, kTitle);
    REQUIRE(main);
    const Window graph = main.Child(305).Child(307);
    REQUIRE(graph);
    CHECK(graph.ClassName() == "ClCPUGraph");
    Wait::Pause(3500);
    const ScreenImage image = ScreenImage::CaptureWindow(graph);
    Screenshot::SaveDesktop("graph");
    Screenshot::Save(image, "graph-crop");
    REQUIRE(!image.Empty());
    CHECK(image.Count(RGB(255, 255, 255)) > image.Width() * image.Height() / 2);
    CHECK(image.Contains(RGB(0, 0, 255)));
    CHECK(image.Contains(RGB(255, 0, 0)));
    // The newest samples are high: red in the top fifth (the top row for 100).
    const ScreenImage top = image.Crop(RECT{0, 0, image.Width(), E2ePaths::IsNineX() ? 1 : image.Height() / 5 + 1});
    CHECK(top.Contains(RGB(255, 0, 0)));
    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);
}

TEST_CASE("tray icon: minimising hides the window, the icon's buttons toggle it, the icon survives a shell restart")
{
    const UINT callback = RegisterWindowMessageA("Tarnwick_TaskBarNotificationMessage");
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    std::vector<unsigned char> settings = DefaultSettings();
    Put32(settings, kHideWhenMinimized, 1);
    REQUIRE(Program::WriteSettings(settings));
    Program app;
    REQUIRE(app.Start(kSwitches));
    const Window main = app.WaitForWindow(kClass, kTitle);
    REQUIRE(main);
    CHECK(Wait::Until([&] { return TrayIconThere(main); }, 3000));
    CHECK(Wait::Until([&] { return TaskbarButton(main) && TaskbarButton(main).IsVisible(); }, 3000));

    main.Post(WM_SYSCOMMAND, SC_MINIMIZE);
    CHECK(Wait::Until([&] { return !IsWindowVisible(main.Handle()); }, 3000));
    CHECK_FALSE(main.IsMinimized());
    CHECK(Wait::Until([&] { return !TaskbarButton(main) || !TaskbarButton(main).IsVisible(); }, 3000));
    Screenshot::SaveDesktop("tray-hidden");

    struct Step {
        UINT event;
        bool visibleAfter;
    };
    for (const Step& step : {Step{WM_MOUSEMOVE, false}, Step{WM_LBUTTONDOWN, false}, Step{WM_LBUTTONUP, true},
                             Step{WM_MOUSEMOVE, true}, Step{WM_RBUTTONUP, false}, Step{WM_MBUTTONUP, true}}) {
        CAPTURE(step.event);
        main.Post(callback, 101, step.event);
        if (step.visibleAfter == (IsWindowVisible(main.Handle()) != FALSE)) {
            Wait::Pause(300);
            CHECK((IsWindowVisible(main.Handle()) != FALSE) == step.visibleAfter);
        } else {
            CHECK(Wait::Until([&] { return (IsWindowVisible(main.Handle()) != FALSE) == step.visibleAfter; }, 3000));
        }
    }
    CHECK(ShownNormally(main));

    // One real click on the icon at the taskbar's right end.
    main.Post(WM_SYSCOMMAND, SC_MINIMIZE);
    CHECK(Wait::Until([&] { return !IsWindowVisible(main.Handle()); }, 3000));
    const Window tray = Desktop::Tray();
    REQUIRE(tray);
    const RECT trayClient = tray.ClientRect();
    CHECK(Input::Click(tray, POINT{trayClient.right - 10, trayClient.bottom / 2}));
    CHECK(Wait::Until([&] { return ShownNormally(main); }, 3000));
    CHECK(Wait::Until([&] { return Desktop::Foreground().TopLevel() == main; }, 3000));
    Screenshot::SaveDesktop("tray-shown");

    // The shell forgets the icon and announces its restart: the icon comes back.
    CHECK(DeleteTrayIcon(main));
    CHECK_FALSE(TrayIconThere(main));
    main.Post(taskbarCreated);
    CHECK(Wait::Until([&] { return TrayIconThere(main); }, 3000));
    main.Post(WM_SYSCOMMAND, SC_MINIMIZE);
    CHECK(Wait::Until([&] { return !IsWindowVisible(main.Handle()); }, 3000));
    main.Post(callback, 101, WM_LBUTTONUP);
    CHECK(Wait::Until([&] { return ShownNormally(main); }, 3000));

    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);
    CHECK_FALSE(TrayIconThere(main));
    CHECK(Get32(Program::ReadSettings(), kHideWhenMinimized) == 1);

    // Option off: no icon, minimising minimises.
    Put32(settings, kHideWhenMinimized, 0);
    REQUIRE(Program::WriteSettings(settings));
    Program plain;
    REQUIRE(plain.Start(kSwitches));
    const Window second = plain.WaitForWindow(kClass, kTitle);
    REQUIRE(second);
    Wait::Pause(300);
    CHECK_FALSE(TrayIconThere(second));
    second.Post(WM_SYSCOMMAND, SC_MINIMIZE);
    CHECK(Wait::Until([&] { return second.IsMinimized(); }, 3000));
    CHECK(IsWindowVisible(second.Handle()));
    Screenshot::SaveDesktop("tray-off-minimised");
    CHECK(plain.Close());
}

TEST_CASE("full screen: the desktop for the client, bars hidden, the floating window; kept over a restart")
{
    REQUIRE(Program::WriteSettings(PlacedSettings()));
    Program app;
    REQUIRE(app.Start(kSwitches));
    const Window main = app.WaitForWindow(kClass, kTitle);
    REQUIRE(main);
    Wait::Pause(300);
    const WINDOWPLACEMENT before = main.Placement();
    CHECK(RectText(before.rcNormalPosition) == "60,50,760,550");
    const RECT windowBefore = main.Rect();
    CHECK(main.Child(300).IsVisible());
    CHECK(main.Child(305).IsVisible());
    const SIZE desktop = Desktop::Size();

    // Esc in the tree while the mode is off: nothing.
    REQUIRE(Input::Focus(main.Child(302)));
    REQUIRE(Input::Keys("Esc"));
    Wait::Pause(300);
    CHECK(SameRect(main.Rect(), windowBefore));

    main.PostCommand(40053);
    CHECK(Wait::Until([&] { return ClientCoversDesktop(main); }, 3000));
    CHECK_FALSE(main.Child(300).IsVisible());
    CHECK_FALSE(main.Child(305).IsVisible());
    const Window floating = Desktop::WaitFor(WindowQuery("", "Full Screen", app.Pid()), 3000);
    REQUIRE(floating);
    CHECK(floating.Owner() == main);
    CHECK(floating.Rect().left == 10);
    CHECK(floating.Rect().bottom == desktop.cy - 10);
    CHECK(floating.Child(2).Text() == "&Close");
    CHECK(OnTop(floating));
    CHECK(Wait::Until([&] { return ShowsItself(floating); }, 3000));
    Screenshot::SaveDesktop("fullscreen-on");

    // Close in the floating window: placement and bars as before.
    floating.Child(2).Click();
    CHECK(Wait::Until([&] { return SameRect(main.Rect(), windowBefore); }, 3000));
    CHECK(SameRect(main.Placement().rcNormalPosition, before.rcNormalPosition));
    CHECK(main.Child(300).IsVisible());
    CHECK(main.Child(305).IsVisible());
    CHECK(Wait::Until([&] { return !floating.IsVisible(); }, 3000));
    Screenshot::SaveDesktop("fullscreen-off");

    // Ctrl+F and Esc in the tree.
    REQUIRE(Input::Focus(main.Child(302)));
    REQUIRE(Input::Keys("Ctrl+F"));
    CHECK(Wait::Until([&] { return ClientCoversDesktop(main); }, 3000));
    REQUIRE(Input::Focus(main.Child(302)));
    REQUIRE(Input::Keys("Esc"));
    CHECK(Wait::Until([&] { return SameRect(main.Rect(), windowBefore); }, 3000));

    // Quit while on: the settings keep the mode and the placement from before it.
    main.PostCommand(40053);
    CHECK(Wait::Until([&] { return ClientCoversDesktop(main); }, 3000));
    main.PostCommand(40039);
    CHECK(app.WaitExit(5000));
    CHECK(app.ExitCode() == 0);
    const std::vector<unsigned char> saved = Program::ReadSettings();
    REQUIRE(saved.size() == 778);
    CHECK(Get32(saved, kFullScreen) == 1);
    WINDOWPLACEMENT stored = {};
    std::memcpy(&stored, &saved[kPlacement], sizeof(stored));
    CHECK(stored.showCmd == SW_SHOWNORMAL);
    CHECK(RectText(stored.rcNormalPosition) == RectText(before.rcNormalPosition));
    CHECK(std::memcmp(&stored, &before, sizeof(stored)) == 0);

    // The next start is full screen again, and leaves it for the old place.
    Program again;
    REQUIRE(again.Start(kSwitches));
    const Window restarted = again.WaitForWindow(kClass, kTitle);
    REQUIRE(restarted);
    CHECK(Wait::Until([&] { return ClientCoversDesktop(restarted); }, 5000));
    const Window floatingAgain = Desktop::WaitFor(WindowQuery("", "Full Screen", again.Pid()), 3000);
    REQUIRE(floatingAgain);
    CHECK(Wait::Until([&] { return OnTop(floatingAgain); }, 3000));
    CHECK(Wait::Until([&] { return ShowsItself(floatingAgain); }, 3000));
    Screenshot::SaveDesktop("fullscreen-restart");
    floatingAgain.Child(2).Click();
    CHECK(Wait::Until([&] { return SameRect(restarted.Placement().rcNormalPosition, before.rcNormalPosition) &&
                                   !ClientCoversDesktop(restarted); },
                      3000));
    CHECK(again.Close());
    CHECK(Get32(Program::ReadSettings(), kFullScreen) == 0);
}

} // TEST_SUITE
