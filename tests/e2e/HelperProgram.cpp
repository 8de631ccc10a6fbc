#include "tests/e2e/HelperProgram.h"

#include "tests/e2e/Desktop.h"
#include "tests/e2e/E2eLog.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/Wait.h"

HelperProgram::~HelperProgram()
{
    Kill();
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
}

std::string HelperProgram::NewEventName(const char* tag)
{
    static unsigned counter = 0;
    return Format("%s-%lu-%u", tag, GetCurrentProcessId(), ++counter);
}

bool HelperProgram::Start(const std::string& verbs)
{
    const std::string ready = NewEventName("tw-e2e-ready");
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
    std::string line = "\"" + E2ePaths::ProgramPath("tw-helper.exe") + "\" wait " + ready
                     + (verbs.empty() ? "" : " ") + verbs;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    const std::string folder = E2ePaths::ProgramFolder();
    bool started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                                  &info) != FALSE;
    HANDLE waits[2] = {event, info.hProcess};
    const bool isReady = started && WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
    CloseHandle(event);
    if (!isReady) {
        DWORD code = 0;
        if (info.hProcess) GetExitCodeProcess(info.hProcess, &code);
        E2eLog::Fail(Format("tw-helper did not get ready: %s (exit code %lu)", line.c_str(),
                            static_cast<unsigned long>(code)));
    }
    return isReady;
}

bool HelperProgram::IsRunning() const
{
    return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

void HelperProgram::Kill()
{
    if (!IsRunning()) return;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
}

bool HelperProgram::TriggerLoad(const std::string& eventName, DWORD timeoutMs)
{
    HANDLE loaded = CreateEventA(nullptr, TRUE, FALSE, (eventName + "-loaded").c_str());
    HANDLE trigger = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    SetEvent(trigger);
    const bool done = WaitForSingleObject(loaded, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(trigger);
    CloseHandle(loaded);
    return done;
}

Window HelperProgram::WaitForWindow(const std::string& title, DWORD timeoutMs) const
{
    return Desktop::WaitFor(WindowQuery("", title, Pid()), timeoutMs);
}
