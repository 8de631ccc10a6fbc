#pragma once

#include <cstdint>
#include <string>

// Process ids written on the command line: decimal (leading zeros are still
// decimal), or hexadecimal after "0x". Nothing else may follow; values
// above 4294967295 are refused.
class ProcessIdText {
public:
    static bool Parse(const std::string& text, uint32_t& pid);
};
