#include "sysinfo/ProcessIdentity.h"

bool ProcessIdentity::Matches(HANDLE process, uint64_t creationTime)
{
    if (!Known(creationTime)) return true;
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return true;
    return !Known(Value(created)) || Value(created) == creationTime;
}

ProcessIdentity::State ProcessIdentity::Check(uint32_t processId, uint64_t creationTime)
{
    if (!Known(creationTime)) return State::Unknown;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER ? State::Ended : State::Unknown;
    State state = State::Unknown;
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user) && Known(Value(created))) {
        DWORD exitCode = 0;
        if (Value(created) != creationTime) state = State::Reused;
        else if (GetExitCodeProcess(process, &exitCode) && exitCode != STILL_ACTIVE) state = State::Ended;
        else state = State::Same;
    }
    CloseHandle(process);
    return state;
}
