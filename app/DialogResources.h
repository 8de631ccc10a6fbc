#pragma once

#include <windows.h>

// The module to load a dialog or menu from: the active language module when
// it carries the resource, else the program itself.
class DialogResources {
public:
    static HINSTANCE ModuleFor(LPCSTR name, LPCSTR type);
    static HMENU LoadMenuResource(UINT id);
};
