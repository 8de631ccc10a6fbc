#pragma once

#include "sysinfo/WrapperBase.h"

#include <shellapi.h>

// The wide ShellExecuteExW of SHELL32.DLL, which the 9x family lacks (or
// has only as a stub): bound at run time, so that the program still loads
// there.
class SHELL32Wrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_ShellExecuteExW)(SHELLEXECUTEINFOW*);

    SHELL32Wrapper();

    bool HasShellExecuteExW() const { return pfnShellExecuteExW != nullptr; }
    // False when the entry point is missing, the call fails or faults.
    bool ShellExecuteExW(SHELLEXECUTEINFOW* info);

    PFN_ShellExecuteExW pfnShellExecuteExW;
};
