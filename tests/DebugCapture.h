#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Collects what is written to the debugger output channel while it lives.
// Worker threads may write as well: every access takes the lock, and readers
// get copies (assert on them on the test thread only).
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> Lines() const;
    std::string Text() const;
    void Clear();

private:
    static void Hook(const char* text, void* context);
    mutable CRITICAL_SECTION lock;
    std::vector<std::string> lines;
};
