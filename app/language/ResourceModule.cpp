#include "app/language/ResourceModule.h"

#include "app/menus/StringTable.h"

namespace {
HMODULE Own()
{
    return StringTable::GetOwnModule();
}

HMODULE Pick(HMODULE active, HMODULE own, LPCSTR name, LPCSTR type)
{
    if (active && active != own && FindResourceA(active, name, type)) return active;
    return own;
}
} // namespace

HMODULE ResourceModule::ForMenu(HMODULE active, HMODULE own, UINT id)
{
    return Pick(active, own, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_MENU));
}

HMODULE ResourceModule::ForDialog(HMODULE active, HMODULE own, const char* templateName)
{
    return Pick(active, own, templateName, reinterpret_cast<LPCSTR>(RT_DIALOG));
}

HMODULE ResourceModule::ForMenu(UINT id)
{
    return ForMenu(StringTable::GetResourceModule(), Own(), id);
}

HMODULE ResourceModule::ForDialog(const char* templateName)
{
    return ForDialog(StringTable::GetResourceModule(), Own(), templateName);
}

HMODULE ResourceModule::For(LPCSTR name, LPCSTR type)
{
    return Pick(StringTable::GetResourceModule(), Own(), name, type);
}

HMENU ResourceModule::Menu(UINT id)
{
    return ::LoadMenuA(ForMenu(id), MAKEINTRESOURCEA(id));
}
