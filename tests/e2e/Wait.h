#pragma once

#include <windows.h>
#include <functional>

// Polling waits. Every poll also runs the unexpected-message-box guard, so a
// box that pops up while a test waits fails the test at once.
class Wait {
public:
    static const DWORD kPoll = 40;

    // Polls done() until it is true (true) or the time is up (false).
    static bool Until(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = kPoll);
    // Lets time pass (for checks that something does NOT happen), still
    // serving this thread's messages and the guard.
    static void Pause(DWORD ms);
    // Serves this thread's own window messages (the clipboard, a capture).
    static void PumpOwnMessages();
};
