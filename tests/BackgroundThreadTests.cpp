// The CPU sampler and the folder watches: their threads, what they send and
// write, and how they stop.
#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/TestPaths.h"
#include "app/cpugraph/CpuUsageSampler.h"
#include "app/threads/FolderWatch.h"
#include "sysutils/OsVersion.h"

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const UINT kSample = WM_USER + 1;

// A hidden window that keeps the values it is sent.
class SampleReceiver {
public:
    SampleReceiver()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TarnwickTestSampleReceiver";
        RegisterClassA(&windowClass);
        hWnd = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), this);
    }
    ~SampleReceiver() { DestroyWindow(hWnd); }
    HWND hWnd;
    std::vector<unsigned long> values;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        SampleReceiver* self = reinterpret_cast<SampleReceiver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == kSample && self) {
            self->values.push_back(static_cast<unsigned long>(lParam));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

// Pumps messages (values sent by other threads arrive here) until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

// Stand-ins for NtQuerySystemInformation. Each advances its own clock at
// every processor query and writes the records 48 bytes apart, as Windows
// and Wine do; a buffer too small for all records fails like theirs.
const LONG kLengthMismatch = static_cast<LONG>(0xC0000004);

void PutTimes(PVOID buffer, unsigned index, ULONGLONG idle, ULONGLONG kernel, ULONGLONG user)
{
    ULONGLONG* record = reinterpret_cast<ULONGLONG*>(static_cast<BYTE*>(buffer) + index * 48);
    record[0] = idle;
    record[1] = kernel;
    record[2] = user;
    std::memset(record + 3, 0x5A, 48 - 24);
}

LONG AnswerBasic(PVOID buffer, ULONG length, unsigned processors)
{
    if (length < CpuUsageMeter::kBasicInfoSize) return kLengthMismatch;
    std::memset(buffer, 0, length);
    static_cast<BYTE*>(buffer)[CpuUsageMeter::kProcessorCountOffset] = static_cast<BYTE>(processors);
    return 0;
}

volatile LONG g_busyClock = 0;
// Two processors: the first always busy, the second always idle.
LONG WINAPI OneOfTwoBusy(ULONG infoClass, PVOID buffer, ULONG length, PULONG)
{
    if (infoClass == 0) return AnswerBasic(buffer, length, 2);
    if (length < 2 * 48) return kLengthMismatch;
    const ULONGLONG tick = static_cast<ULONGLONG>(InterlockedIncrement(&g_busyClock)) * 10000000;
    PutTimes(buffer, 0, 0, tick / 2, tick / 2);
    PutTimes(buffer, 1, tick, tick, 0);
    return 0;
}

// No processor time advances.
LONG WINAPI Frozen(ULONG infoClass, PVOID buffer, ULONG length, PULONG)
{
    if (infoClass == 0) return AnswerBasic(buffer, length, 2);
    PutTimes(buffer, 0, 100, 200, 300);
    PutTimes(buffer, 1, 100, 200, 300);
    return 0;
}

volatile LONG g_manyClock = 0;
// 33 processors, all busy.
LONG WINAPI ThirtyThree(ULONG infoClass, PVOID buffer, ULONG length, PULONG)
{
    if (infoClass == 0) return AnswerBasic(buffer, length, 33);
    const ULONGLONG tick = static_cast<ULONGLONG>(InterlockedIncrement(&g_manyClock)) * 10000000;
    for (unsigned i = 0; i < 32 && (i + 1) * 48 <= length; ++i) PutTimes(buffer, i, 0, tick, 0);
    return 0;
}

volatile LONG g_failCalls = 0;
// The first sample works, every later processor query fails.
LONG WINAPI FailsAfterStart(ULONG infoClass, PVOID buffer, ULONG length, PULONG returned)
{
    if (infoClass == 0) return AnswerBasic(buffer, length, 2);
    if (InterlockedIncrement(&g_failCalls) > 1) return static_cast<LONG>(0xC0000001);
    return OneOfTwoBusy(infoClass, buffer, length, returned);
}

// Threads that keep every processor busy while they live.
class Burners {
public:
    Burners() : stop(0)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        for (DWORD i = 0; i < info.dwNumberOfProcessors; ++i) {
            DWORD id = 0;
            threads.push_back(CreateThread(nullptr, 0, Spin, this, 0, &id));
        }
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

// HKEY_DYN_DATA\PerfStats as Windows 9x has it (Wine has none), removed again at the end.
class PerfStatsKeys {
public:
    explicit PerfStatsKeys(DWORD usage) : ok(true)
    {
        for (const char* name : {"PerfStats\\StartStat", "PerfStats\\StatData", "PerfStats\\StopStat"}) {
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_DYN_DATA, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
                ERROR_SUCCESS) {
                ok = false;
                continue;
            }
            RegCloseKey(key);
        }
        SetUsage(usage);
    }
    ~PerfStatsKeys()
    {
        for (const char* name : {"PerfStats\\StartStat", "PerfStats\\StatData", "PerfStats\\StopStat", "PerfStats"})
            RegDeleteKeyA(HKEY_DYN_DATA, name);
    }
    void SetUsage(DWORD usage)
    {
        for (const char* name : {"PerfStats\\StartStat", "PerfStats\\StatData", "PerfStats\\StopStat"}) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_DYN_DATA, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
            RegSetValueExA(key, "KERNEL\\CPUUsage", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&usage),
                           sizeof(usage));
            RegCloseKey(key);
        }
    }
    static void DeleteStatistic()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        RegDeleteValueA(key, "KERNEL\\CPUUsage");
        RegCloseKey(key);
    }
    bool ok;
};

HANDLE Duplicate(HANDLE handle)
{
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
    return copy;
}

DWORD ExitCode(HANDLE thread)
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(thread, &code);
    return code;
}

} // namespace

TEST_SUITE("background threads")
{
    TEST_CASE("sampler with a stand-in native query: 50, and 0 for frozen times, 33 processors, failed queries")
    {
        SampleReceiver busy, frozen, many, failing;
        CpuUsageSampler busySampler(OneOfTwoBusy), frozenSampler(Frozen), manySampler(ThirtyThree),
            failingSampler(FailsAfterStart);
        CHECK(busySampler.GetProcessorCount() == 2);
        CHECK(manySampler.GetProcessorCount() == 0);
        HANDLE thread = nullptr;
        REQUIRE(busySampler.Start(busy.hWnd, kSample, &thread));
        CHECK(thread != nullptr);
        REQUIRE(frozenSampler.Start(frozen.hWnd, kSample, &thread));
        REQUIRE(manySampler.Start(many.hWnd, kSample, &thread));
        REQUIRE(failingSampler.Start(failing.hWnd, kSample, &thread));
        CHECK_FALSE(busySampler.Start(busy.hWnd, kSample, &thread));

        const DWORD start = GetTickCount();
        CHECK(PumpUntil([&] { return busy.values.size() >= 2 && frozen.values.size() >= 2 &&
                                     many.values.size() >= 2 && failing.values.size() >= 2; },
                        4000));
        // About one value per second.
        CHECK(GetTickCount() - start >= 1500);
        CHECK(busy.values == std::vector<unsigned long>{50, 50});
        CHECK(frozen.values == std::vector<unsigned long>{0, 0});
        CHECK(many.values == std::vector<unsigned long>{0, 0});
        CHECK(failing.values == std::vector<unsigned long>{0, 0});
        for (CpuUsageSampler* sampler : {&busySampler, &frozenSampler, &manySampler, &failingSampler})
            CHECK(sampler->Stop());
        CHECK_FALSE(busySampler.Stop());
    }

    TEST_CASE("stop while the receiver does not pump: Stop returns within a second, the thread ends with 0")
    {
        SampleReceiver receiver;
        CpuUsageSampler sampler(OneOfTwoBusy);
        HANDLE thread = nullptr;
        REQUIRE(sampler.Start(receiver.hWnd, kSample, &thread));
        HANDLE copy = Duplicate(thread);
        REQUIRE(copy != nullptr);
        // The first send blocks on this thread, which does not pump.
        Sleep(1500);
        const DWORD before = GetTickCount();
        CHECK(sampler.Stop());
        CHECK(GetTickCount() - before < 1000);
        CHECK(WaitForSingleObject(copy, 0) == WAIT_OBJECT_0);
        CHECK(ExitCode(copy) == 0);
        CloseHandle(copy);
        // A receiver that is gone is skipped.
        HANDLE second = nullptr;
        DestroyWindow(receiver.hWnd);
        REQUIRE(sampler.Start(receiver.hWnd, kSample, &second));
        copy = Duplicate(second);
        Sleep(1200);
        CHECK(sampler.Stop());
        CHECK(ExitCode(copy) == 0);
        CloseHandle(copy);
    }

    TEST_CASE("folder watch: a rename gives the change line, stopping the terminating line, exit code 0")
    {
        const std::string folder = TestPaths::MakeScratchFolder("watch");
        const std::string file = folder + "\\plugin.dll";
        REQUIRE(TestPaths::WriteFile(file, "x", 1));
        SampleReceiver owner;

        FolderWatch refused;
        refused.EnableTrace(true);
        CHECK_FALSE(refused.Start((folder + "\\missing").c_str(), true, FILE_NOTIFY_CHANGE_FILE_NAME, owner.hWnd));
        CHECK_FALSE(refused.Start(std::string(300, 'a').c_str(), true, FILE_NOTIFY_CHANGE_FILE_NAME, owner.hWnd));
        CHECK_FALSE(refused.Start("", true, FILE_NOTIFY_CHANGE_FILE_NAME, owner.hWnd));
        CHECK_FALSE(refused.Start(folder.c_str(), true, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr));
        CHECK_FALSE(refused.Stop());

        DebugCapture capture;
        FolderWatch watch;
        watch.EnableTrace(true);
        REQUIRE(watch.Start(folder.c_str(), true, FILE_NOTIFY_CHANGE_FILE_NAME, owner.hWnd));
        HANDLE copy = Duplicate(watch.ThreadHandle());
        REQUIRE(MoveFileA(file.c_str(), (folder + "\\renamed.dll").c_str()));

        const std::string changeLine = "Received change notification for '" + folder + "'!\n";
        auto endsWith = [](const std::string& text, const std::string& tail) {
            return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
        };
        const DWORD start = GetTickCount();
        while (capture.Lines().empty() && GetTickCount() - start < 2000) Sleep(20);
        Sleep(200);
        std::vector<std::string> lines = capture.Lines();
        REQUIRE(!lines.empty());
        for (const std::string& line : lines) {
            CAPTURE(line);
            CHECK(line.compare(0, 12, "WatchThread(") == 0);
            CHECK(endsWith(line, "): " + changeLine));
        }

        capture.Clear();
        CHECK(watch.Stop());
        CHECK(ExitCode(copy) == 0);
        CloseHandle(copy);
        lines = capture.Lines();
        REQUIRE(lines.size() == 1);
        CHECK(endsWith(lines[0], "): Terminating watch on '" + folder + "'!\n"));
        CHECK_FALSE(watch.Stop());
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("CPU sampler on this family: busy processors, or the 9x statistic raw")
    {
        OsVersion os;
        SampleReceiver receiver;
        if (!os.Is9xFamily()) {
            Burners burners;
            Sleep(200);
            CpuUsageSampler sampler;
            CHECK(sampler.GetProcessorCount() >= 1);
            HANDLE thread = nullptr;
            REQUIRE(sampler.Start(receiver.hWnd, kSample, &thread));
            CHECK(PumpUntil([&] { return receiver.values.size() >= 2; }, 4000));
            CHECK(sampler.Stop());
            REQUIRE(receiver.values.size() >= 2);
            for (unsigned long value : receiver.values) CHECK(value >= 80);
            return;
        }

        {
            PerfStatsKeys keys(42);
            REQUIRE(keys.ok);
            CpuUsageSampler sampler;
            HANDLE thread = nullptr;
            REQUIRE(sampler.Start(receiver.hWnd, kSample, &thread));
            CHECK(PumpUntil([&] { return !receiver.values.empty(); }, 2500));
            keys.SetUsage(250);
            CHECK(PumpUntil([&] { return !receiver.values.empty() && receiver.values.back() == 250; }, 2500));
            // A value that cannot be read is sent as 0.
            PerfStatsKeys::DeleteStatistic();
            CHECK(PumpUntil([&] { return receiver.values.back() == 0; }, 2500));
            CHECK(sampler.Stop());
            REQUIRE(receiver.values.size() >= 3);
            CHECK(receiver.values.front() == 42);
            CHECK(receiver.values.back() == 0);
        }

        // Without the statistic the thread ends at once.
        CpuUsageSampler sampler;
        HANDLE thread = nullptr;
        REQUIRE(sampler.Start(receiver.hWnd, kSample, &thread));
        CHECK(WaitForSingleObject(thread, 1000) == WAIT_OBJECT_0);
        CHECK(ExitCode(thread) == 0);
        CHECK(sampler.Stop());
    }
}
