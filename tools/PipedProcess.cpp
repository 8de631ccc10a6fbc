#include "tools/PipedProcess.h"

#include "sysinfo/DebugOutput.h"

#include <cstdio>

namespace {

// Larger than the default, so that a fast writer needs fewer turns.
const DWORD kPipeSize = 64 * 1024;
// How long a reader waits for the stop event when the pipe is empty.
const DWORD kPollMs = 5;
// After the child ended, how long the readers may still drain the pipes (a
// grandchild that inherited them can keep them open).
const DWORD kDrainMs = 2000;
// What a reader still takes from a pipe once told to stop.
const DWORD kFinalDrainLimit = 1024 * 1024;

bool MakePipe(HANDLE& read, HANDLE& write, bool parentReads)
{
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, TRUE};
    HANDLE inheritableRead = nullptr, inheritableWrite = nullptr;
    if (!CreatePipe(&inheritableRead, &inheritableWrite, &attributes, kPipeSize)) return false;
    // The parent's end becomes a handle that the child does not inherit.
    HANDLE& parentEnd = parentReads ? inheritableRead : inheritableWrite;
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), parentEnd, GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        CloseHandle(inheritableRead);
        CloseHandle(inheritableWrite);
        return false;
    }
    CloseHandle(parentEnd);
    parentEnd = copy;
    read = inheritableRead;
    write = inheritableWrite;
    return true;
}

void CloseIf(HANDLE& handle)
{
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

} // namespace

PipedProcess::PipedProcess()
    : hStopEvent(nullptr), hOutputRead(nullptr), hErrorRead(nullptr), hOutputThread(nullptr), hErrorThread(nullptr),
      hWatcherThread(nullptr), hProcess(nullptr), dwExitCode(STILL_ACTIVE), dwWatcherId(0), readers{}
{
}

PipedProcess::~PipedProcess()
{
    Stop();
}

void PipedProcess::Started(const std::string&) {}
void PipedProcess::Output(const char*, size_t) {}
void PipedProcess::ErrorOutput(const char*, size_t) {}
void PipedProcess::Finished() {}

bool PipedProcess::Start(const std::string& commandLine, bool show, const std::string& folder)
{
    Stop();
    dwExitCode = STILL_ACTIVE;
    HANDLE inputRead = nullptr, inputWrite = nullptr, outputWrite = nullptr, errorWrite = nullptr;
    DWORD error = 0;
    bool created = MakePipe(inputRead, inputWrite, false) && MakePipe(hOutputRead, outputWrite, true)
                && MakePipe(hErrorRead, errorWrite, true);
    PROCESS_INFORMATION process = {};
    if (created) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show ? SW_SHOW : SW_HIDE);
        startup.hStdInput = inputRead;
        startup.hStdOutput = outputWrite;
        startup.hStdError = errorWrite;
        std::string line = commandLine;
        // No security descriptor: the child gets the default one, not a null DACL.
        created = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                                 folder.empty() ? nullptr : folder.c_str(), &startup, &process) != FALSE;
    }
    if (!created) error = GetLastError();
    // The child holds its ends now; ours go at once, and so does the input's
    // write end: a child that reads gets end of file instead of waiting.
    CloseIf(inputRead);
    CloseIf(outputWrite);
    CloseIf(errorWrite);
    CloseIf(inputWrite);
    if (!created) {
        CloseIf(hOutputRead);
        CloseIf(hErrorRead);
        char message[64];
        std::snprintf(message, sizeof(message), "Unable to start %%s\r\nError Code: %lu",
                      static_cast<unsigned long>(error));
        std::string text(message);
        text.replace(text.find("%s"), 2, commandLine);
        Output(text.c_str(), text.size());
        return false;
    }
    CloseHandle(process.hThread);
    hProcess = process.hProcess;
    hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);

    Started(commandLine);

    readers[0] = {this, hOutputRead, false};
    readers[1] = {this, hErrorRead, true};
    DWORD id = 0;  // Windows 95 wants somewhere to put the id
    hOutputThread = CreateThread(nullptr, 0, ReaderThread, &readers[0], 0, &id);
    hErrorThread = CreateThread(nullptr, 0, ReaderThread, &readers[1], 0, &id);
    hWatcherThread = CreateThread(nullptr, 0, WatcherThread, this, 0, &dwWatcherId);
    return true;
}

bool PipedProcess::IsRunning() const
{
    DWORD code = 0;
    return hProcess && GetExitCodeProcess(hProcess, &code) && code == STILL_ACTIVE;
}

DWORD PipedProcess::ExitCode() const
{
    DWORD code = dwExitCode;
    if (hProcess) GetExitCodeProcess(hProcess, &code);
    return code;
}

DWORD WINAPI PipedProcess::ReaderThread(void* parameter)
{
    Reader* reader = static_cast<Reader*>(parameter);
    try {
        reader->pOwner->ReadUntilBroken(reader->hPipe, reader->bError);
    } catch (...) {
        // Never out of the thread: that would end the program.
        DebugOutput::Write("PipedProcess: a reader thread stopped on an exception\n");
        return 1;
    }
    return 0;
}

DWORD WINAPI PipedProcess::WatcherThread(void* parameter)
{
    try {
        static_cast<PipedProcess*>(parameter)->Watch();
    } catch (...) {
        DebugOutput::Write("PipedProcess: the watcher thread stopped on an exception\n");
        return 1;
    }
    return 0;
}

void PipedProcess::ReadUntilBroken(HANDLE pipe, bool error)
{
    // Never blocks in ReadFile: it reads only what is there, so that a stop
    // request is seen and nobody has to kill this thread.
    char buffer[4096];
    bool stopping = false;
    DWORD drained = 0;
    for (;;) {
        DWORD available = 0;
        if (!pipe || !PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) break;  // broken: all read
        if (available) {
            DWORD got = 0;
            const DWORD wanted = available < sizeof(buffer) ? available : sizeof(buffer);
            if (!ReadFile(pipe, buffer, wanted, &got, nullptr)) break;
            if (got) {
                // A chunk the receiver cannot take (out of memory) is lost; the
                // pipe is still drained, so the child is never left blocked.
                try {
                    if (error)
                        ErrorOutput(buffer, got);
                    else
                        Output(buffer, got);
                } catch (...) {
                    DebugOutput::Write("PipedProcess: output lost on an exception\n");
                }
            }
            if (stopping && (drained += got) >= kFinalDrainLimit) break;
            continue;
        }
        if (stopping) break;
        if (WaitForSingleObject(hStopEvent, kPollMs) == WAIT_OBJECT_0) stopping = true;
    }
}

void PipedProcess::Watch()
{
    HANDLE ends[2] = {hStopEvent, hProcess};
    if (WaitForMultipleObjects(2, ends, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        DWORD code = 0;
        GetExitCodeProcess(hProcess, &code);
        DebugOutput::Format(96, "PipedProcess: the program ended with exit code 0x%08lX\n",
                            static_cast<unsigned long>(code));
    }
    // Everything the child wrote before it ended comes first: the readers
    // stop when the pipes break, or when told to after the drain time.
    HANDLE threads[2] = {hOutputThread, hErrorThread};
    const DWORD count = (threads[0] ? 1 : 0) + (threads[1] ? 1 : 0);
    if (count == 2 && WaitForMultipleObjects(2, threads, TRUE, kDrainMs) == WAIT_TIMEOUT) {
        SetEvent(hStopEvent);
        WaitForMultipleObjects(2, threads, TRUE, kDrainMs);
    }
    try {
        Finished();
    } catch (...) {
        DebugOutput::Write("PipedProcess: Finished() ended on an exception\n");
    }
}

void PipedProcess::Stop()
{
    if (!hProcess && !hWatcherThread) {
        CloseHandles();
        return;
    }
    if (GetCurrentThreadId() == dwWatcherId) {
        DebugOutput::Write("PipedProcess::Stop: called from Finished(); ignored\n");
        return;
    }
    if (IsRunning()) {
        TerminateProcess(hProcess, 1);
        WaitForSingleObject(hProcess, 1000);
    }
    if (hStopEvent) SetEvent(hStopEvent);
    HANDLE threads[3] = {hWatcherThread, hOutputThread, hErrorThread};
    for (HANDLE& thread : threads) {
        if (!thread) continue;
        if (WaitForSingleObject(thread, 3 * kDrainMs) == WAIT_TIMEOUT) {
            // Not expected: the threads never block for long. Better a lost
            // thread than a callback into a destroyed object.
            DebugOutput::Write("PipedProcess::Stop: a runner thread did not end; terminated\n");
            TerminateThread(thread, 1);
        }
    }
    if (hProcess) GetExitCodeProcess(hProcess, &dwExitCode);
    dwWatcherId = 0;
    CloseHandles();
}

void PipedProcess::CloseHandles()
{
    CloseIf(hWatcherThread);
    CloseIf(hOutputThread);
    CloseIf(hErrorThread);
    CloseIf(hOutputRead);
    CloseIf(hErrorRead);
    CloseIf(hProcess);
    CloseIf(hStopEvent);
}
