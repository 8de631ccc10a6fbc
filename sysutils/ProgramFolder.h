#pragma once

#include <string>

// The folder of the running program, where it keeps its settings, lists,
// plug-ins, search plugins, language modules and help beside itself.
class ProgramFolder {
public:
    // With the trailing backslash; "" when it cannot be read or is longer than 259 characters.
    static std::string Path();
    // `name` in the program folder ("" when the folder is unknown).
    static std::string File(const char* name);
};
