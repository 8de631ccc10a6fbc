#include "app/menus/StringTable.h"

namespace {
HMODULE g_resourceModule = nullptr;
HMODULE g_ownModule = nullptr;

bool LoadFrom(HMODULE module, UINT id, std::string& text)
{
    char buffer[1024];
    int length = LoadStringA(module, id, buffer, 1024);
    if (length <= 0) return false;
    text.assign(buffer, static_cast<size_t>(length));
    return true;
}
} // namespace

std::string StringTable::Load(UINT id)
{
    std::string text;
    HMODULE own = g_ownModule ? g_ownModule : GetModuleHandleA(nullptr);
    if (g_resourceModule && g_resourceModule != own && LoadFrom(g_resourceModule, id, text)) return text;
    if (LoadFrom(own, id, text)) return text;
    return std::string();
}

std::string StringTable::LoadOwn(UINT id)
{
    std::string text;
    LoadFrom(g_ownModule ? g_ownModule : GetModuleHandleA(nullptr), id, text);
    return text;
}

std::string StringTable::Format(UINT id, const std::vector<MessageTemplate::Arg>& args)
{
    const std::string own = LoadOwn(id);
    return MessageTemplate::FormatChecked(Load(id).c_str(), own.c_str(), args, kMaxFormatted);
}

std::string StringTable::FormatOwn(UINT id, const std::vector<MessageTemplate::Arg>& args)
{
    const std::string own = LoadOwn(id);
    return MessageTemplate::FormatChecked(own.c_str(), own.c_str(), args, kMaxFormatted);
}

void StringTable::SetResourceModule(HMODULE module)
{
    g_resourceModule = module;
}

HMODULE StringTable::GetResourceModule()
{
    return g_resourceModule ? g_resourceModule : (g_ownModule ? g_ownModule : GetModuleHandleA(nullptr));
}

void StringTable::SetOwnModule(HMODULE module)
{
    g_ownModule = module;
}

HMODULE StringTable::GetOwnModule()
{
    return g_ownModule ? g_ownModule : GetModuleHandleA(nullptr);
}
