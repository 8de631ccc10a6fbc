#pragma once

// The debugger output channel. Text goes to OutputDebugStringA; a capture
// hook (used by the tests) receives the same text.
typedef void (*DebugCaptureHook)(const char* text, void* context);

class DebugOutput {
public:
    static void Write(const char* text);
    // printf-style into a buffer of the given size (truncating), then Write.
    static void Format(unsigned bufferSize, const char* format, ...)
        __attribute__((format(ms_printf, 2, 3)));
    static void SetCapture(DebugCaptureHook hook, void* context);
};
