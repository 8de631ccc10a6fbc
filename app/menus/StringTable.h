#pragma once

#include "sysutils/MessageTemplate.h"

#include <windows.h>
#include <string>
#include <vector>

// Texts of the string table by number: from the active resource module (a
// language module, once chosen), else from the program's own table, else empty.
class StringTable {
public:
    static std::string Load(UINT id);
    // From the program's own table only.
    static std::string LoadOwn(UINT id);
    // A text with conversions, filled in without trusting it: the active
    // module's text when its conversions take exactly these arguments (kind
    // and order, see MessageTemplate::Matches), else the program's own.
    static std::string Format(UINT id, const std::vector<MessageTemplate::Arg>& args);
    // The program's own text filled in.
    static std::string FormatOwn(UINT id, const std::vector<MessageTemplate::Arg>& args);
    // The longest text Format and FormatOwn return.
    static constexpr size_t kMaxFormatted = 4096;
    // The module whose strings come first; null means the program itself.
    static void SetResourceModule(HMODULE module);
    static HMODULE GetResourceModule();
    // The module that holds the program's own table (default: the running program).
    static void SetOwnModule(HMODULE module);
    static HMODULE GetOwnModule();
};
