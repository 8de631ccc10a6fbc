#pragma once

#include <string>
#include <vector>

// Tab-separated output: text fields with tab, CR, LF and backslash written
// as \t, \r, \n and \\.
class TabText {
public:
    static std::string Escape(const std::string& text);
    static std::string Row(const std::vector<std::string>& fields);
};
