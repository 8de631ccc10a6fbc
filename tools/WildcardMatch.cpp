#include "tools/WildcardMatch.h"

#include <cctype>

namespace {

// Matches with the classic walk that remembers only the last star: a
// mismatch lets that star take one more character and tries again from just
// behind it. Every character of the name is passed by a star at most once,
// so the work stays proportional to pattern times name length, whatever the
// number of stars.
struct Matcher {
    bool pathName;
    bool fold;
    bool escapes;

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
            if (escapes && low == '\\' && *p) low = *p++;
            char high = low;
            if (*p == '-' && p[1] && p[1] != ']') {
                ++p;
                high = *p++;
                if (escapes && high == '\\' && *p) high = *p++;
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

    // One pattern element (not a star) at p against the name character c.
    // On a match *next points behind the element.
    bool MatchOne(const char* p, char c, const char** next) const
    {
        if (!*p || !c) return false;
        switch (*p) {
        case '?':
            *next = p + 1;
            return !(pathName && c == '/');
        case '[': {
            if (pathName && c == '/') return false;
            const char* end = nullptr;
            const bool inSet = MatchSet(p + 1, c, &end);
            if (!end) {
                // No closing bracket: the "[" stands for itself.
                *next = p + 1;
                return c == '[';
            }
            *next = end;
            return inSet;
        }
        case '\\': {
            if (!escapes) {
                *next = p + 1;
                return Fold(*p) == Fold(c);
            }
            const char literal = p[1] ? p[1] : '\\';
            *next = p[1] ? p + 2 : p + 1;
            return Fold(literal) == Fold(c);
        }
        default:
            *next = p + 1;
            return Fold(*p) == Fold(c);
        }
    }

    bool Match(const char* p, const char* n) const
    {
        const char* afterStar = nullptr;  // pattern just behind the last star
        const char* starEnd = nullptr;    // where that star's run of the name ends
        for (;;) {
            if (*p == '*') {
                while (*p == '*') ++p;
                afterStar = p;
                starEnd = n;
                continue;
            }
            if (!*p && !*n) return true;
            const char* next = nullptr;
            if (MatchOne(p, *n, &next)) {
                p = next;
                ++n;
                continue;
            }
            // Let the last star take one more character; it never takes a "/"
            // under the path-name rule, and no earlier star could either.
            if (!afterStar || !*starEnd || (pathName && *starEnd == '/')) return false;
            ++starEnd;
            p = afterStar;
            n = starEnd;
        }
    }
};

} // namespace

int WildcardMatch::match(const char* pattern, const char* name, int flags)
{
    if (!pattern || !name) return 1;
    Matcher matcher{(flags & PathName) != 0, (flags & CaseFold) != 0, (flags & NoEscape) == 0};
    return matcher.Match(pattern, name) ? 0 : 1;
}
