#include "tools/ProcessTerminator.h"

#include "sysinfo/ProcessIdentity.h"

#include <windows.h>

namespace {
const DWORD kTerminateAndWait = PROCESS_TERMINATE | SYNCHRONIZE;
const int kAttempts = 3;

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
    if (checkable && !ProcessIdentity::Matches(process, creationTime)) {
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
