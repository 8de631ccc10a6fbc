#include "app/startup/ClDebugString.h"

#include "sysinfo/DebugOutput.h"

#include <cstdarg>
#include <cstdio>

void ClDebugString::print(const char* pszFormat, ...)
{
    if (!bEnabled) return;
    if (!pszFormat) {
        DebugOutput::Write("void ClDebugString::print(const char* pszFormat, ...) failed!\n");
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    int written = vsnprintf(szBuffer, sizeof(szBuffer), pszFormat, args);
    va_end(args);
    szBuffer[sizeof(szBuffer) - 1] = '\0';
    if (written < 0) {
        DebugOutput::Write("void ClDebugString::print(const char* pszFormat, ...) failed!\n");
        return;
    }
    DebugOutput::Write(szBuffer);
}
