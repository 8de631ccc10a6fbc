// The console runner on both families, with tw-console as the child.
#include <doctest/doctest.h>

#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "tools/PipedProcess.h"

#include <windows.h>
#include <tlhelp32.h>
#include <new>
#include <string>
#include <vector>

namespace {

std::string Console(const std::string& arguments)
{
    return "\"" + TestPaths::BinFolder() + "tw-console.exe\" " + arguments;
}

// Records the operations in the order they come.
class Recorder : public PipedProcess {
public:
    Recorder() : hFinished(CreateEventA(nullptr, TRUE, FALSE, nullptr)) { InitializeCriticalSection(&lock); }
    ~Recorder() override
    {
        Stop();
        CloseHandle(hFinished);
        DeleteCriticalSection(&lock);
    }
    bool WaitFinished(DWORD ms) { return WaitForSingleObject(hFinished, ms) == WAIT_OBJECT_0; }
    bool WaitOutput(const std::string& text, DWORD ms)
    {
        for (DWORD waited = 0; waited < ms; waited += 20, Sleep(20))
            if (Output().find(text) != std::string::npos) return true;
        return false;
    }
    std::string Output()
    {
        EnterCriticalSection(&lock);
        const std::string copy = out;
        LeaveCriticalSection(&lock);
        return copy;
    }
    std::string out, err, events;

protected:
    void Started(const std::string&) override { Record("S"); }
    void Output(const char* text, size_t length) override
    {
        EnterCriticalSection(&lock);
        out.append(text, length);
        if (events.empty() || events.back() != 'o') events += 'o';
        LeaveCriticalSection(&lock);
    }
    void ErrorOutput(const char* text, size_t length) override
    {
        EnterCriticalSection(&lock);
        err.append(text, length);
        if (events.empty() || events.back() != 'e') events += 'e';
        LeaveCriticalSection(&lock);
    }
    void Finished() override
    {
        Record("F");
        SetEvent(hFinished);
    }

private:
    void Record(const char* event)
    {
        EnterCriticalSection(&lock);
        events += event;
        LeaveCriticalSection(&lock);
    }
    HANDLE hFinished;
    CRITICAL_SECTION lock;
};

// Output that runs out of memory now and then, and a Finished that does too.
class Starved : public PipedProcess {
public:
    Starved() : hFinished(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Starved() override
    {
        Stop();
        CloseHandle(hFinished);
    }
    bool WaitFinished(DWORD ms) { return WaitForSingleObject(hFinished, ms) == WAIT_OBJECT_0; }
    LONG nChunks = 0, nThrown = 0;

protected:
    void Output(const char* text, size_t length) override { Take(text, length); }
    void ErrorOutput(const char* text, size_t length) override { Take(text, length); }
    void Finished() override
    {
        SetEvent(hFinished);
        throw std::bad_alloc();
    }

private:
    void Take(const char*, size_t)
    {
        if (InterlockedIncrement(&nChunks) % 3 == 0) {
            InterlockedIncrement(&nThrown);
            throw std::bad_alloc();
        }
    }
    HANDLE hFinished;
};

// Handle values in use: Wine reports no counts, so every value is probed.
int CountHandles()
{
    int count = 0;
    for (uintptr_t value = 4; value < 0x4000; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

int CountThreads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

// The runner is the same code on every version: it runs under one pose of
// each family (XP and 98), not again under NT 4 and 95.
bool PosesAsOldest()
{
    const DWORD version = GetVersion();
    return (version & 0xFF) == 4 && ((version >> 8) & 0xFF) == 0;
}

} // namespace

TEST_SUITE("family")
{
    TEST_CASE("pipe runner: 1 MB on both streams arrives whole, then finished")
    {
        if (PosesAsOldest()) return;
        Recorder run;
        REQUIRE(run.Start(Console("both 1048576"), false));
        REQUIRE(run.WaitFinished(60000));
        CHECK(run.out.size() == 1048576 + 8);
        CHECK(run.err.size() == 1048576 + 8);
        CHECK(run.out.compare(run.out.size() - 8, 8, "END-OUT\n") == 0);
        CHECK(run.err.compare(run.err.size() - 8, 8, "END-ERR\n") == 0);
        CHECK(run.out.compare(0, 9, "o0000000 ") == 0);
        CHECK(run.events.front() == 'S');
        CHECK(run.events.back() == 'F');
        CHECK(run.events.find('e') != std::string::npos);
        run.Stop();
        CHECK(run.ExitCode() == 0);
    }

    TEST_CASE("pipe runner: an operation that throws loses its chunk, never a thread or the program")
    {
        if (PosesAsOldest()) return;
        Starved run;
        REQUIRE(run.Start(Console("flood 8"), false));
        // The child is never left blocked on a full pipe: it ends, and so does the run.
        REQUIRE(run.WaitFinished(60000));
        CHECK(run.nThrown > 0);
        CHECK(run.nChunks > run.nThrown);
        run.Stop();
        CHECK(run.ExitCode() == 0);
    }

    TEST_CASE("pipe runner: slow output shows before the end; instant exit; stdin ends")
    {
        if (PosesAsOldest()) return;
        const std::string eventName = HelperProcess::NewEventName();
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
        {
            Recorder run;
            REQUIRE(run.Start(Console("slow " + eventName), false));
            CHECK(run.WaitOutput("first\n", 10000));
            CHECK(run.IsRunning());
            CHECK_FALSE(run.WaitFinished(0));
            SetEvent(release);
            REQUIRE(run.WaitFinished(10000));
            CHECK(run.out == "first\nlast\n");
        }
        CloseHandle(release);

        for (int i = 0; i < 3; ++i) {
            Recorder run;
            REQUIRE(run.Start(Console("instant"), false));
            REQUIRE(run.WaitFinished(10000));
            CHECK(run.out == "x\n");
            CHECK(run.events == "SoF");
        }

        Recorder reader;
        REQUIRE(reader.Start(Console("stdin"), false));
        REQUIRE(reader.WaitFinished(10000));
        CHECK(reader.out == "read 0\n");
    }

    TEST_CASE("pipe runner: an endless child is stopped, a grandchild cannot hold it")
    {
        if (PosesAsOldest()) return;
        Recorder endless;
        REQUIRE(endless.Start(Console("endless"), false));
        REQUIRE(endless.WaitOutput("tick", 10000));
        const DWORD start = GetTickCount();
        endless.Stop();
        CHECK(GetTickCount() - start < 3000);
        CHECK(endless.WaitFinished(0));
        CHECK_FALSE(endless.IsRunning());
        CHECK(endless.ExitCode() == 1);
        CHECK(endless.out == "tick\n");

        Recorder parent;
        const DWORD begun = GetTickCount();
        REQUIRE(parent.Start(Console("grandchild"), false));
        REQUIRE(parent.WaitFinished(7000));
        CHECK(GetTickCount() - begun < 6000);
        CHECK(parent.out.compare(0, 12, "parent done ") == 0);
        const DWORD grandchild = std::strtoul(parent.out.c_str() + 12, nullptr, 10);
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, grandchild)) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }

    TEST_CASE("pipe runner: a missing program; no handle or thread left behind")
    {
        if (PosesAsOldest()) return;
        Recorder missing;
        CHECK_FALSE(missing.Start("tw-no-such-program.exe /x", false));
        CHECK(missing.out == "Unable to start tw-no-such-program.exe /x\r\nError Code: 2");
        CHECK(missing.events == "o");
        CHECK_FALSE(missing.IsRunning());

        {
            Recorder warmUp;
            warmUp.Start(Console("instant"), false);
            warmUp.WaitFinished(10000);
        }
        const int handles = CountHandles();
        const int threads = CountThreads();
        for (int i = 0; i < 20; ++i) {
            Recorder run;
            REQUIRE(run.Start(Console("instant"), false));
            REQUIRE(run.WaitFinished(10000));
        }
        Sleep(100);
        CHECK(CountHandles() == handles);
        CHECK(CountThreads() == threads);
    }
}
