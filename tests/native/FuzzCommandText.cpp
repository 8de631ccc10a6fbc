// libFuzzer entry: debugger templates and environment blocks of any content
// are formatted or split without a fault, and the results stay within their bounds.
#include "app/commands/DebuggerTemplate.h"
#include "tools/EnvironmentTable.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string commandLine;
    if (DebuggerTemplate::Format(text, 0x12345678u, 1, commandLine)) {
        // Each output byte comes from the template or a number; it cannot grow
        // beyond the template plus two fields of the widest accepted size.
        if (commandLine.size() > text.size() + 2 * (2 * DebuggerTemplate::kMaxFieldWidth + 16)) std::abort();
    } else if (!commandLine.empty()) {
        std::abort();
    }
    for (const EnvironmentTable::Row& row : EnvironmentTable::Split(text))
        if (row.first.size() + row.second.size() > size) std::abort();
    return 0;
}
