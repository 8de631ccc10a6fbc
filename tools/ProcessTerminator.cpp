#include "tools/ProcessTerminator.h"

#include <windows.h>

namespace {
const DWORD kTerminateAndWait = PROCESS_TERMINATE | SYNCHRONIZE;
const int kAttempts = 3;

uint64_t Value(const FILETIME& time)
{
    return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool Known(uint64_t time)
{
    return time != 0 && time != ~uint64_t(0);
}

// False only when the process's creation time is known on both sides and differs.
bool SameProcess(HANDLE process, uint64_t expected)
{
    if (!Known(expected)) return true;
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return true;
    return !Known(Value(created)) || Value(created) == expected;
}
} // namespace

void ProcessTerminator::RecordError(uint32_t code)
{
    strLastError.clear();
    dwLastError = code;
    if (!code) return;
    char text[260] = {};
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof(text), nullptr))
        strLastError = text;
}

bool ProcessTerminator::Terminate(uint32_t processId, uint32_t timeout, uint64_t creationTime)
{
    // The query right lets us compare creation times; without it the check is skipped.
    bool checkable = true;
    HANDLE process = OpenProcess(kTerminateAndWait | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) {
        checkable = false;
        process = OpenProcess(kTerminateAndWait, FALSE, processId);
    }
    if (!process) {
        RecordError(GetLastError());
        return false;
    }
    if (checkable && !SameProcess(process, creationTime)) {
        CloseHandle(process);
        RecordError(ERROR_INVALID_PARAMETER);
        return false;
    }

    bool gone = false;
    for (int attempt = 0; attempt < kAttempts && !gone; ++attempt) {
        if (TerminateProcess(process, 0)) {
            gone = true;
            // Termination completes asynchronously: let it finish so that a
            // refresh right after no longer lists the process.
            WaitForSingleObject(process, timeout);
        } else {
            RecordError(GetLastError());
            gone = WaitForSingleObject(process, timeout) == WAIT_OBJECT_0;
        }
    }
    CloseHandle(process);
    return gone;
}
