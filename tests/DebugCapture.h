#pragma once

#include <string>
#include <vector>

// Collects what is written to the debugger output channel while it lives.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();

    const std::vector<std::string>& Lines() const { return lines; }
    std::string Text() const;
    void Clear() { lines.clear(); }

private:
    static void Hook(const char* text, void* context);
    std::vector<std::string> lines;
};
