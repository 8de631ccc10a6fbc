#include "AnsiText.h"

#include <windows.h>

std::string AnsiText::FromUtf16(const wchar_t* text, size_t count)
{
    if (!text || count == 0 || count > 0x7FFFFFFF) return std::string();
    const int units = static_cast<int>(count);
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string out(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, text, units, &out[0], needed, nullptr, nullptr);
    out.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return out;
}
