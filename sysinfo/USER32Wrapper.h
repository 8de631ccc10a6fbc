#pragma once

#include "sysinfo/WrapperBase.h"

// IsHungAppWindow of USER32.DLL (Windows 2000 and later).
class USER32Wrapper : public WrapperBase {
public:
    typedef BOOL(WINAPI* PFN_IsHungAppWindow)(HWND);

    USER32Wrapper();

    // False also when the system lacks the test.
    bool IsHungAppWindow(HWND window);
    bool HasHungTest() const { return pfnIsHungAppWindow != nullptr; }

    PFN_IsHungAppWindow pfnIsHungAppWindow;
};
