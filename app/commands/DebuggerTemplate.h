#pragma once

#include <cstdint>
#include <string>

// The registered just-in-time debugger's command template ("drwtsn32 -p %ld
// -e %ld"): the process id goes into the first integer conversion, the event
// handle value into the second. The template comes from the registry, so it
// is checked before anything is formatted: only "%%" and at most two integer
// conversions (d i u x X, with flags, width, precision and h or l) are taken.
class DebuggerTemplate {
public:
    // Longest width or precision taken; anything larger refuses the template.
    static const unsigned kMaxFieldWidth = 1024;

    // False (and `commandLine` empty) for a template that asks for anything else.
    static bool Format(const std::string& pattern, uint32_t processId, uint32_t eventValue,
                       std::string& commandLine);
};
