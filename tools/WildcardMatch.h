#pragma once

// fnmatch-style file-name matching on single-byte text, with the path-name
// rule ("/" only matches a literal "/") and case folding. NoEscape takes a
// backslash as itself (for Windows paths) instead of quoting the next
// character.
class WildcardMatch {
public:
    // 0 when `name` matches `pattern`, 1 otherwise.
    static int match(const char* pattern, const char* name, int flags = PathName | CaseFold);
    static bool Matches(const char* pattern, const char* name) { return match(pattern, name) == 0; }

    enum Flags { PathName = 1, CaseFold = 2, NoEscape = 4 };
};
