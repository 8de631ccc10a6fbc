#pragma once

#include <string>

class SearchEngine;

// The parser of Mozilla ".src" search plugins, over UTF-8 text (the keywords
// and delimiters it looks for are ASCII, so no character is cut). Nothing
// here calls the operating system.
class SearchPluginParser {
public:
    // Fills the engine from the first <search ...> ... </search> block of the
    // text (which ends at its first NUL); true when the result is valid.
    static bool ParseSearchPlugin(const std::string& text, SearchEngine& engine);
    // The value of attribute `key` in a line: key="value" or key=value.
    static bool ReadAttribute(const std::string& line, const char* key, std::string& value);
    // Case-insensitive (ASCII) search; npos when absent.
    static size_t FindNoCase(const std::string& text, const char* pattern, size_t from = 0);
};
