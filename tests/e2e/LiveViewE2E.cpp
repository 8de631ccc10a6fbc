// The live view as a user meets it: View > Update Speed, the CPU and memory
// columns of helpers that spin or hold memory, processes that start and end
// while the window updates, the selection and scroll position over ticks,
// what persists, and the console tool's figures over an interval.
#include "tests/e2e/ConsoleTool.h"
#include "tests/e2e/E2eTest.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const char kFrameClass[] = "TarnwickMainFrameWndClass";
const char kTitle[] = "Tarnwick 2.6";
const char kQuiet[] = "--nosplash --priority-normal";
const int kUpdate1s = 40121;
const int kUpdate2s = 40122;
const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kRed = RGB(255, 0, 0);

std::string PidText(DWORD pid)
{
    char text[32];
    snprintf(text, sizeof(text), E2ePaths::IsNineX() ? "0x%08lX" : "%lu", static_cast<unsigned long>(pid));
    return text;
}

struct Live {
    explicit Live(const Window& frame) : frame(frame) {}
    Window frame;
    Window Tree() const { return frame.Child(302); }
    Window List() const { return frame.Child(304); }
    RemoteListView ListView() const { return RemoteListView(List()); }
    int Row(DWORD pid) const { return ListView().FindRow(PidText(pid), 1); }
    // The column of a header text, -1 when the list does not show it.
    int Column(const std::string& header) const
    {
        for (const HeaderItem& item : RemoteHeader(ListView().Header()).Items())
            if (item.text == header) return item.index;
        return -1;
    }
    std::string Cell(DWORD pid, const std::string& header) const
    {
        const int row = Row(pid), column = Column(header);
        return row < 0 || column < 0 ? std::string() : ListView().Text(row, column);
    }
    // "12.5" as 125; -1 when empty.
    int CpuTenths(DWORD pid) const
    {
        const std::string text = Cell(pid, "CPU");
        if (text.empty()) return -1;
        return static_cast<int>(std::strtod(text.c_str(), nullptr) * 10 + 0.5);
    }
    // "65,600 K" as 65600.
    unsigned long Kilobytes(DWORD pid, const std::string& header) const
    {
        std::string digits;
        for (char c : Cell(pid, header))
            if (c >= '0' && c <= '9') digits += c;
        return std::strtoul(digits.c_str(), nullptr, 10);
    }
    // Pixels of a colour in the process's row, as far as it is on the screen.
    int RowPixels(DWORD pid, COLORREF color) const
    {
        RECT rect;
        const int row = Row(pid);
        if (row < 0 || !ListView().ItemRect(row, rect, LVIR_BOUNDS)) return -1;
        const RECT client = List().ClientRectOnScreen();
        OffsetRect(&rect, client.left, client.top);
        IntersectRect(&rect, &rect, &client);
        return ScreenImage::Capture(rect).Count(color);
    }
    int TreeCount(const std::string& name) const
    {
        int count = 0;
        for (const TreeItem& item : RemoteTreeView(Tree()).Items()) count += item.text == name;
        return count;
    }
    int TopIndex() const { return static_cast<int>(List().Send(LVM_GETTOPINDEX)); }
    std::vector<std::string> SelectedPids() const
    {
        std::vector<std::string> pids;
        for (int row : ListView().Selected()) pids.push_back(ListView().Text(row, 1));
        return pids;
    }
};

Window StartMain(Program& app)
{
    if (!app.Start(kQuiet)) return Window();
    return app.WaitForWindow(kFrameClass, kTitle, 15000);
}

bool ShowProcesses(const Live& live)
{
    return Wait::Until([&] { return live.ListView().Count() > 3 && live.Column("PID") == 1; }, 10000);
}

std::vector<unsigned char> ReadFileBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    unsigned char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) bytes.insert(bytes.end(), buffer, buffer + got);
    CloseHandle(file);
    return bytes;
}

std::string LivePath()
{
    return E2ePaths::ProgramFolder() + "\\Tarnwick.live";
}

// The JSON object of one record of the console tool's output that has this pid.
std::string JsonRecord(const std::string& json, DWORD pid)
{
    const std::string key = "\"pid\":" + std::to_string(pid) + ",";
    const size_t at = json.find(key);
    if (at == std::string::npos) return std::string();
    const size_t start = json.rfind('{', at);
    const size_t end = json.find('}', at);
    return json.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
}

std::string JsonValue(const std::string& record, const std::string& field)
{
    const std::string key = "\"" + field + "\":";
    const size_t at = record.find(key);
    if (at == std::string::npos) return std::string();
    const size_t from = at + key.size();
    const size_t end = record.find_first_of(",}", from);
    return record.substr(from, end - from);
}

} // namespace

TEST_SUITE("live view") {

TEST_CASE("live view: CPU and Private Bytes of helpers; started and ended processes in their colours")
{
    Program::RemoveSettings();
    DeleteFileA(LivePath().c_str());
    HelperProgram spinning, idle, holding;
    REQUIRE(spinning.Start("spin"));
    REQUIRE(idle.Start());
    REQUIRE(holding.Start("commit 64"));

    Program app;
    Live live(StartMain(app));
    REQUIRE(live.frame);
    REQUIRE(ShowProcesses(live));
    const bool nineX = E2ePaths::IsNineX();
    // CPU and Private Bytes by default on the NT family, none of the four on the 9x family.
    CHECK((live.Column("CPU") >= 0) == !nineX);
    CHECK((live.Column("Private Bytes") >= 0) == !nineX);
    CHECK(live.Column("CPU Time") < 0);
    CHECK(live.Column("Working Set") < 0);
    // Paused: nothing new comes without a refresh.
    const int rows = live.ListView().Count();
    HelperProgram early;
    REQUIRE(early.Start());
    Sleep(2500);
    CHECK(live.Row(early.Pid()) < 0);
    CHECK(live.ListView().Count() == rows);

    REQUIRE(live.frame.PostCommand(kUpdate1s));
    if (!nineX) {
        // Within a few ticks the spinning helper shows its load, the idle one
        // next to none. One spinning thread is half of two processors, less
        // while other tests run beside this one.
        CHECK(Wait::Until([&] { return live.CpuTenths(spinning.Pid()) >= 150; }, 5600));
        const int idleLoad = live.CpuTenths(idle.Pid());
        CHECK(idleLoad >= 0);
        CHECK(idleLoad <= 50);
        CHECK(live.Kilobytes(holding.Pid(), "Private Bytes") >= 65536);
        CHECK(live.Kilobytes(idle.Pid(), "Private Bytes") < 65536);
    }
    // The one started while paused came with the first tick.
    CHECK(Wait::Until([&] { return live.Row(early.Pid()) >= 0; }, 2500));

    // A helper started now: in the list within 2 ticks, in green, in the tree too.
    const int helpersInTree = live.TreeCount("tw-helper.exe");
    HelperProgram late;
    REQUIRE(late.Start());
    int green = 0;
    CHECK(Wait::Until([&] { return live.Row(late.Pid()) >= 0 && (green = live.RowPixels(late.Pid(), kGreen)) > 0; },
                      2600, 50));
    Screenshot::SaveDesktopNow("live-new");
    CHECK(green > 0);
    CHECK(live.TreeCount("tw-helper.exe") == helpersInTree + 1);
    // The next tick takes the colour away.
    CHECK(Wait::Until([&] { return live.RowPixels(late.Pid(), kGreen) == 0; }, 2500));
    CHECK(live.Row(late.Pid()) >= 0);

    // Ended: shown in red for one tick, then gone.
    late.Kill();
    CHECK(Wait::Until([&] { return live.RowPixels(late.Pid(), kRed) > 0; }, 2600, 50));
    Screenshot::SaveDesktopNow("live-ended");
    CHECK(Wait::Until([&] { return live.Row(late.Pid()) < 0; }, 2600));
    CHECK(live.TreeCount("tw-helper.exe") == helpersInTree);
    // The status bar counts the rows the list has now.
    CHECK(Wait::Until([&] {
        return RemoteStatusBar(live.frame.Child(305)).Text(0) == "Processes : " + std::to_string(live.ListView().Count());
    }, 2000));
    CHECK(app.Close());
}

TEST_CASE("live view: selection, scroll position and the CPU sort stay over ten ticks")
{
    Program::RemoveSettings();
    DeleteFileA(LivePath().c_str());
    HelperProgram spinning, idle;
    REQUIRE(spinning.Start("spin"));
    REQUIRE(idle.Start());
    // Enough rows for the list to scroll.
    std::vector<std::unique_ptr<HelperProgram>> more;
    for (int i = 0; i < 12; ++i) {
        more.emplace_back(new HelperProgram);
        REQUIRE(more.back()->Start());
    }
    Program app;
    Live live(StartMain(app));
    REQUIRE(live.frame);
    SetWindowPos(live.frame.Handle(), nullptr, 40, 40, 640, 300, SWP_NOZORDER);
    REQUIRE(ShowProcesses(live));
    RemoteListView list = live.ListView();

    const std::vector<std::string> selected = {PidText(spinning.Pid())};
    auto holds = [&](int ticks, int top, const char* tag) {
        for (int tick = 0; tick < ticks; ++tick) {
            Sleep(1000);
            CAPTURE(tag);
            CAPTURE(tick);
            CHECK(live.SelectedPids() == selected);
            CHECK(list.Focused() == live.Row(spinning.Pid()));
            if (top >= 0) CHECK(live.TopIndex() == top);
        }
    };
    // By name: the rows stay where they are.
    REQUIRE(list.Select(live.Row(spinning.Pid())));
    list.EnsureVisible(list.Count() - 1);
    const int top = live.TopIndex();
    CHECK(top > 0);
    REQUIRE(live.frame.PostCommand(kUpdate1s));
    holds(10, top, "by name");
    Screenshot::SaveDesktopNow("live-ticks");

    if (!E2ePaths::IsNineX()) {
        // By CPU, highest first: the spinning helper moves up and stays selected.
        const int cpu = live.Column("CPU");
        REQUIRE(cpu >= 0);
        // The narrow window shows the CPU column once the list is scrolled to it.
        RECT header;
        REQUIRE(RemoteHeader(list.Header()).ItemRect(cpu, header));
        live.List().Send(LVM_SCROLL, header.left > 40 ? header.left - 40 : 0, 0);
        Sleep(200);
        REQUIRE(RemoteHeader(list.Header()).ClickItem(cpu));
        Sleep(300);
        if (RemoteHeader(list.Header()).SortedItem().SortArrow() != -1) {
            REQUIRE(RemoteHeader(list.Header()).ClickItem(cpu));
            Sleep(300);
        }
        const int sortedTop = live.TopIndex();
        holds(10, sortedTop, "by CPU");
        CHECK(Wait::Until([&] { return live.Row(spinning.Pid()) == 0; }, 2000));
        Screenshot::SaveDesktopNow("live-by-cpu");
    }
    CHECK(app.Close());
}

TEST_CASE("live view: update speed and the new columns persist; the settings record is as without them")
{
    Program::RemoveSettings();
    DeleteFileA(LivePath().c_str());
    std::vector<unsigned char> untouched;
    {
        Program app;
        REQUIRE(StartMain(app));
        REQUIRE(app.Close());
        untouched = Program::ReadSettings();
        REQUIRE(untouched.size() == 778);
    }
    const bool nineX = E2ePaths::IsNineX();
    {
        Program app;
        Live live(StartMain(app));
        REQUIRE(ShowProcesses(live));
        REQUIRE(live.frame.PostCommand(kUpdate2s));
        if (!nineX) live.List().Send(LVM_SETCOLUMNWIDTH, live.Column("CPU"), 77);
        Sleep(300);
        REQUIRE(app.Close());
    }
    // Nothing of the record changed.
    CHECK(Program::ReadSettings() == untouched);
    const std::vector<unsigned char> liveFile = ReadFileBytes(LivePath());
    const std::string text(liveFile.begin(), liveFile.end());
    CHECK(text.find("update\t2\n") != std::string::npos);
    {
        Program app;
        Live live(StartMain(app));
        REQUIRE(ShowProcesses(live));
        if (!nineX) CHECK(live.List().Send(LVM_GETCOLUMNWIDTH, live.Column("CPU")) == 77);
        // Updating at once, every 2 seconds.
        HelperProgram late;
        REQUIRE(late.Start());
        CHECK(Wait::Until([&] { return live.Row(late.Pid()) >= 0; }, 4600));
        REQUIRE(app.Close());
    }
    CHECK(Program::ReadSettings() == untouched);
    // A damaged file: the defaults (paused), and the program runs.
    const char garbage[] = "update\t7\ncolumn\t12\t9\t99999\n\xff\xfe";
    HANDLE file = CreateFileA(LivePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, garbage, sizeof(garbage) - 1, &written, nullptr);
    CloseHandle(file);
    {
        Program app;
        Live live(StartMain(app));
        REQUIRE(ShowProcesses(live));
        CHECK((live.Column("CPU") >= 0) == !nineX);
        REQUIRE(app.Close());
    }
    const std::vector<unsigned char> rewritten = ReadFileBytes(LivePath());
    CHECK(std::string(rewritten.begin(), rewritten.end()).find("update\t0\n") != std::string::npos);
}

TEST_CASE("live view: the console tool's ps over an interval")
{
    HelperProgram spinning;
    REQUIRE(spinning.Start("spin commit 8"));
    Sleep(500);
    const std::string json = ConsoleTool::Output("ps --interval 1 --format json");
    const std::string record = JsonRecord(json, spinning.Pid());
    REQUIRE(!record.empty());
    CAPTURE(record);
    if (E2ePaths::IsNineX()) {
        CHECK(JsonValue(record, "cpu_percent") == "null");
        CHECK(JsonValue(record, "private_bytes") == "null");
        CHECK(JsonValue(record, "working_set_bytes") == "null");
    } else {
        // Half of two processors when alone, less beside other tests.
        CHECK(std::strtod(JsonValue(record, "cpu_percent").c_str(), nullptr) >= 15.0);
        CHECK(std::strtoull(JsonValue(record, "private_bytes").c_str(), nullptr, 10) > 8u << 20);
    }
}

} // TEST_SUITE
