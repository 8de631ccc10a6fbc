#include "tests/e2e/DebugOutputListener.h"

#include "tests/e2e/Wait.h"

#include <cstring>

namespace {
const DWORD kBufferSize = 4096;
const DWORD kRearmMs = 2000;
}

DebugOutputListener& DebugOutputListener::Instance()
{
    static DebugOutputListener listener;
    return listener;
}

DebugOutputListener::DebugOutputListener()
    : hBufferReady(nullptr), hDataReady(nullptr), hMapping(nullptr), hStop(nullptr), hThread(nullptr), pView(nullptr)
{
    InitializeCriticalSection(&csLines);
}

DebugOutputListener::~DebugOutputListener()
{
    Stop();
    DeleteCriticalSection(&csLines);
}

bool DebugOutputListener::Start()
{
    if (hThread) return true;
    hBufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    const bool taken = GetLastError() == ERROR_ALREADY_EXISTS;
    hDataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    hMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER");
    if (hMapping) pView = static_cast<const char*>(MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, kBufferSize));
    hStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (taken || !hBufferReady || !hDataReady || !pView || !hStop) {
        Stop();
        return false;
    }
    hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!hThread) Stop();
    return hThread != nullptr;
}

void DebugOutputListener::Stop()
{
    if (hThread) {
        SetEvent(hStop);
        WaitForSingleObject(hThread, 5000);
        CloseHandle(hThread);
        hThread = nullptr;
    }
    if (pView) UnmapViewOfFile(pView);
    pView = nullptr;
    for (HANDLE* handle : {&hBufferReady, &hDataReady, &hMapping, &hStop}) {
        if (*handle) CloseHandle(*handle);
        *handle = nullptr;
    }
}

DWORD WINAPI DebugOutputListener::ThreadProc(void* context)
{
    static_cast<DebugOutputListener*>(context)->Run();
    return 0;
}

void DebugOutputListener::Run()
{
    HANDLE waits[2] = {hDataReady, hStop};
    for (;;) {
        SetEvent(hBufferReady);
        // A writer terminated between taking the buffer and filling it never
        // signals: offer the buffer again after a while, or every later
        // OutputDebugString would stall for its 10 s timeout.
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kRearmMs);
        if (woke == WAIT_TIMEOUT) continue;
        if (woke != WAIT_OBJECT_0) return;
        DebugLine line;
        std::memcpy(&line.pid, pView, sizeof(DWORD));
        const char* text = pView + sizeof(DWORD);
        line.text.assign(text, strnlen(text, kBufferSize - sizeof(DWORD)));
        EnterCriticalSection(&csLines);
        lines.push_back(line);
        LeaveCriticalSection(&csLines);
    }
}

std::vector<DebugLine> DebugOutputListener::Lines(DWORD pid, size_t since) const
{
    std::vector<DebugLine> selected;
    EnterCriticalSection(&csLines);
    for (size_t i = since; i < lines.size(); ++i)
        if (!pid || lines[i].pid == pid) selected.push_back(lines[i]);
    LeaveCriticalSection(&csLines);
    return selected;
}

std::string DebugOutputListener::Text(DWORD pid, size_t since) const
{
    std::string text;
    for (const DebugLine& line : Lines(pid, since)) text += line.text;
    return text;
}

size_t DebugOutputListener::Mark() const
{
    EnterCriticalSection(&csLines);
    const size_t count = lines.size();
    LeaveCriticalSection(&csLines);
    return count;
}

bool DebugOutputListener::WaitFor(DWORD pid, const std::string& text, DWORD timeoutMs, size_t since) const
{
    return Wait::Until(
        [&] {
            for (const DebugLine& line : Lines(pid, since))
                if (line.text.find(text) != std::string::npos) return true;
            return false;
        },
        timeoutMs);
}
