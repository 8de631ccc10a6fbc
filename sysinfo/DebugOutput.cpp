#include "sysinfo/DebugOutput.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

namespace {
DebugCaptureHook g_hook = nullptr;
void* g_hookContext = nullptr;
}

void DebugOutput::Write(const char* text)
{
    if (!text) return;
    OutputDebugStringA(text);
    if (g_hook) g_hook(text, g_hookContext);
}

void DebugOutput::Format(unsigned bufferSize, const char* format, ...)
{
    if (bufferSize == 0 || !format) return;
    // The system's own formatter (msvcrt), so that the system libraries need
    // no C runtime extras; the texts are short, most fit the stack buffer.
    char local[512];
    char* buffer = bufferSize <= sizeof(local) ? local : static_cast<char*>(LocalAlloc(LMEM_FIXED, bufferSize));
    if (!buffer) return;
    va_list args;
    va_start(args, format);
    _vsnprintf(buffer, bufferSize, format, args);
    va_end(args);
    buffer[bufferSize - 1] = '\0';
    Write(buffer);
    if (buffer != local) LocalFree(buffer);
}

void DebugOutput::SetCapture(DebugCaptureHook hook, void* context)
{
    g_hook = hook;
    g_hookContext = context;
}
