#include "controls/Superclass.h"

#include "controls/ThisModule.h"

#include <commctrl.h>

Superclass::Superclass(const char* baseClass, const char* className, DWORD commonControls)
    : baseClass(baseClass), className(className), commonControls(commonControls), baseProc(nullptr), baseExtra(0),
      registered(false)
{
}

bool Superclass::Register(WNDPROC procedure)
{
    if (registered) return true;
    if (commonControls) {
        INITCOMMONCONTROLSEX init = {sizeof(init), commonControls};
        InitCommonControlsEx(&init);
    }
    WNDCLASSA base = {};
    if (!GetClassInfoA(nullptr, baseClass, &base)) return false;
    baseProc = base.lpfnWndProc;
    baseExtra = base.cbWndExtra;
    WNDCLASSA windowClass = base;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ThisModule();
    windowClass.cbWndExtra = base.cbWndExtra + sizeof(LONG_PTR);
    windowClass.lpszClassName = className;
    // Application-wide: dialog templates of a language module create these classes too.
    windowClass.style |= CS_GLOBALCLASS;
    registered = RegisterClassA(&windowClass) != 0;
    return registered;
}

void Superclass::Unregister()
{
    if (!registered) return;
    UnregisterClassA(className, ThisModule());
    registered = false;
}
