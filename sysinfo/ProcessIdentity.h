#pragma once

#include <windows.h>
#include <cstdint>

// Whether a process id from a list still names the process the list showed:
// the same id and the same creation time. Ids are reused, and a list may be
// minutes old.
class ProcessIdentity {
public:
    enum class State {
        Same,     // running, same creation time
        Ended,    // no process with the id, or it has exited
        Reused,   // the id belongs to another process now
        Unknown   // no creation time to compare (9x family, no access): act as before
    };

    // creationTime: the FILETIME value the list recorded, 0 when none is known.
    static State Check(uint32_t processId, uint64_t creationTime);
    // The same test on an open handle (query right): false only for a known,
    // different creation time.
    static bool Matches(HANDLE process, uint64_t creationTime);
    // Ended or Reused: the process the list showed is not there.
    static bool IsGone(State state) { return state == State::Ended || state == State::Reused; }
    static uint64_t Value(const FILETIME& time)
    {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    }
    // 0 and all bits set stand for "not known".
    static bool Known(uint64_t time) { return time != 0 && time != ~uint64_t(0); }
};
