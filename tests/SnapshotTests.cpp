#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "sysinfo/ProcessSnapshot.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {

struct Phases {
    int starts = 0;
    uint32_t announced = 0;
    uint32_t appended = 0;
    int ends = 0;
    bool endAfterAll = true;
};

void Count(uint32_t phase, uint32_t count, uint32_t user)
{
    Phases* p = reinterpret_cast<Phases*>(static_cast<uintptr_t>(user));
    if (phase == 0) {
        ++p->starts;
        p->announced = count;
    } else if (phase == 1) {
        if (p->ends) p->endAfterAll = false;
        ++p->appended;
    } else if (phase == 2) {
        ++p->ends;
    }
}

uint32_t UserValue(Phases& phases)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&phases));
}

const ProcessRecord* FindProcess(const ProcessSnapshot& snapshot, uint32_t pid)
{
    for (const ProcessRecord& record : snapshot.Processes())
        if (record.dwProcessId == pid) return &record;
    return nullptr;
}

const ModuleRecord* FindModule(const ProcessSnapshot& snapshot, const char* name)
{
    for (const ModuleRecord& record : snapshot.Modules())
        if (lstrcmpiA(record.strName.c_str(), name) == 0) return &record;
    return nullptr;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && lstrcmpiA(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
}

std::string Field(const std::string& row, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = row.find('\t', start);
        if (start == std::string::npos) return std::string();
        ++start;
    }
    size_t end = row.find_first_of("\t\r\n", start);
    return row.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

TEST_SUITE("family")
{
    TEST_CASE("processes and modules of helper processes")
    {
        const std::string folder = TestPaths::MakeScratchFolder("snap");
        const std::string grandchildEvent = HelperProcess::NewEventName();
        HANDLE grandchildReady = CreateEventA(nullptr, TRUE, FALSE, grandchildEvent.c_str());
        HelperProcess helper;
        REQUIRE(helper.Start("load restypes.dll spawn " + grandchildEvent, "TW_MARKER=hello world", folder));
        REQUIRE(WaitForSingleObject(grandchildReady, 20000) == WAIT_OBJECT_0);
        CloseHandle(grandchildReady);

        ProcessSnapshot snapshot;
        const bool nt = snapshot.Os().IsNTFamily();
        REQUIRE(snapshot.IsValid());
        Phases phases;
        DebugCapture capture;
        REQUIRE(snapshot.EnumProcesses(Count, UserValue(phases)));
        CHECK(phases.starts == 1);
        CHECK(phases.ends == 1);
        CHECK(phases.endAfterAll);
        CHECK(phases.appended == snapshot.Processes().size());
        CHECK(phases.announced == snapshot.Processes().size());

        uint32_t position = 0;
        for (const ProcessRecord& record : snapshot.Processes()) CHECK(record.dwSequence == position++);

        const ProcessRecord* child = FindProcess(snapshot, helper.Pid());
        REQUIRE(child != nullptr);
        CHECK(child->strName == "tw-helper.exe");
        CHECK(EndsWithNoCase(child->strPath, "\\tw-helper.exe"));
        CHECK(child->dwParentProcessId == GetCurrentProcessId());
        CHECK(child->dwThreadCount >= 1);
        CHECK(child->dwPriorityClass == NORMAL_PRIORITY_CLASS);

        const ProcessRecord* grandchild = nullptr;
        for (const ProcessRecord& record : snapshot.Processes())
            if (record.dwParentProcessId == helper.Pid()) grandchild = &record;
        REQUIRE(grandchild != nullptr);
        CHECK(grandchild->strName == "tw-helper.exe");
        // The grandchild outlives its parent unless ended here.
        struct EndProcess {
            DWORD pid;
            ~EndProcess()
            {
                HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
                if (process) {
                    TerminateProcess(process, 0);
                    CloseHandle(process);
                }
            }
        } endGrandchild{grandchild->dwProcessId};

        const ProcessRecord& first = snapshot.Processes().front();
        if (nt) {
            CHECK(child->strCommandLine == helper.CommandLine());
            CHECK(child->strOwner.compare(0, 2, "\\\\") == 0);
            CHECK(child->ftCreationTime.Value() != 0);
            CHECK(child->ftCreationTime.Value() != ~0ull);
            CHECK(child->dwHandleCount > 0);
            // Wine's list has no idle or system entry: every process keeps
            // its own name, path, owner and command line.
            CHECK(first.strName != "System Idle Process");
            CHECK(std::next(snapshot.Processes().begin())->strName != "System");
            CHECK_FALSE(snapshot.IsIdleProcess(first.dwProcessId));
            CHECK_FALSE(snapshot.IsSystemProcess(std::next(snapshot.Processes().begin())->dwProcessId));
            for (const ProcessRecord& record : snapshot.Processes()) CHECK(record.strName != "System Idle Process");
        } else {
            CHECK(child->strCommandLine == "...");
            CHECK(child->strOwner.empty());
            CHECK(child->ftCreationTime.dwLowDateTime == 0xFFFFFFFFu);
            CHECK(child->ftCreationTime.dwHighDateTime == 0xFFFFFFFFu);
            CHECK(child->dwHandleCount == 0);
            CHECK_FALSE(snapshot.IsIdleProcess(first.dwProcessId));
        }
        CHECK(snapshot.IsProcessAccessible(helper.Pid()));

        char path[260] = {};
        CHECK(snapshot.GetProcessExecutable(helper.Pid(), path, 259) == -1);
        CHECK(snapshot.GetProcessExecutable(helper.Pid(), nullptr, 260) == -1);
        int length = snapshot.GetProcessExecutable(helper.Pid(), path, 260);
        CHECK(length == static_cast<int>(std::strlen(path)));
        CHECK(EndsWithNoCase(path, "\\tw-helper.exe"));

        // Modules: the executable, its static DLLs and the one loaded at run time.
        Phases modulePhases;
        REQUIRE(snapshot.EnumProcessModules(helper.Pid(), Count, UserValue(modulePhases)));
        const size_t count = snapshot.Modules().size();
        REQUIRE(count >= 3);
        CHECK(modulePhases.appended == count);
        CHECK(modulePhases.ends == 1);
        CHECK(modulePhases.announced == (nt ? count : count - 1));
        uint32_t order = 0;
        for (const ModuleRecord& module : snapshot.Modules()) CHECK(module.dwLoadOrder == order++);

        const ModuleRecord* exe = FindModule(snapshot, "tw-helper.exe");
        REQUIRE(exe != nullptr);
        CHECK(exe->dwBaseAddress == exe->dwPreferredBase);
        CHECK_FALSE(exe->IsRelocated());
        CHECK(exe->FileSize() > 0);
        CHECK(exe->ftLastWriteTime.Value() != 0);
        const ModuleRecord* loaded = FindModule(snapshot, "restypes.dll");
        REQUIRE(loaded != nullptr);
        CHECK(lstrcmpiA(loaded->strPath.c_str(), (TestPaths::BinFolder() + "restypes.dll").c_str()) == 0);
        CHECK(FindModule(snapshot, "kernel32.dll") != nullptr);

        if (nt) {
            // The parameters of the helper, read out of its memory.
            std::optional<std::string> directory = snapshot.GetProcessCurrentDirectory(helper.Pid());
            REQUIRE(directory);
            CHECK(lstrcmpiA(directory->c_str(), (folder + "\\").c_str()) == 0);
            std::optional<std::string> environment = snapshot.GetProcessEnvironment(helper.Pid());
            REQUIRE(environment);
            bool marker = false;
            for (const char* p = environment->c_str(); *p; p += std::strlen(p) + 1)
                if (std::strcmp(p, "TW_MARKER=hello world") == 0) marker = true;
            CHECK(marker);
            // Wine keeps no DLL path in the block (its buffer is 0): no value then.
            std::optional<std::string> dllPath = snapshot.GetProcessDllPath(helper.Pid());
            if (dllPath) CHECK(dllPath->find('\0') == std::string::npos);
        }

        // A process id that does not exist.
        CHECK_FALSE(snapshot.EnumProcessModules(0x7FFFFFF0, nullptr, 0));
        CHECK(snapshot.Modules().empty());
        if (nt) {
            CHECK_FALSE(snapshot.GetProcessCurrentDirectory(0x7FFFFFF0).has_value());
            CHECK_FALSE(snapshot.GetProcessEnvironment(0x7FFFFFF0).has_value());
        }
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("the console tool shows the helper's true values")
    {
        HelperProcess helper;
        REQUIRE(helper.Start("load restypes.dll"));
        const std::string cli = ConsoleTool();
        const bool nt = ProcessSnapshot().Os().IsNTFamily();

        std::string out;
        DWORD exitCode = 99;
        REQUIRE(RunAndCapture(cli + " ps --raw", out, exitCode));
        CHECK(exitCode == 0);
        // --raw is --format tsv: the records' fields, escaped as in the tables.
        CHECK(out.compare(0, 29, "pid\tparent_pid\tname\tpath\tcomm") == 0);
        char pidText[16];
        snprintf(pidText, sizeof(pidText), "%lu", static_cast<unsigned long>(helper.Pid()));
        std::string row;
        for (size_t start = 0; start < out.size();) {
            size_t end = out.find('\n', start);
            std::string line = out.substr(start, end - start);
            if (Field(line, 0) == pidText) row = line;
            start = end == std::string::npos ? out.size() : end + 1;
        }
        REQUIRE_FALSE(row.empty());
        CHECK(Field(row, 2) == "tw-helper.exe");
        char parentText[16];
        snprintf(parentText, sizeof(parentText), "%lu", GetCurrentProcessId());
        CHECK(Field(row, 1) == parentText);
        if (nt) {
            // Backslashes and quotes of the command line, escaped for the table.
            std::string escaped;
            for (char c : helper.CommandLine()) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
            CHECK(Field(row, 4) == escaped);
            CHECK(Field(row, 6).size() == 25);  // 2026-12-08T18:50:55+01:00
        } else {
            // Unknown on the 9x family: empty, not "..." or an all-ones time.
            CHECK(Field(row, 4) == "");
            CHECK(Field(row, 6) == "");
        }

        REQUIRE(RunAndCapture(cli + " modules --raw " + pidText, out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.find("\n" + std::string(pidText) + "\t1\t") != std::string::npos);  // pid, load order
        CHECK(out.find("\trestypes.dll\t") != std::string::npos);
        CHECK(out.find("\ttw-helper.exe\t") != std::string::npos);

        REQUIRE(RunAndCapture(cli + " modules --raw 2147483632", out, exitCode));
        CHECK(exitCode == 1);
        CHECK(out.find('\n') == out.size() - 1);  // the header alone
        // Ids are decimal even with a leading zero, or hexadecimal after 0x;
        // anything else is a bad command line.
        std::string again;
        REQUIRE(RunAndCapture(cli + " modules --raw 0" + pidText, again, exitCode));
        CHECK(exitCode == 0);
        char hexText[16];
        snprintf(hexText, sizeof(hexText), "0x%lx", static_cast<unsigned long>(helper.Pid()));
        REQUIRE(RunAndCapture(cli + " modules --raw " + hexText, out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out == again);
        for (const char* bad : {"4294967296", "12x", "0x", "-1"}) {
            CAPTURE(bad);
            REQUIRE(RunAndCapture(cli + " modules " + bad, out, exitCode));
            CHECK(exitCode == 2);
            REQUIRE(RunAndCapture(cli + " report --format text --out x.txt " + bad, out, exitCode));
            CHECK(exitCode == 2);
        }

        REQUIRE(RunAndCapture(cli + " finddll RESTYPES.*", out, exitCode));
        CHECK(exitCode == 0);
        const std::string expected = std::string("tw-helper.exe [") + pidText + "]\n\trestypes.dll\t";
        CHECK(out.find(expected) != std::string::npos);

        REQUIRE(RunAndCapture(cli + " machine", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.compare(0, 9, "Machine: ") == 0);
        CHECK(out.find("\nOS: ") != std::string::npos);
        CHECK(out.find("\nLocal User: ") != std::string::npos);
        CHECK(out.find('\r') == std::string::npos);
    }
}

TEST_SUITE("snapshot")
{
    TEST_CASE("an OS kind the table does not name uses the native path")
    {
        ProcessSnapshot snapshot;
        if (snapshot.Os().nKind != 0) return;  // only under Wine's default version
        REQUIRE(snapshot.IsValid());
        REQUIRE(snapshot.EnumProcesses(nullptr, 0));
        REQUIRE(snapshot.Processes().size() >= 2);
        CHECK(snapshot.Processes().front().strName != "System Idle Process");
        CHECK_FALSE(snapshot.IsIdleProcess(snapshot.Processes().front().dwProcessId));
        HelperProcess helper;
        REQUIRE(helper.Start(""));
        REQUIRE(snapshot.EnumProcesses(nullptr, 0));
        const ProcessRecord* record = FindProcess(snapshot, helper.Pid());
        REQUIRE(record != nullptr);
        CHECK(record->strCommandLine == helper.CommandLine());
        CHECK(record->strOwner.compare(0, 2, "\\\\") == 0);
    }
}
