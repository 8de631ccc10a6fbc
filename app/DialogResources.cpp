#include "DialogResources.h"

#include "ResourceModule.h"

HINSTANCE DialogResources::ModuleFor(LPCSTR name, LPCSTR type)
{
    return ResourceModule::For(name, type);
}

HMENU DialogResources::LoadMenuResource(UINT id)
{
    return ResourceModule::Menu(id);
}
