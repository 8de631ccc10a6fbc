// What the live view costs, with extra bench-helper processes running:
//   live-bench tick [HELPERS=200]       one update tick of the main window
//                                       beside a full refresh (median of 20 each)
//   live-bench cpu [HELPERS=50] [SECONDS=60]
//                                       processor time of tarnwick.exe updating
//                                       every second, beside Wine's taskmgr.exe,
//                                       over the same seconds
//   live-bench leak [TICKS=600]         private bytes, handles, GDI and USER
//                                       objects after 10 ticks and after TICKS
// tick and leak run the main window in this process; cpu starts the program
// from this folder (its Tarnwick.ui and Tarnwick.live are put back afterwards).
#include "app/startup/TarnwickApp.h"
#include "app/mainframe/TarnwickMainFrame.h"
#include "app/res/resource.h"
#include "sysutils/ProgramFolder.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string TempPath(const char* name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

// Started processes, ended with the object.
class Processes {
public:
    ~Processes()
    {
        for (PROCESS_INFORMATION& process : started) {
            TerminateProcess(process.hProcess, 0);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
    bool Start(std::string line)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return false;
        started.push_back(process);
        return true;
    }
    // bench-helper copies that have signalled they run.
    bool Helpers(unsigned count)
    {
        const std::string helper = ProgramFolder::Path() + "bench-helper.exe";
        for (unsigned i = 0; i < count; ++i) {
            char name[64];
            snprintf(name, sizeof(name), "tw-live-bench-%lu-%u", GetCurrentProcessId(), i);
            HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, name);
            const bool ok = Start("\"" + helper + "\" " + name) && WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
            CloseHandle(ready);
            if (!ok) return false;
        }
        return true;
    }
    HANDLE Last() const { return started.back().hProcess; }
    size_t Count() const { return started.size(); }
    void EndFirst()
    {
        if (started.empty()) return;
        TerminateProcess(started.front().hProcess, 0);
        WaitForSingleObject(started.front().hProcess, 5000);
        CloseHandle(started.front().hProcess);
        CloseHandle(started.front().hThread);
        started.erase(started.begin());
    }

private:
    std::vector<PROCESS_INFORMATION> started;
};

void PumpAll()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The main window in this process, with its own settings file.
struct Frame {
    Frame() : app(GetModuleHandleA(nullptr), "--nosplash --priority-normal"), frame(app.MainFrame())
    {
        settings = TempPath("tw-live-bench.ui");
        DeleteFileA(settings.c_str());
        frame->UseSettingsFile(settings);
        ok = frame->Register() && frame->Create(nullptr, "Tarnwick 2.6");
        // Updates start paused, and a paused tick does nothing.
        if (ok) SendMessageA(frame->GetHwnd(), WM_COMMAND, ID_UPDATE_1S, 0);
        PumpAll();
    }
    ~Frame()
    {
        if (ok) DestroyWindow(frame->GetHwnd());
        frame->Unregister();
        PumpAll();
        DeleteFileA(settings.c_str());
        DeleteFileA(TempPath("Tarnwick.live").c_str());
    }
    double Tick()
    {
        PumpAll();
        const unsigned before = frame->LiveTickCount();
        const double start = Now();
        frame->RunLiveTick();
        RedrawWindow(frame->GetHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const double took = Now() - start;
        if (frame->LiveTickCount() == before) skipped = true;
        return took;
    }
    double Refresh()
    {
        PumpAll();
        const double start = Now();
        frame->Refresh(true);
        RedrawWindow(frame->GetHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        return Now() - start;
    }
    TarnwickApp app;
    TarnwickMainFrame* frame;
    std::string settings;
    bool ok = false;
    bool skipped = false;  // a tick that did not run (held or paused)
    bool AllTicksRan() const
    {
        if (skipped) std::fprintf(stderr, "live-bench: the window held its ticks; nothing measured\n");
        return !skipped;
    }
};

int Tick(unsigned helpers)
{
    Processes processes;
    if (!processes.Helpers(helpers)) return 1;
    Frame window;
    if (!window.ok) return 1;
    std::vector<double> refreshes, ticks;
    for (int i = 0; i < 20; ++i) refreshes.push_back(window.Refresh());
    window.Tick();  // the first sample: every process as the view has it
    for (int i = 0; i < 20; ++i) ticks.push_back(window.Tick());
    if (!window.AllTicksRan()) return 1;
    const double refresh = Median(refreshes), tick = Median(ticks);
    std::printf("extra processes\tfull refresh (s, median of 20)\tupdate tick (s, median of 20)\ttick/refresh\n");
    std::printf("%u\t%.4f\t%.4f\t%.3f\n", helpers, refresh, tick, tick / refresh);
    return 0;
}

uint64_t ProcessorTime(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return ((uint64_t(kernel.dwHighDateTime) << 32) | kernel.dwLowDateTime)
         + ((uint64_t(user.dwHighDateTime) << 32) | user.dwLowDateTime);
}

// Keeps a file's bytes and puts them back (or removes the file) at the end.
class KeptFile {
public:
    explicit KeptFile(const std::string& path) : path(path)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        existed = file != INVALID_HANDLE_VALUE;
        if (!existed) return;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) bytes.append(buffer, got);
        CloseHandle(file);
    }
    ~KeptFile()
    {
        if (!existed) {
            DeleteFileA(path.c_str());
            return;
        }
        Write(bytes);
    }
    void Write(const std::string& text) const
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }

private:
    std::string path, bytes;
    bool existed;
};

int Cpu(unsigned helpers, unsigned seconds)
{
    const std::string folder = ProgramFolder::Path();
    KeptFile record(folder + "Tarnwick.ui");
    KeptFile live(folder + "Tarnwick.live");
    live.Write("update\t1\n");
    Processes processes;
    if (!processes.Helpers(helpers)) return 1;
    if (!processes.Start("\"" + folder + "tarnwick.exe\" --nosplash --priority-normal")) return 1;
    HANDLE tarnwick = processes.Last();
    const bool taskmgr = processes.Start("taskmgr.exe");
    HANDLE manager = taskmgr ? processes.Last() : nullptr;
    // Both settle first (the program's first fill, taskmgr's start).
    Sleep(5000);
    const uint64_t startOwn = ProcessorTime(tarnwick), startManager = taskmgr ? ProcessorTime(manager) : 0;
    if (!startOwn) {
        // Wine gives no processor times for another process: nothing to wait for.
        std::printf("tarnwick.exe at 1 s updates: not measured, this system reports no processor time for it\n");
        return 0;
    }
    const double start = Now();
    Sleep(seconds * 1000);
    const double wall = Now() - start;
    const uint64_t own = ProcessorTime(tarnwick) - startOwn;
    const uint64_t other = taskmgr ? ProcessorTime(manager) - startManager : 0;
    std::printf("extra processes\tseconds\ttarnwick.exe at 1 s updates (%% of a core)\ttaskmgr.exe (%% of a core)\n");
    std::printf("%u\t%.1f\t%.2f\t", helpers, wall, own / 1e5 / wall);
    if (taskmgr) std::printf("%.2f\n", other / 1e5 / wall);
    else std::printf("not started\n");
    return 0;
}

struct Usage {
    size_t privateBytes;
    DWORD handles, gdi, user;
};

Usage Measure()
{
    Usage usage = {};
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters)))
        usage.privateBytes = counters.PrivateUsage;
    GetProcessHandleCount(GetCurrentProcess(), &usage.handles);
    usage.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    usage.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return usage;
}

int Leak(unsigned ticks)
{
    // Processes come and go meanwhile: some helpers end and start again every tick.
    Processes processes;
    if (!processes.Helpers(20)) return 1;
    Frame window;
    if (!window.ok) return 1;
    std::printf("ticks\tprivate bytes (K)\thandles\tGDI objects\tUSER objects\n");
    auto print = [](unsigned tick, const Usage& usage) {
        std::printf("%u\t%u\t%lu\t%lu\t%lu\n", tick, static_cast<unsigned>(usage.privateBytes / 1024),
                    static_cast<unsigned long>(usage.handles), static_cast<unsigned long>(usage.gdi),
                    static_cast<unsigned long>(usage.user));
        std::fflush(stdout);
    };
    Processes churn;
    Usage at10 = {};
    for (unsigned tick = 1; tick <= ticks; ++tick) {
        if (tick % 5 == 0) {
            churn.Helpers(1);
            if (churn.Count() > 3) churn.EndFirst();
        }
        window.Tick();
        if (tick == 10) print(tick, at10 = Measure());
    }
    if (!window.AllTicksRan()) return 1;
    const Usage end = Measure();
    print(ticks, end);
    if (!end.privateBytes && !end.handles && !end.gdi && !end.user) {
        // Wine answers 0 to all four: a "+0" would look like a result.
        std::printf("growth after %u ticks: not measured, this system reports none of these counters\n", ticks);
        return 0;
    }
    std::printf("growth after %u ticks: %+d K private bytes, %+ld handles, %+ld GDI, %+ld USER\n", ticks,
                static_cast<int>(end.privateBytes / 1024) - static_cast<int>(at10.privateBytes / 1024),
                static_cast<long>(end.handles) - static_cast<long>(at10.handles),
                static_cast<long>(end.gdi) - static_cast<long>(at10.gdi),
                static_cast<long>(end.user) - static_cast<long>(at10.user));
    return 0;
}

unsigned Arg(int argc, char** argv, int at, unsigned fallback)
{
    return argc > at ? static_cast<unsigned>(std::atoi(argv[at])) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "tick") return Tick(Arg(argc, argv, 2, 200));
    if (mode == "cpu") return Cpu(Arg(argc, argv, 2, 50), Arg(argc, argv, 3, 60));
    if (mode == "leak") return Leak(Arg(argc, argv, 2, 600));
    std::fprintf(stderr, "usage: live-bench tick [HELPERS] | cpu [HELPERS] [SECONDS] | leak [TICKS]\n");
    return 2;
}
