#include "app/pluginhost/PluginCall.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"
#include "sysinfo/StackRestoringCall.h"

#include <cstring>

bool PluginCall::Entry(PFN_PLUGIN_ENTRY entry, PluginInfo* record, int* result, const char* what, const char* file,
                       int line)
{
    int value = 0;
    const bool completed = entry && GuardedCall::Invoke([&] {
        value = static_cast<int>(StackRestoringCall::Call(reinterpret_cast<const void*>(entry), record));
    });
    if (!entry) return false;
    if (!completed) {
        DebugOutput::Format(600, "Exception caught during plugin %s in \"%s\" at line %d!\n", what, file, line);
        return false;
    }
    if (result) *result = value;
    return true;
}

bool PluginCall::GetInfo(const void* function, PluginInfo** record)
{
    void* value = nullptr;
    // "GetPluginInfo" takes no argument; the stack-restoring call passes one
    // the function ignores and drops whatever it leaves.
    if (!GuardedCall::Invoke([&] {
            value = reinterpret_cast<void*>(StackRestoringCall::Call(function, nullptr));
        }))
        return false;
    *record = static_cast<PluginInfo*>(value);
    return true;
}

bool PluginCall::ReadRecord(const PluginInfo* record, PluginInfo& copy)
{
    if (!record) return false;
    return GuardedCall::Invoke([&] { std::memcpy(&copy, record, sizeof(PluginInfo)); });
}

bool PluginCall::WriteModule(PluginInfo* record, HMODULE module)
{
    return record && GuardedCall::Invoke([&] { record->hModule = module; });
}

bool PluginCall::WriteWindow(PluginInfo* record, HWND window)
{
    return record && GuardedCall::Invoke([&] { record->hwndMain = window; });
}

bool PluginCall::WriteLanguage(PluginInfo* record, WORD languageId)
{
    return record && GuardedCall::Invoke([&] { record->wLanguageId = languageId; });
}

bool PluginCall::WriteData(PluginInfo* record, void* data, DWORD count)
{
    return record && GuardedCall::Invoke([&] {
        record->pData = data;
        record->nCount = count;
    });
}

bool PluginCall::ReadWindow(const PluginInfo* record, HWND& window)
{
    return record && GuardedCall::Invoke([&] { window = record->hwndMain; });
}

std::string PluginCall::Text(const char* text)
{
    char copy[260];
    size_t length = 0;
    if (!text) return std::string();
    // Byte by byte: a fault ends the copy and the text counts as unreadable.
    const bool readable = GuardedCall::Invoke([&] {
        const volatile char* source = text;
        while (length < sizeof(copy) - 1) {
            const char c = source[length];
            if (!c) break;
            copy[length++] = c;
        }
    });
    if (!readable) return std::string();
    return std::string(copy, length);
}
