#pragma once

#include <cstddef>
#include <string>

// UTF-16 to the ANSI code page, for names, paths and command lines. No
// best-fit mapping where the system knows the flag (2000 and later): a
// character without an exact ANSI form becomes "?", so that a look-alike
// (a full-width letter, say) never reads as the genuine name. Older systems
// convert as they always did.
class AnsiText {
public:
    static std::string FromUtf16(const wchar_t* text, size_t count);
    static std::string FromUtf16(const std::u16string& text)
    {
        return FromUtf16(reinterpret_cast<const wchar_t*>(text.data()), text.size());
    }
};
