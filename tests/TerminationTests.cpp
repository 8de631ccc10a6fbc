#include <doctest/doctest.h>

#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "app/menus/StringTable.h"
#include "cli/TabText.h"
#include "sysinfo/ProcessSnapshot.h"
#include "tools/TerminationRun.h"

#include <map>
#include <vector>

namespace {

// Answers from a table and records the order of the calls.
class FakeTerminator : public ProcessTerminator {
public:
    struct Answer {
        bool bGone;
        uint32_t dwCode;
        const char* szText;
    };
    bool Terminate(uint32_t pid, uint32_t timeout, uint64_t creationTime) override
    {
        calls.push_back(pid);
        timeouts.push_back(timeout);
        times.push_back(creationTime);
        auto found = answers.find(pid);
        if (found == answers.end()) return true;
        if (!found->second.bGone) {
            strLastError = found->second.szText;
            dwLastError = found->second.dwCode;
        }
        return found->second.bGone;
    }
    std::map<uint32_t, Answer> answers;
    std::vector<uint32_t> calls, timeouts;
    std::vector<uint64_t> times;
};

TerminationEntry Entry(const char* name, uint32_t pid, uint64_t created = 0)
{
    TerminationEntry entry;
    entry.strName = name;
    entry.dwProcessId = pid;
    entry.qwCreationTime = created;
    return entry;
}

std::string SystemText(DWORD code)
{
    char text[260] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr);
    return text;
}

std::string NotTerminated(const std::string& name, DWORD pid, DWORD code, const std::string& text)
{
    return name + " [PID: " + std::to_string(pid) + "] could not be terminated!\r\nErrorCode: " + std::to_string(code)
         + "\r\nErrorDescription: " + text + "\r\n";
}

uint64_t SnapshotCreationTime(DWORD pid)
{
    ProcessSnapshot snapshot;
    REQUIRE(snapshot.EnumProcesses(nullptr, 0));
    for (const ProcessRecord& record : snapshot.Processes())
        if (record.dwProcessId == pid) return record.ftCreationTime.Value();
    FAIL("helper not in the snapshot");
    return 0;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string Lower(std::string text)
{
    CharLowerA(&text[0]);
    return text;
}

} // namespace

TEST_SUITE("termination")
{
    TEST_CASE("the run: list order with the own process last, states and the exact error texts")
    {
        FakeTerminator terminator;
        terminator.answers[40] = {false, 5, "Access is denied.\r\n"};
        terminator.answers[50] = {false, 87, "The parameter is incorrect.\r\n"};
        std::vector<TerminationEntry> entries = {Entry("a.exe", 10, 111), Entry("tarnwick.exe", 20),
                                                 Entry("b.exe", 30), Entry("c.exe", 40), Entry("d.exe", 50)};
        entries[2].nState = TerminationEntry::Terminated;  // done before: not asked again

        std::vector<size_t> seen;
        TerminationRun run(terminator, 20, StringTable::Load(56));
        const size_t failures = run.Run(
            entries, [](size_t index, void* context) { static_cast<std::vector<size_t>*>(context)->push_back(index); },
            &seen);

        CHECK(terminator.calls == std::vector<uint32_t>{10, 40, 50, 20});
        CHECK(terminator.timeouts == std::vector<uint32_t>{2000, 2000, 2000, 2000});
        CHECK(terminator.times[0] == 111);
        CHECK(seen == std::vector<size_t>{0, 3, 4, 1});
        CHECK(failures == 2);
        CHECK(entries[0].nState == TerminationEntry::Terminated);
        CHECK(entries[1].nState == TerminationEntry::Terminated);
        CHECK(entries[3].nState == TerminationEntry::Failed);
        CHECK(entries[4].nState == TerminationEntry::Failed);
        REQUIRE(run.Errors().size() == 2);
        CHECK(run.Errors()[0] == "c.exe [PID: 40] could not be terminated!\r\nErrorCode: 5\r\n"
                                 "ErrorDescription: Access is denied.\r\n\r\n");
        CHECK(run.Errors()[1] == NotTerminated("d.exe", 50, 87, "The parameter is incorrect.\r\n"));
        CHECK(run.JoinedErrors() == run.Errors()[0] + run.Errors()[1]);

        // Only the own process: it is still processed.
        FakeTerminator alone;
        std::vector<TerminationEntry> own = {Entry("tarnwick.exe", 20)};
        TerminationRun(alone, 20, StringTable::Load(56)).Run(own);
        CHECK(alone.calls == std::vector<uint32_t>{20});
    }

    TEST_CASE("a replaced error template cannot overrun or read missing arguments")
    {
        FakeTerminator terminator;
        terminator.answers[7] = {false, 0xC0000005, "text"};
        const std::string longName(259, 'n');
        for (const char* pattern : {"%s%s%s%s%s%s%s%s %n %d", "%999999999d|%.999999999s|%*d", "%d %s %d %s", "%",
                                    "100%% %x %X %08u %-5d| %c %p %I64d %lld"}) {
            CAPTURE(pattern);
            std::vector<TerminationEntry> entries = {Entry(longName.c_str(), 7)};
            TerminationRun run(terminator, 1, pattern);
            run.Run(entries);
            REQUIRE(run.Errors().size() == 1);
            CHECK(run.Errors()[0].size() <= TerminationRun::kMaxErrorText);
        }
        // A template whose conversions do not take name, PID, code and text
        // gives way to the program's own; one that does is used.
        std::vector<TerminationEntry> entries = {Entry("x.exe", 7)};
        TerminationRun numbers(terminator, 1, "%d %s %d %s");
        numbers.Run(entries);
        CHECK(numbers.Errors()[0]
              == "x.exe [PID: 7] could not be terminated!\r\nErrorCode: -1073741819\r\nErrorDescription: text\r\n");
        entries = {Entry("x.exe", 7)};
        TerminationRun translated(terminator, 1, "%-6s|%5d|%08X|%.2s");
        translated.Run(entries);
        CHECK(translated.Errors()[0] == "x.exe |    7|C0000005|te");
    }
}

TEST_SUITE("family")
{
    TEST_CASE("terminating helper processes: live, ended, released, reused id")
    {
        ProcessTerminator terminator;

        SUBCASE("a live process ends")
        {
            HelperProcess helper;
            REQUIRE(helper.Start(""));
            CHECK(terminator.Terminate(helper.Pid(), 2000, SnapshotCreationTime(helper.Pid())));
            CHECK(WaitForSingleObject(helper.Handle(), 0) == WAIT_OBJECT_0);
        }
        SUBCASE("an id that was released fails with the system's text for 87")
        {
            HelperProcess helper;
            REQUIRE(helper.Start(""));
            const DWORD pid = helper.Pid();
            helper.End();
            REQUIRE(WaitForIdReleased(pid, 5000));
            CHECK_FALSE(terminator.Terminate(pid, 2000));
            CHECK(terminator.LastErrorCode() == 87);
            CHECK(terminator.LastErrorText() == SystemText(87));
            CHECK(!terminator.LastErrorText().empty());
        }
        SUBCASE("a process that ended while a handle keeps it counts as terminated")
        {
            HelperProcess helper;
            REQUIRE(helper.Start(""));
            const uint64_t created = SnapshotCreationTime(helper.Pid());
            TerminateProcess(helper.Handle(), 0);
            REQUIRE(WaitForSingleObject(helper.Handle(), 5000) == WAIT_OBJECT_0);
            CHECK(terminator.Terminate(helper.Pid(), 2000, created));
        }
        SUBCASE("another creation time: a different program has the id; it stays")
        {
            HelperProcess helper;
            REQUIRE(helper.Start(""));
            FILETIME created, exited, kernel, user;
            REQUIRE(GetProcessTimes(helper.Handle(), &created, &exited, &kernel, &user));
            const uint64_t earlier = ((uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime) - 10000000;
            CHECK_FALSE(terminator.Terminate(helper.Pid(), 2000, earlier));
            CHECK(terminator.LastErrorCode() == 87);
            CHECK(terminator.LastErrorText() == SystemText(87));
            CHECK(helper.IsRunning());
        }
    }

    TEST_CASE("tarnwick-cli kill: rows per process, the errors on stderr, exit status")
    {
        HelperProcess first, second, gone;
        REQUIRE(first.Start(""));
        REQUIRE(second.Start(""));
        REQUIRE(gone.Start(""));
        const DWORD released = gone.Pid();
        gone.End();
        REQUIRE(WaitForIdReleased(released, 5000));

        std::string out, err;
        DWORD status = 0;
        char hexPid[16];
        snprintf(hexPid, sizeof(hexPid), "0x%lX", static_cast<unsigned long>(second.Pid()));
        REQUIRE(RunAndCapture(ConsoleTool() + " kill " + std::to_string(first.Pid()) + " " + std::to_string(released)
                                  + " " + hexPid,
                              out, err, status));
        CHECK(status == 1);
        const std::vector<std::string> lines = Lines(out);
        REQUIRE(lines.size() == 4);
        CHECK(lines[0] == "PID\tName\tResult\tErrorCode\tErrorDescription");
        CHECK(Lower(lines[1]) == std::to_string(first.Pid()) + "\ttw-helper.exe\tterminated\t0\t");
        std::string text = SystemText(87);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        CHECK(lines[2] == std::to_string(released) + "\t...\tFailed\t87\t" + TabText::Escape(text));
        CHECK(Lower(lines[3]) == std::to_string(second.Pid()) + "\ttw-helper.exe\tterminated\t0\t");
        // One line per failure on standard error: the process, the system's text and code.
        CHECK(err.find("tarnwick-cli: kill: process " + std::to_string(released) + " (...) could not be terminated: "
                       + text + " (error 87)")
              == 0);
        CHECK(Lines(err).size() == 1);
        CHECK_FALSE(first.IsRunning());
        CHECK_FALSE(second.IsRunning());

        // Bad command lines change nothing.
        HelperProcess survivor;
        REQUIRE(survivor.Start(""));
        for (const std::string& arguments : {std::string(""), std::string(" abc"),
                                             " " + std::to_string(survivor.Pid()) + " 12abc", std::string(" 0x"),
                                             std::string(" -5")}) {
            CAPTURE(arguments);
            REQUIRE(RunAndCapture(ConsoleTool() + " kill" + arguments, out, err, status));
            CHECK(status == 2);
            CHECK(out.empty());
        }
        CHECK(survivor.IsRunning());
    }
}
