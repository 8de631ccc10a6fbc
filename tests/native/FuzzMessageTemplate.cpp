// libFuzzer harness: message templates from a language module's string table.
#include "sysutils/MessageTemplate.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string pattern(reinterpret_cast<const char*>(data), size);
    const std::string out = MessageTemplate::Format(pattern.c_str(), {"name.exe", 1234, 87, "text"}, 1024);
    if (out.size() > 1024) __builtin_trap();
    // The checked form: either the pattern takes these four exactly or the fallback is used.
    const std::string checked = MessageTemplate::FormatChecked(pattern.c_str(), "%s [%d] %d: %s",
                                                               {"name.exe", 1234, 87, "text"}, 1024);
    if (!MessageTemplate::Matches(pattern.c_str(), {"name.exe", 1234, 87, "text"}) && checked != "name.exe [1234] 87: text")
        __builtin_trap();
    if (checked.size() > 1024) __builtin_trap();
    return 0;
}
