#pragma once

// Trace channel: formats like printf and writes to the debugger output only
// when enabled.
class ClDebugString {
public:
    ClDebugString() : bEnabled(false), szBuffer{} {}

    void enable(bool enabled) { bEnabled = enabled; }
    bool isEnabled() const { return bEnabled; }

    void print(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

private:
    bool bEnabled;
    char szBuffer[256];
};
