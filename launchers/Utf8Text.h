#pragma once

#include <string>

// UTF-8 to UTF-16 and back, without the operating system (Windows 95 knows
// no UTF-8 code page).
class Utf8Text {
public:
    // Strict: overlong forms, surrogates, values past U+10FFFF and cut
    // sequences make the text invalid. A leading byte-order mark is dropped.
    static bool Decode(const std::string& bytes, std::u16string& out);
    // The length of the well-formed multi-byte sequence at `at` (0 when there
    // is none: ASCII, a stray byte, an overlong form, a surrogate, a value
    // past U+10FFFF, a cut sequence) and its code point.
    static size_t SequenceAt(const std::string& text, size_t at, char32_t& value);
    // Lone surrogates become U+FFFD.
    static std::string Encode(const std::u16string& text);
};
