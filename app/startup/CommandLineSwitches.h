#pragma once

#include <string>

// The four switches of the command line, each found by a plain substring
// search anywhere in the whole line: no parsing, no case folding.
class CommandLineSwitches {
public:
    explicit CommandLineSwitches(const char* commandLine);

    bool bPriorityNormal;
    bool bNoSplash;
    bool bDebug;
    bool bDisableOwnerDrawMenus;
};
