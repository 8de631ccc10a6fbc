#pragma once

#include <string>
#include <vector>

// The texts of one user-defined application as the lists file keeps them.
struct ApplicationEntry {
    std::string strDescription;
    std::string strApplication;
    std::string strStartPath;
    std::string strArguments;
};

// "Tarnwick.lists": the user-defined applications and the active search
// engines, one per line in their order:
//   app<TAB>DESCRIPTION<TAB>EXE<TAB>FOLDER<TAB>ARGUMENTS
//   engine<TAB>SRC-PATH
// Fields escape tab, CR, LF and backslash as \t \r \n \\. Lines of any other
// form are skipped. Nothing here calls the operating system.
class ListsFileFormat {
public:
    // Longest field: the 259 characters of the application record's texts.
    static constexpr size_t kMaxField = 259;

    struct Contents {
        std::vector<ApplicationEntry> applications;
        std::vector<std::string> engines;
    };

    static Contents Parse(const std::string& text);
    static std::string Write(const Contents& contents);
    static std::string Escape(const std::string& field);
    // False for a backslash that starts no known escape.
    static bool Unescape(const std::string& field, std::string& out);
};
