#include "app/commands/DebuggerTemplate.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads a decimal field at `p`; false when it exceeds the limit.
bool ReadNumber(const std::string& text, size_t& p, unsigned limit)
{
    unsigned value = 0;
    while (p < text.size() && IsDigit(text[p])) {
        value = value * 10 + static_cast<unsigned>(text[p] - '0');
        if (value > limit) return false;
        ++p;
    }
    return true;
}

// Formats one checked conversion (`spec`: "%", flags, width, precision and the
// conversion letter, without a length letter) with `value`.
std::string FormatOne(const std::string& spec, char length, char conversion, uint32_t value)
{
    bool isSigned = conversion == 'd' || conversion == 'i';
    int asSigned = length == 'h' ? static_cast<short>(value) : static_cast<int>(value);
    unsigned asUnsigned = length == 'h' ? static_cast<unsigned short>(value) : static_cast<unsigned>(value);
    // Width and precision are at most kMaxFieldWidth each, so this always holds the result.
    char buffer[2 * DebuggerTemplate::kMaxFieldWidth + 64];
    int written = isSigned ? std::snprintf(buffer, sizeof(buffer), spec.c_str(), asSigned)
                           : std::snprintf(buffer, sizeof(buffer), spec.c_str(), asUnsigned);
    if (written <= 0 || static_cast<size_t>(written) >= sizeof(buffer)) return std::string();
    return std::string(buffer, static_cast<size_t>(written));
}

} // namespace

bool DebuggerTemplate::Format(const std::string& pattern, uint32_t processId, uint32_t eventValue,
                              std::string& commandLine)
{
    commandLine.clear();
    std::string out;
    out.reserve(pattern.size() + 16);
    int conversions = 0;
    size_t p = 0;
    while (p < pattern.size()) {
        char c = pattern[p];
        if (c != '%') {
            out += c;
            ++p;
            continue;
        }
        size_t start = p++;
        if (p < pattern.size() && pattern[p] == '%') {
            out += '%';
            ++p;
            continue;
        }
        while (p < pattern.size() && pattern[p] != '\0' && std::strchr("-+ #0", pattern[p])) ++p;
        if (!ReadNumber(pattern, p, kMaxFieldWidth)) return false;
        if (p < pattern.size() && pattern[p] == '.') {
            ++p;
            if (!ReadNumber(pattern, p, kMaxFieldWidth)) return false;
        }
        char length = 0;
        if (p < pattern.size() && (pattern[p] == 'h' || pattern[p] == 'l')) length = pattern[p++];
        if (p >= pattern.size()) return false;
        char conversion = pattern[p];
        if (conversion == '\0' || !std::strchr("diuxX", conversion)) return false;
        ++p;
        if (++conversions > 2) return false;
        // The length letter is dropped: our values are 32-bit, "h" is applied by hand.
        std::string spec = pattern.substr(start, p - start);
        if (length) spec.erase(spec.size() - 2, 1);
        out += FormatOne(spec, length, conversion, conversions == 1 ? processId : eventValue);
    }
    commandLine.swap(out);
    return true;
}
