#pragma once

#include <string>
#include <vector>

// tarnwick-cli.exe of the program folder, run without a console: its output
// and its tables.
class ConsoleTool {
public:
    // Everything it wrote to standard output (empty when it did not start).
    static std::string Output(const std::string& arguments);
    // A field of its tables with \t, \r, \n and \\ turned back.
    static std::string Unescape(const std::string& field);
    // The lines of a table, each split at its tabs and unescaped.
    static std::vector<std::vector<std::string>> Table(const std::string& output);
};
