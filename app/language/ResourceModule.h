#pragma once

#include <windows.h>

// Where a menu or dialog template comes from: the active resource module (a
// language module, once chosen) when it holds it, else the program itself,
// as strings do. The modules default to those the string table uses.
class ResourceModule {
public:
    static HMODULE ForMenu(UINT id);
    static HMODULE ForDialog(const char* templateName);
    static HMENU Menu(UINT id);
    // Any resource type.
    static HMODULE For(LPCSTR name, LPCSTR type);

    // The same with the modules given.
    static HMODULE ForMenu(HMODULE active, HMODULE own, UINT id);
    static HMODULE ForDialog(HMODULE active, HMODULE own, const char* templateName);
};
