// Times the main window's full refresh (process snapshot, items, tree and
// list fill, painting) with extra helper processes running, each from its own
// copy of bench-helper.exe (a program with a version resource and an icon):
// the first refresh of a new window with the file facts cache emptied, and
// the second one.
//   refresh-bench [--phases] [--rounds=N] [HELPER.EXE] [COUNTS...]
// Default counts 50 and 200, 3 rounds (the best of each is shown); --phases
// also times the refresh's steps one by one. Each count also times one tick
// of the live view: a sample (ProcessSampler) and its changes applied to a
// process tree and list filled as the main window fills them.
#include "app/startup/TarnwickApp.h"
#include "app/mainframe/TarnwickMainFrame.h"
#include "app/settings/UserSettingsFile.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ProcessSampler.h"
#include "sysinfo/ProcessSnapshot.h"
#include "sysinfo/ServiceList.h"
#include "sysinfo/SnapshotSampleSource.h"
#include "sysutils/ProgramFolder.h"
#include "views/ItemBuilder.h"
#include "views/ProcessView.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"

#include <commctrl.h>

#include <shellapi.h>

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Helpers started from distinct copies, so that each has a file of its own.
class Helpers {
public:
    explicit Helpers(const std::string& source) : source(source)
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "tw-refresh-bench";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    ~Helpers()
    {
        for (PROCESS_INFORMATION& process : processes) {
            TerminateProcess(process.hProcess, 0);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        for (const std::string& copy : copies) DeleteFileA(copy.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    bool GrowTo(size_t count)
    {
        while (processes.size() < count) {
            char name[64];
            snprintf(name, sizeof(name), "\\bench-helper-%03u.exe", static_cast<unsigned>(processes.size()));
            const std::string copy = folder + name;
            if (!CopyFileA(source.c_str(), copy.c_str(), FALSE)) return false;
            copies.push_back(copy);
            snprintf(name, sizeof(name), "tw-bench-%lu-%u", GetCurrentProcessId(), static_cast<unsigned>(processes.size()));
            HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name);
            std::string line = "\"" + copy + "\" " + name;
            STARTUPINFOA startup = {};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION process = {};
            const bool started =
                CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
            const bool signalled = started && WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
            CloseHandle(ready);
            if (started) processes.push_back(process);
            if (!signalled) return false;
        }
        return true;
    }

private:
    std::string source;
    std::string folder;
    std::vector<std::string> copies;
    std::vector<PROCESS_INFORMATION> processes;
};

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& stop)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(stop.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

void PumpAll()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// One refresh with its painting; what an earlier one left to paint is done first.
double TimeRefresh(TarnwickMainFrame& frame)
{
    PumpAll();
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    frame.Refresh(true);
    RedrawWindow(frame.GetHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    QueryPerformanceCounter(&stop);
    return Seconds(start, stop);
}

// A new main window with empty caches: its first refresh is the fill when
// it is created, as at the program's start.
struct Window {
    explicit Window(const std::string& settings)
        : app(GetModuleHandleA(nullptr), "--nosplash --priority-normal"), frame(app.MainFrame())
    {
        frame->UseSettingsFile(settings);
    }
    double Create()
    {
        PumpAll();
        LARGE_INTEGER start, stop;
        QueryPerformanceCounter(&start);
        ok = frame->Register() && frame->Create(nullptr, "Tarnwick 2.6");
        if (ok) RedrawWindow(frame->GetHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&stop);
        return Seconds(start, stop);
    }
    ~Window()
    {
        if (ok) DestroyWindow(frame->GetHwnd());
        frame->Unregister();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    TarnwickApp app;
    TarnwickMainFrame* frame;
    bool ok = false;
};

// Where a refresh spends its time: the same steps one by one.
void PrintPhases(bool nt)
{
    LARGE_INTEGER a, b;
    ProcessSnapshot snapshot;
    QueryPerformanceCounter(&a);
    snapshot.EnumProcesses(nullptr, 0);
    QueryPerformanceCounter(&b);
    const double enumerate = Seconds(a, b);
    ServiceList services;
    QueryPerformanceCounter(&a);
    if (nt) services.Collect(0x30, 1);
    QueryPerformanceCounter(&b);
    const double collect = Seconds(a, b);
    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    ValueFormatter formatter(settings, nt);
    ItemBuilder builder(formatter, FileFactsCache::Shared());
    QueryPerformanceCounter(&a);
    for (const ProcessRecord& record : snapshot.Processes()) {
        ProcessItem item;
        builder.BuildProcessItem(item, record, services, false);
    }
    QueryPerformanceCounter(&b);
    const double items = Seconds(a, b);
    QueryPerformanceCounter(&a);
    for (const ProcessRecord& record : snapshot.Processes()) {
        HICON icon = nullptr;
        if (ExtractIconExA(record.strPath.c_str(), 0, nullptr, &icon, 1) && icon) DestroyIcon(icon);
    }
    QueryPerformanceCounter(&b);
    const double icons = Seconds(a, b);
    std::printf("  phases: snapshot %.3f, services %.3f, items %.3f, icons %.3f\n", enumerate, collect, items, icons);
}

// One tick of the live view: a sample and its changes applied in place to a
// tree and list of every process (the best of `rounds`, a second apart).
double TimeTick(bool nt, int rounds, bool phases)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 600, parent, nullptr, nullptr,
                                nullptr);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 300, 0, 500, 600, parent,
                                nullptr, nullptr, nullptr);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    ValueFormatter formatter(settings, nt);
    ViewImages images;
    images.Create(GetModuleHandleA(nullptr));
    ProcessView view(settings, formatter, FileFactsCache::Shared(), images);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("Processes");
    HTREEITEM processes =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    ProcessSampler sampler{std::unique_ptr<ProcessSampleSource>(new SnapshotSampleSource)};
    sampler.Sample();
    std::list<ProcessRecord> records;
    for (const SampledProcess& process : sampler.Processes()) records.push_back(process.record);
    view.Build(records, nullptr, 0);
    view.FillTree(tree, processes, true);
    view.SetupColumns(list);
    view.FillList(list);
    RedrawWindow(parent, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    double best = 1e30, bestSample = 1e30;
    for (int round = 0; round < rounds; ++round) {
        Sleep(1000);
        PumpAll();
        LARGE_INTEGER start, sampled, stop;
        QueryPerformanceCounter(&start);
        sampler.Sample();
        QueryPerformanceCounter(&sampled);
        view.ApplySample(sampler, tree, processes, true, list);
        RedrawWindow(parent, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&stop);
        const double tick = Seconds(start, stop);
        if (tick < best) best = tick;
        if (Seconds(start, sampled) < bestSample) bestSample = Seconds(start, sampled);
    }
    if (phases) std::printf("  tick phases: sample %.4f, the rest %.4f\n", bestSample, best - bestSample);
    view.Clear();
    DestroyWindow(parent);
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    bool phases = false;
    int rounds = 3;
    std::string helper = ProgramFolder::Path() + "bench-helper.exe";
    std::vector<size_t> counts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--phases") phases = true;
        else if (arg.rfind("--rounds=", 0) == 0) rounds = std::atoi(arg.c_str() + 9) > 0 ? std::atoi(arg.c_str() + 9) : 1;
        else if (!arg.empty() && arg[0] >= '0' && arg[0] <= '9') counts.push_back(static_cast<size_t>(std::atoi(argv[i])));
        else helper = arg;
    }
    if (counts.empty()) counts = {50, 200};

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string settings = std::string(temp) + "tw-refresh-bench.ui";
    DeleteFileA(settings.c_str());

    Helpers helpers(helper);
    std::printf("extra processes\tfirst refresh (s)\tsecond refresh (s)\tsecond/first\tlive tick (s)\ttick/second\n");
    std::vector<double> firsts;
    for (size_t count : counts) {
        if (!helpers.GrowTo(count)) {
            std::fprintf(stderr, "refresh-bench: could not start %u helpers\n", static_cast<unsigned>(count));
            return 1;
        }
        // The best of several rounds: other work on the machine only adds time.
        double first = 1e30, second = 1e30;
        bool nt = true;
        for (int round = 0; round < rounds; ++round) {
            FileFactsCache::Shared().Clear();
            Window window(settings);
            const double created = window.Create();
            if (!window.ok) {
                std::fprintf(stderr, "refresh-bench: the main window could not be created\n");
                return 1;
            }
            const double again = TimeRefresh(*window.frame);
            if (created < first) first = created;
            if (again < second) second = again;
            if (phases && round == 0) PrintPhases(window.frame->IsNtFamily());
            nt = window.frame->IsNtFamily();
        }
        firsts.push_back(first);
        const double tick = TimeTick(nt, rounds, phases);
        std::printf("%u\t%.3f\t%.3f\t%.2f\t%.4f\t%.3f\n", static_cast<unsigned>(count), first, second, second / first,
                    tick, tick / second);
        std::fflush(stdout);
    }
    if (firsts.size() >= 2)
        std::printf("first refresh, %u vs %u processes: %.2fx\n", static_cast<unsigned>(counts.back()),
                    static_cast<unsigned>(counts.front()), firsts.back() / firsts.front());
    DeleteFileA(settings.c_str());
    return 0;
}
