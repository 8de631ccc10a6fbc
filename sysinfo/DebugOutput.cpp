#include "DebugOutput.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <vector>

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
    if (bufferSize == 0) return;
    std::vector<char> buffer(bufferSize, '\0');
    va_list args;
    va_start(args, format);
    vsnprintf(buffer.data(), bufferSize, format, args);
    va_end(args);
    buffer[bufferSize - 1] = '\0';
    Write(buffer.data());
}

void DebugOutput::SetCapture(DebugCaptureHook hook, void* context)
{
    g_hook = hook;
    g_hookContext = context;
}
