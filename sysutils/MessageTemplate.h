#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// printf-style message texts from a string table (which a language module may
// replace) filled in without trusting them: each conversion takes the next
// argument whatever its letter says, missing arguments give nothing, and the
// result never exceeds a given length.
class MessageTemplate {
public:
    struct Arg {
        Arg(const std::string& text) : bNumber(false), nValue(0), strText(text) {}
        Arg(const char* text) : bNumber(false), nValue(0), strText(text ? text : "") {}
        Arg(int64_t value) : bNumber(true), nValue(value) {}
        Arg(int32_t value) : bNumber(true), nValue(value) {}
        Arg(uint32_t value) : bNumber(true), nValue(value) {}

        bool bNumber;
        int64_t nValue;
        std::string strText;
    };

    // Conversions: d i u x X o c s p and %%, with flags (- 0 + space #), width
    // and precision (digits or *, which counts as none) and any length letters.
    // A text given for a number conversion is inserted as it is; a number given
    // for %s as decimal. Anything else after % is copied literally.
    static std::string Format(const char* pattern, const std::vector<Arg>& args, size_t maxLength);

    // The pattern's conversions take exactly these arguments, in order: %s a
    // text, d i u x X o a number, with flags, digits for width and precision
    // and (numbers only) one "h" or "l"; "%%" anywhere. Anything else after a "%"
    // (%n, *, %c, %p, I64, a lone "%") does not match, nor does a pattern
    // with fewer or more conversions than arguments.
    static bool Matches(const char* pattern, const std::vector<Arg>& args);
    // The pattern filled in when it matches the arguments, else the fallback
    // (the program's own text).
    static std::string FormatChecked(const char* pattern, const char* fallback, const std::vector<Arg>& args,
                                     size_t maxLength);
};
