#pragma once

#include "app/sdk/TarnwickPlugin.h"

#include <string>

// Every touch of plug-in memory and code goes through here: under a guard
// that turns a fault into a return value, entry points through the
// stack-restoring call.
class PluginCall {
public:
    // Calls entry(record). On a fault writes "Exception caught during plugin
    // <what> in "<file>" at line <line>!\n" to the debugger output and returns false.
    static bool Entry(PFN_PLUGIN_ENTRY entry, PluginInfo* record, int* result, const char* what, const char* file,
                      int line);
    // Calls "GetPluginInfo"; false on a fault.
    static bool GetInfo(const void* function, PluginInfo** record);

    // A copy of the whole record; false when it cannot be read.
    static bool ReadRecord(const PluginInfo* record, PluginInfo& copy);
    // Writes the host's fields; false when the record is not writable.
    static bool WriteModule(PluginInfo* record, HMODULE module);
    static bool WriteWindow(PluginInfo* record, HWND window);
    static bool WriteLanguage(PluginInfo* record, WORD languageId);
    static bool WriteData(PluginInfo* record, void* data, DWORD count);
    static bool ReadWindow(const PluginInfo* record, HWND& window);

    // At most 259 characters of a plug-in's text. Null, empty or unreadable
    // text gives an empty string; text without a terminator in reach is cut.
    static std::string Text(const char* text);
};

// Calls an entry point of a record, naming this source line in the fault report.
#define TW_PLUGIN_ENTRY(entry, record, result, what) \
    PluginCall::Entry((entry), (record), (result), (what), __FILE__, __LINE__)
