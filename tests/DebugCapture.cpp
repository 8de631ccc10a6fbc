#include "DebugCapture.h"

#include "sysinfo/DebugOutput.h"

DebugCapture::DebugCapture()
{
    DebugOutput::SetCapture(&DebugCapture::Hook, this);
}

DebugCapture::~DebugCapture()
{
    DebugOutput::SetCapture(nullptr, nullptr);
}

void DebugCapture::Hook(const char* text, void* context)
{
    static_cast<DebugCapture*>(context)->lines.push_back(text);
}

std::string DebugCapture::Text() const
{
    std::string all;
    for (const std::string& line : lines) all += line;
    return all;
}
