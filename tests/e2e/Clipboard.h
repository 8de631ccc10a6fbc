#pragma once

#include <string>

// The clipboard of the Wine desktop (shared with the programs under test).
class Clipboard {
public:
    // CF_TEXT contents, "" when there is none.
    static std::string Text();
    static bool HasText();
    static bool SetText(const std::string& text);
    static bool Clear();
    // Waits until CF_TEXT is there and differs from "" (after a copy command).
    static bool WaitForText(unsigned long timeoutMs);

private:
    static bool Open();
};
