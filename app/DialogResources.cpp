#include "DialogResources.h"

#include "StringTable.h"

HINSTANCE DialogResources::ModuleFor(LPCSTR name, LPCSTR type)
{
    HMODULE active = StringTable::GetResourceModule();
    if (active && FindResourceA(active, name, type)) return active;
    return GetModuleHandleA(nullptr);
}

HMENU DialogResources::LoadMenuResource(UINT id)
{
    return LoadMenuA(ModuleFor(MAKEINTRESOURCEA(id), RT_MENU), MAKEINTRESOURCEA(id));
}
