#include "tests/DebugCapture.h"

#include "sysinfo/DebugOutput.h"

DebugCapture::DebugCapture()
{
    InitializeCriticalSection(&lock);
    DebugOutput::SetCapture(&DebugCapture::Hook, this);
}

DebugCapture::~DebugCapture()
{
    DebugOutput::SetCapture(nullptr, nullptr);
    DeleteCriticalSection(&lock);
}

void DebugCapture::Hook(const char* text, void* context)
{
    DebugCapture* self = static_cast<DebugCapture*>(context);
    EnterCriticalSection(&self->lock);
    self->lines.push_back(text);
    LeaveCriticalSection(&self->lock);
}

std::vector<std::string> DebugCapture::Lines() const
{
    EnterCriticalSection(&lock);
    std::vector<std::string> copy = lines;
    LeaveCriticalSection(&lock);
    return copy;
}

std::string DebugCapture::Text() const
{
    std::string all;
    for (const std::string& line : Lines()) all += line;
    return all;
}

void DebugCapture::Clear()
{
    EnterCriticalSection(&lock);
    lines.clear();
    LeaveCriticalSection(&lock);
}
