#pragma once

#include "app/pluginhost/PluginMenuFilter.h"
#include "app/pluginhost/PluginRequest.h"
#include "app/sdk/TarnwickPlugin.h"

#include <string>
#include <vector>

class ClDebugString;

// The loaded plug-ins and every call into them. Owned by the main frame:
// loaded with it, initialised with each main window, finalised when that
// window goes, unloaded with the frame. All calls on the GUI thread, one at
// a time: while an entry point runs (it may run a message loop), no other
// plug-in call starts.
class PluginHost {
public:
    enum class Outcome {
        NotRun,    // nothing to run it on, or no such plug-in
        Refused,   // another plug-in call is running
        Completed,
        Refresh,   // Execute returned 1
        Faulted,
    };

    struct OptionsEntry {
        size_t nIndex;
        std::string strText; // "description [name]"
        bool bConfigure;
        bool bAbout;
    };

    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the plug-ins below the folder ("...\Plugins"); trace lines go to
    // the channel when given.
    void LoadPlugins(const std::string& folder, ClDebugString* trace);
    void InitializePlugins(HWND mainWindow, WORD languageId);
    // While a call is running, finalisation waits for its return.
    void FinalizePlugins();
    void UnloadPlugins();

    size_t Count() const { return entries.size(); }
    // The plug-in's name as it reads now ("" when it has none).
    std::string NameOf(size_t index) const;
    uint8_t KindOf(size_t index) const;
    HMODULE ModuleOf(size_t index) const;
    // The owner window the record holds now.
    HWND WindowOf(size_t index) const;
    int FindPluginByName(const std::string& name) const;

    // The "Plugins" submenu of a view; null when no plug-in applies. Item ids
    // from 1003 on, item data = the host index. The ids stay bound to the
    // plug-ins listed until the next menu for the same kind of view is built.
    HMENU BuildPluginMenu(bool forModules);
    // The plug-in behind a command id: the one the last menu for that kind of
    // view listed under it (whatever its name reads now); before any such
    // menu, the numbering a menu built now would have. -1 for none.
    int IndexForCommand(int command, bool forModules) const;

    Outcome ExecutePlugin(size_t index, const PluginRequest& request, HWND mainWindow);

    // Options page operations. A fault is reported with `file` and `line`
    // (the caller's source line).
    std::vector<OptionsEntry> OptionsEntries() const;
    bool Configure(size_t index, HWND pageWindow, const char* file = __builtin_FILE(), int line = __builtin_LINE());
    bool About(size_t index, const char* file = __builtin_FILE(), int line = __builtin_LINE());

    bool IsCallActive() const { return nActiveCalls > 0; }
    bool IsInitialized() const { return bInitialized; }
    // A plug-in that faulted in any entry point. It is finalised once more
    // and then left alone: never initialised, offered or unloaded again
    // (its threads or hooks may still run in its code).
    bool HasFaulted(size_t index) const { return index < entries.size() && entries[index].bFaulted; }
    bool IsRetired(size_t index) const { return index < entries.size() && entries[index].bRetired; }

private:
    struct Entry {
        PluginInfo* pRecord;
        HMODULE hModule;
        uint8_t nKind;
        bool bInitialized = false; // Initialize was called since the last Finalize
        bool bFaulted = false;
        bool bRetired = false;     // faulted and finalised: no more calls
    };
    class CallScope;

    std::vector<PluginMenuFilter::Candidate> Candidates() const;
    PFN_PLUGIN_ENTRY EntryPoint(size_t index, size_t offset) const;
    void FinalizeNow();
    bool CallWatched(PFN_PLUGIN_ENTRY entry, PluginInfo* record, int* result, const char* what, const char* file,
                     int line, HWND owner);
    bool IsCallable(size_t index) const { return index < entries.size() && !entries[index].bRetired; }
    void CloseLeftovers(const std::vector<HWND>& windows, HWND owner);

    std::vector<Entry> entries;
    // Per kind of view (process views, module list): the host index of each
    // item of the last menu built, in command order, and whether one was built.
    std::vector<size_t> aMenuEntries[2];
    bool abMenuBuilt[2] = {false, false};
    HWND hwndMain = nullptr; // the window of the last initialisation
    int nActiveCalls = 0;
    bool bInitialized = false;
    bool bFinalizePending = false;
};
