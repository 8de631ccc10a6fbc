#include "tests/e2e/DebugSession.h"

#include "tests/e2e/Wait.h"

DebugSession::DebugSession()
    : hThread(nullptr), hStarted(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      hStop(CreateEventA(nullptr, TRUE, FALSE, nullptr)), hProcess(nullptr), hDebuggeeProcess(nullptr), dwPid(0),
      bStartFailed(false), bInitialBreakpointSeen(false), nEnded(0)
{
    InitializeCriticalSection(&csData);
}

DebugSession::~DebugSession()
{
    if (hThread) {
        SetEvent(hStop);
        if (WaitForSingleObject(hThread, 10000) != WAIT_OBJECT_0) TerminateThread(hThread, 1);
        CloseHandle(hThread);
    }
    if (hProcess) CloseHandle(hProcess);
    CloseHandle(hStarted);
    CloseHandle(hStop);
    DeleteCriticalSection(&csData);
}

bool DebugSession::Start(const std::string& commandLine, const std::string& directory)
{
    if (hThread) return false;
    strCommandLine = commandLine;
    strDirectory = directory;
    hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!hThread) return false;
    WaitForSingleObject(hStarted, 30000);
    return !bStartFailed && hProcess != nullptr;
}

DWORD WINAPI DebugSession::ThreadProc(void* context)
{
    static_cast<DebugSession*>(context)->Run();
    return 0;
}

void DebugSession::Run()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string line = strCommandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        strDirectory.empty() ? nullptr : strDirectory.c_str(), &startup, &info)) {
        bStartFailed = true;
        InterlockedExchange(&nEnded, 1);
        SetEvent(hStarted);
        return;
    }
    hDebuggeeProcess = info.hProcess;
    CloseHandle(info.hThread);
    DuplicateHandle(GetCurrentProcess(), info.hProcess, GetCurrentProcess(), &hProcess, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    dwPid = info.dwProcessId;
    SetEvent(hStarted);

    bool terminating = false;
    for (;;) {
        if (!terminating && WaitForSingleObject(hStop, 0) == WAIT_OBJECT_0) {
            TerminateProcess(hDebuggeeProcess, 1);
            terminating = true;
        }
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 100)) continue;
        DWORD continueStatus = DBG_CONTINUE;
        Record(event, continueStatus);
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT && event.dwProcessId == dwPid) break;
    }
    CloseHandle(hDebuggeeProcess);
    InterlockedExchange(&nEnded, 1);
}

void DebugSession::Record(const DEBUG_EVENT& event, DWORD& continueStatus)
{
    switch (event.dwDebugEventCode) {
    case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
    case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
    case EXIT_THREAD_DEBUG_EVENT:
        EnterCriticalSection(&csData);
        threadExitCodes.push_back(event.u.ExitThread.dwExitCode);
        LeaveCriticalSection(&csData);
        break;
    case OUTPUT_DEBUG_STRING_EVENT: {
        const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
        const size_t bytes = info.nDebugStringLength * (info.fUnicode ? 2 : 1);
        std::string text;
        if (bytes && bytes < 65536) {
            std::vector<char> buffer(bytes + 2, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(hDebuggeeProcess, info.lpDebugStringData, buffer.data(), bytes, &got);
            if (info.fUnicode) {
                const int length = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(buffer.data()), -1,
                                                       nullptr, 0, nullptr, nullptr);
                if (length > 0) {
                    text.resize(length);
                    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(buffer.data()), -1, &text[0],
                                        length, nullptr, nullptr);
                }
            } else {
                text = buffer.data();
            }
            text.resize(strnlen(text.c_str(), text.size()));
        }
        EnterCriticalSection(&csData);
        lines.push_back(text);
        LeaveCriticalSection(&csData);
        break;
    }
    case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        const bool firstChance = event.u.Exception.dwFirstChance != 0;
        if (record.ExceptionCode == EXCEPTION_BREAKPOINT && firstChance && !bInitialBreakpointSeen) {
            bInitialBreakpointSeen = true;   // the loader's breakpoint when attaching
            break;
        }
        DebugException exception;
        exception.code = record.ExceptionCode;
        exception.address = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(record.ExceptionAddress));
        exception.threadId = event.dwThreadId;
        exception.firstChance = firstChance;
        EnterCriticalSection(&csData);
        exceptions.push_back(exception);
        LeaveCriticalSection(&csData);
        continueStatus = DBG_EXCEPTION_NOT_HANDLED;
        break;
    }
    default:
        break;
    }
}

std::vector<std::string> DebugSession::Lines(size_t since) const
{
    EnterCriticalSection(&csData);
    std::vector<std::string> copy(since < lines.size() ? lines.begin() + since : lines.end(), lines.end());
    LeaveCriticalSection(&csData);
    return copy;
}

std::string DebugSession::Text(size_t since) const
{
    std::string text;
    for (const std::string& line : Lines(since)) text += line;
    return text;
}

size_t DebugSession::Mark() const
{
    EnterCriticalSection(&csData);
    const size_t count = lines.size();
    LeaveCriticalSection(&csData);
    return count;
}

bool DebugSession::WaitForLine(const std::string& text, DWORD timeoutMs, size_t since) const
{
    return Wait::Until(
        [&] {
            for (const std::string& line : Lines(since))
                if (line.find(text) != std::string::npos) return true;
            return false;
        },
        timeoutMs);
}

std::vector<DebugException> DebugSession::Exceptions() const
{
    EnterCriticalSection(&csData);
    std::vector<DebugException> copy = exceptions;
    LeaveCriticalSection(&csData);
    return copy;
}

std::vector<DebugException> DebugSession::Crashes() const
{
    std::vector<DebugException> crashes;
    for (const DebugException& exception : Exceptions())
        if (!exception.firstChance) crashes.push_back(exception);
    return crashes;
}

std::vector<DWORD> DebugSession::ThreadExitCodes() const
{
    EnterCriticalSection(&csData);
    std::vector<DWORD> codes = threadExitCodes;
    LeaveCriticalSection(&csData);
    return codes;
}

bool DebugSession::Ended() const
{
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&nEnded), 0, 0) != 0;
}
