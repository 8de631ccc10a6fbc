#include "sysinfo/AnsiText.h"

#include <windows.h>

#ifndef WC_NO_BEST_FIT_CHARS
#define WC_NO_BEST_FIT_CHARS 0x00000400
#endif

namespace {
std::string Convert(const wchar_t* text, int units, DWORD flags, bool& ok)
{
    ok = false;
    const int needed = WideCharToMultiByte(CP_ACP, flags, text, units, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string out(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, flags, text, units, &out[0], needed, nullptr, nullptr);
    if (written <= 0) return std::string();
    out.resize(static_cast<size_t>(written));
    ok = true;
    return out;
}
} // namespace

std::string AnsiText::FromUtf16(const wchar_t* text, size_t count)
{
    if (!text || count == 0 || count > 0x7FFFFFF) return std::string();
    const int units = static_cast<int>(count);
    bool ok = false;
    std::string out = Convert(text, units, WC_NO_BEST_FIT_CHARS, ok);
    // NT 4, the 9x family and UTF-8 as the ANSI code page refuse the flag.
    if (!ok) out = Convert(text, units, 0, ok);
    return out;
}
