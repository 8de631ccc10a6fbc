// tw-e2e.exe: the GUI end-to-end tests, run by run-e2e.sh inside a Wine
// virtual desktop.
//   tw-e2e [doctest options]          runs the tests
//   tw-e2e --dump [PID|TITLE]         prints what the driver reads of the
//                                     windows of a running program
//   tw-e2e --dump-run "EXE [SWITCHES]" [SECONDS]
//                                     starts EXE from the program folder, waits
//                                     for its window (and SECONDS, default 2),
//                                     prints the dump, saves screenshots\dump.png
//                                     and ends it
// The result ("rc=N") also goes to tw-e2e.result beside the program, for
// the script (the desktop's explorer does not pass the exit code on).
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include "tests/e2e/BoxGuard.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Program.h"
#include "tests/e2e/ScreenImage.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/DebugOutputListener.h"
#include "tests/e2e/E2eLog.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/WindowDump.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstring>

namespace {

// Names the test case for the driver, and keeps a screenshot and a window
// dump of the moment a test first fails.
struct E2eListener : public doctest::IReporter {
    explicit E2eListener(const doctest::ContextOptions&) {}

    void report_query(const doctest::QueryData&) override {}
    void test_run_start() override {}
    void test_run_end(const doctest::TestRunStats&) override {}
    void test_case_start(const doctest::TestCaseData& data) override
    {
        E2eLog::SetTestCase(data.m_name);
        bCaptured = false;
        BoxGuard::Reset();
    }
    void test_case_reenter(const doctest::TestCaseData&) override {}
    void test_case_end(const doctest::CurrentTestCaseStats& stats) override
    {
        if (stats.failure_flags) Capture("end");
        E2eLog::SetTestCase(nullptr);
    }
    void test_case_exception(const doctest::TestCaseException&) override { Capture("exception"); }
    void subcase_start(const doctest::SubcaseSignature&) override {}
    void subcase_end() override {}
    void log_assert(const doctest::AssertData& data) override
    {
        if (data.m_failed) Capture("failure");
    }
    void log_message(const doctest::MessageData& data) override
    {
        if (data.m_severity & (doctest::assertType::is_check | doctest::assertType::is_require)) Capture("failure");
    }
    void test_case_skipped(const doctest::TestCaseData&) override {}

private:
    void Capture(const char* tag)
    {
        if (bCaptured) return;
        bCaptured = true;
        const std::string shot = Screenshot::SaveDesktopNow(tag);
        const std::string dumpPath = shot.empty() ? std::string() : shot.substr(0, shot.size() - 4) + ".txt";
        if (!dumpPath.empty()) {
            if (FILE* file = std::fopen(dumpPath.c_str(), "w")) {
                std::fputs(WindowDump::DescribeMatching("").c_str(), file);
                std::fclose(file);
            }
        }
        std::printf("e2e: failure screenshot %s\n", shot.empty() ? "(none)" : shot.c_str());
    }

    bool bCaptured = false;
};

REGISTER_LISTENER("e2e", 1, E2eListener);

// Written whole under another name first: the script reads it once it exists.
void WriteResult(int result)
{
    std::fflush(stdout);
    const std::string path = E2ePaths::ProgramPath("tw-e2e.result");
    const std::string temporary = path + ".tmp";
    if (FILE* file = std::fopen(temporary.c_str(), "w")) {
        std::fprintf(file, "rc=%d\n", result);
        std::fclose(file);
        MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

int DumpRun(const std::string& commandLine, int seconds)
{
    const size_t space = commandLine.find(' ');
    Program program(commandLine.substr(0, space));
    if (!program.Start(space == std::string::npos ? std::string() : commandLine.substr(space + 1))) return 1;
    if (!Wait::Until([&] { return !program.Windows().empty(); }, 15000))
        std::fprintf(stderr, "e2e: %s showed no window in 15 s\n", commandLine.c_str());
    Wait::Pause(static_cast<DWORD>(seconds) * 1000);
    std::fputs(WindowDump::DescribeMatching(std::to_string(program.Pid())).c_str(), stdout);
    const std::string shot = E2ePaths::ScreenshotFolder() + "dump.png";
    if (ScreenImage::CaptureDesktop().SavePng(shot)) std::printf("screenshot: %s\n", shot.c_str());
    program.Kill();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--dump") == 0) {
        std::fputs(WindowDump::DescribeMatching(argc >= 3 ? argv[2] : "").c_str(), stdout);
        WriteResult(0);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--dump-run") == 0) {
        DebugOutputListener::Instance().Start();
        const int result = DumpRun(argv[2], argc >= 4 ? std::atoi(argv[3]) : 2);
        WriteResult(result);
        return result;
    }
    DeleteFileA(E2ePaths::ProgramPath("tw-e2e.result").c_str());
    // Before any target starts: programs only find a listener that existed
    // at their first OutputDebugString.
    if (!DebugOutputListener::Instance().Start())
        std::fprintf(stderr, "e2e: another debug output listener runs: no DBWIN capture\n");

    doctest::Context context;
    context.applyCommandLine(argc, argv);
    const int result = context.run();
    BoxGuard::Reset();
    DebugOutputListener::Instance().Stop();
    WriteResult(result);
    std::fflush(stdout);
    return result;
}
