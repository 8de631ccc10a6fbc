#pragma once

#include <cctype>

// The recursive fnmatch-style matcher the program used before its linear
// walk: exponential in the number of stars, kept only as the reference the
// new one is compared with (small inputs, tests and fuzzing).
struct ReferenceWildcard {
    bool pathName;
    bool fold;

    char Fold(char c) const
    {
        return fold ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
    }

    // Matches one bracket expression at p against c. On return *end points
    // behind the closing "]"; false with *end null when the set is not closed.
    bool MatchSet(const char* p, char c, const char** end) const
    {
        *end = nullptr;
        bool negate = false;
        if (*p == '!' || *p == '^') {
            negate = true;
            ++p;
        }
        const char fc = Fold(c);
        bool found = false;
        bool first = true;
        while (*p && (first || *p != ']')) {
            first = false;
            char low = *p++;
            if (low == '\\' && *p) low = *p++;
            char high = low;
            if (*p == '-' && p[1] && p[1] != ']') {
                ++p;
                high = *p++;
                if (high == '\\' && *p) high = *p++;
            }
            const unsigned char l = static_cast<unsigned char>(Fold(low));
            const unsigned char h = static_cast<unsigned char>(Fold(high));
            const unsigned char x = static_cast<unsigned char>(fc);
            if (l <= x && x <= h) found = true;
        }
        if (*p != ']') return false;
        *end = p + 1;
        return found != negate;
    }

    bool Match(const char* p, const char* n) const
    {
        while (*p) {
            const char c = *p++;
            switch (c) {
            case '?':
                if (!*n || (pathName && *n == '/')) return false;
                ++n;
                break;
            case '*': {
                while (*p == '*') ++p;
                if (!*p) {
                    if (!pathName) return true;
                    for (const char* rest = n; *rest; ++rest)
                        if (*rest == '/') return false;
                    return true;
                }
                for (;;) {
                    if (Match(p, n)) return true;
                    if (!*n || (pathName && *n == '/')) return false;
                    ++n;
                }
            }
            case '[': {
                if (!*n || (pathName && *n == '/')) return false;
                const char* end = nullptr;
                const bool inSet = MatchSet(p, *n, &end);
                if (!end) {
                    // No closing bracket: the "[" stands for itself.
                    if (*n != '[') return false;
                    ++n;
                    break;
                }
                if (!inSet) return false;
                p = end;
                ++n;
                break;
            }
            case '\\': {
                const char literal = *p ? *p++ : '\\';
                if (Fold(literal) != Fold(*n) || !*n) return false;
                ++n;
                break;
            }
            default:
                if (!*n || Fold(c) != Fold(*n)) return false;
                ++n;
                break;
            }
        }
        return *n == '\0';
    }
};

inline bool ReferenceMatches(const char* pattern, const char* name, bool pathName = true, bool fold = true)
{
    ReferenceWildcard matcher{pathName, fold};
    return matcher.Match(pattern, name);
}
