#include "tests/e2e/Wait.h"

#include "tests/e2e/BoxGuard.h"

bool Wait::Until(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        BoxGuard::Check();
        if (GetTickCount() - start >= timeoutMs) return done();
        PumpOwnMessages();
        Sleep(pollMs);
    }
}

void Wait::Pause(DWORD ms)
{
    Until([] { return false; }, ms);
}

void Wait::PumpOwnMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
