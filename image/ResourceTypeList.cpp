#include "ResourceTypeList.h"

#include <windows.h>
#include <cstdio>

namespace {
BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR counter)
{
    ++*reinterpret_cast<uint32_t*>(counter);
    return TRUE;
}

struct EnumContext {
    HMODULE module;
    std::vector<ResourceTypeEntry>* entries;
};

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR context)
{
    EnumContext* ctx = reinterpret_cast<EnumContext*>(context);
    ResourceTypeEntry entry;
    if (IS_INTRESOURCE(type)) {
        entry.bIsNumeric = 1;
        entry.dwId = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(type));
        entry.strName = ResourceTypeList::TypeName(entry.dwId);
    } else {
        entry.bIsNumeric = 0;
        entry.dwId = 0;
        entry.strName = type;
    }
    entry.nCount = 0;
    EnumResourceNamesA(module, type, CountName, reinterpret_cast<LONG_PTR>(&entry.nCount));
    ctx->entries->push_back(entry);
    return TRUE;
}
} // namespace

std::string ResourceTypeList::TypeName(uint32_t id)
{
    static const char* const kNames[] = {
        nullptr,          "RT_CURSOR",      "RT_BITMAP",        "RT_ICON",     "RT_MENU",
        "RT_DIALOG",      "RT_STRING",      "RT_FONTDIR",       "RT_FONT",     "RT_ACCELERATOR",
        "RT_RCDATA",      "RT_MESSAGETABLE", "RT_GROUP_CURSOR", nullptr,       "RT_GROUP_ICON",
        nullptr,          "RT_VERSION",     "RT_DLGINCLUDE",    nullptr,       "RT_PLUGPLAY",
        "RT_VXD",         "RT_ANICURSOR",   "RT_ANIICON",       "RT_HTML",     "RT_MANIFEST",
    };
    if (id < sizeof(kNames) / sizeof(kNames[0]) && kNames[id]) return kNames[id];
    char text[40];
    snprintf(text, sizeof(text), "RT_UNKNOWN(ID: %d)", static_cast<int>(id));
    return text;
}

bool ResourceTypeList::load(const char* path)
{
    if (!path || !*path) return false;
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    entries.clear();
    EnumContext context = {module, &entries};
    EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&context));
    FreeLibrary(module);
    return !entries.empty();
}
