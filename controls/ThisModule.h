#pragma once

#include <windows.h>

// The module (program or library) this code is linked into; window classes of
// the controls are registered with it.
inline HINSTANCE ThisModule()
{
    static char anchor;
    MEMORY_BASIC_INFORMATION info = {};
    VirtualQuery(&anchor, &info, sizeof(info));
    return static_cast<HINSTANCE>(info.AllocationBase);
}

// Creation data that carries the object of a control window; windows of the
// same class created without it (from a dialog template) make their own object.
struct ControlCreateParams {
    DWORD dwMagic;
    void* pObject;
    static const DWORD kMagic = 0x4F72766F;
};
