#pragma once

#include <cstddef>
#include <string>

// UTF-16 to the ANSI code page, for names, paths and command lines.
class AnsiText {
public:
    static std::string FromUtf16(const wchar_t* text, size_t count);
    static std::string FromUtf16(const std::u16string& text)
    {
        return FromUtf16(reinterpret_cast<const wchar_t*>(text.data()), text.size());
    }
};
