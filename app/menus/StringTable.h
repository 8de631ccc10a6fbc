#pragma once

#include <windows.h>
#include <string>

// Texts of the string table by number: from the active resource module (a
// language module, once chosen), else from the program's own table, else empty.
class StringTable {
public:
    static std::string Load(UINT id);
    // From the program's own table only.
    static std::string LoadOwn(UINT id);
    // The module whose strings come first; null means the program itself.
    static void SetResourceModule(HMODULE module);
    static HMODULE GetResourceModule();
    // The module that holds the program's own table (default: the running program).
    static void SetOwnModule(HMODULE module);
    static HMODULE GetOwnModule();
};
