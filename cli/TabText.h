#pragma once

#include <string>
#include <vector>

// The console tool's one escaping rule, for every command: tab, CR, LF and
// backslash written as \t, \r, \n and \\, every other control character
// (and DEL) as \xNN, so that no value can add a line, a field or a
// terminal escape sequence.
class TabText {
public:
    static std::string Escape(const std::string& text);
    static std::string Row(const std::vector<std::string>& fields);
};
