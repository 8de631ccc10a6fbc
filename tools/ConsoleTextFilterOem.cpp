// The console code page's side of ConsoleTextFilter.
#include "tools/ConsoleTextFilter.h"

#include <windows.h>

namespace {

void OemToAnsi(char* text, size_t length)
{
    OemToCharBuffA(text, text, static_cast<DWORD>(length));
}

} // namespace

ConsoleTextFilter ConsoleTextFilter::ForOemConsole()
{
    bool leadBytes[256] = {};
    CPINFO info = {};
    if (GetCPInfo(CP_OEMCP, &info))
        for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2)
            for (unsigned c = info.LeadByte[i]; c <= info.LeadByte[i + 1] && c < 256; ++c) leadBytes[c] = true;
    return ConsoleTextFilter(leadBytes, OemToAnsi);
}
