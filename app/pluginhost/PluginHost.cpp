#include "app/pluginhost/PluginHost.h"

#include "app/startup/ClDebugString.h"
#include "app/pluginhost/PluginCall.h"
#include "app/pluginhost/PluginLoader.h"
#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"

#include <cstddef>
#include <cstring>

namespace {

// Windows a plug-in opens during Execute: top-level ones owned by the main
// window or by nobody. Only one Execute runs at a time, so one watch at a time.
struct WindowWatch {
    HHOOK hHook = nullptr;
    HWND hwndMain = nullptr;
    HINSTANCE hProgram = nullptr;
    std::vector<HWND> windows;
};
WindowWatch* g_watch = nullptr;

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam)
{
    WindowWatch* watch = g_watch;
    if (watch && code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        const bool topLevel = !(create->style & WS_CHILD);
        const bool ownedByMain = !create->hwndParent || create->hwndParent == watch->hwndMain;
        if (topLevel && ownedByMain && create->hInstance != watch->hProgram)
            watch->windows.push_back(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(watch ? watch->hHook : nullptr, code, wParam, lParam);
}

// The copies handed to Execute; freed when the call is over.
class ExecuteData {
public:
    ExecuteData(uint8_t kind, const PluginRequest& request)
    {
        if (kind == 1) {
            pids.assign(request.pids.begin(), request.pids.end());
            return;
        }
        storage.reserve(request.paths.size());
        for (const std::string& path : request.paths) {
            storage.emplace_back(path.begin(), path.end());
            storage.back().push_back('\0');
        }
        for (std::vector<char>& path : storage) pointers.push_back(path.data());
    }
    void* Data() { return pids.empty() ? static_cast<void*>(pointers.data()) : static_cast<void*>(pids.data()); }
    DWORD Count() const { return static_cast<DWORD>(pids.empty() ? pointers.size() : pids.size()); }

private:
    std::vector<DWORD> pids;
    std::vector<std::vector<char>> storage;
    std::vector<char*> pointers;
};

} // namespace

// An entry point called under the guard with the windows it opens watched,
// naming this source line in a fault report.
#define TW_WATCHED_CALL(entry, record, result, what, owner) \
    CallWatched((entry), (record), (result), (what), __FILE__, __LINE__, (owner))

// Marks a plug-in call as running; a finalisation asked for meanwhile runs
// when the last call has returned.
class PluginHost::CallScope {
public:
    explicit CallScope(PluginHost& host) : host(host) { ++host.nActiveCalls; }
    ~CallScope()
    {
        if (--host.nActiveCalls == 0 && host.bFinalizePending) {
            host.bFinalizePending = false;
            host.FinalizeNow();
        }
    }

private:
    PluginHost& host;
};

PluginHost::~PluginHost()
{
    UnloadPlugins();
}

void PluginHost::LoadPlugins(const std::string& folder, ClDebugString* trace)
{
    if (trace) trace->print("Loading plugins...\n");
    const std::vector<std::string> paths = PluginLoader::FindFiles(folder);
    if (paths.empty()) {
        if (trace) trace->print("No plugins found!\n");
        return;
    }
    std::vector<std::string> accepted;
    for (size_t i = 0; i < entries.size(); ++i) accepted.push_back(NameOf(i));
    for (const std::string& path : paths) {
        PluginLoadResult result = PluginLoader::LoadOne(path, accepted);
        if (result.verdict != PluginVerdict::Accepted) continue;
        accepted.push_back(result.strName);
        Entry entry;
        entry.pRecord = result.pRecord;
        entry.hModule = result.hModule;
        entry.nKind = result.nKind;
        entries.push_back(entry);
    }
}

void PluginHost::InitializePlugins(HWND mainWindow, WORD languageId)
{
    if (IsCallActive()) return;
    hwndMain = mainWindow;
    bInitialized = true;
    // A finalisation that came while one of them ran stops the rest.
    for (size_t i = 0; i < entries.size() && bInitialized; ++i) {
        if (!IsCallable(i)) continue;
        PluginInfo* record = entries[i].pRecord;
        if (!PluginCall::WriteWindow(record, mainWindow) || !PluginCall::WriteLanguage(record, languageId)) continue;
        const PFN_PLUGIN_ENTRY initialize = EntryPoint(i, offsetof(PluginInfo, Initialize));
        entries[i].bInitialized = true;
        TW_WATCHED_CALL(initialize, record, nullptr, "initialization", mainWindow);
    }
}

void PluginHost::FinalizePlugins()
{
    if (IsCallActive()) {
        bFinalizePending = true;
        return;
    }
    FinalizeNow();
}

void PluginHost::FinalizeNow()
{
    if (!bInitialized) return;
    bInitialized = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        // Once per initialisation, a plug-in that faulted too (it may stop
        // its threads); after that a faulted one takes no more calls.
        if (!entries[i].bInitialized) continue;
        entries[i].bInitialized = false;
        const PFN_PLUGIN_ENTRY finalize = EntryPoint(i, offsetof(PluginInfo, Finalize));
        TW_WATCHED_CALL(finalize, entries[i].pRecord, nullptr, "finalization", hwndMain);
        if (entries[i].bFaulted) entries[i].bRetired = true;
    }
}

void PluginHost::UnloadPlugins()
{
    if (IsCallActive()) return;
    if (bInitialized) FinalizeNow();
    for (const Entry& entry : entries) {
        // A plug-in that faulted stays mapped: its threads, hooks or window
        // procedures may still run, and unmapped code would take the program down.
        if (entry.bFaulted) {
            DebugOutput::Format(96, "Plugin left loaded after a fault: module 0x%08lX\n",
                                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(entry.hModule)));
            continue;
        }
        HMODULE module = entry.hModule;
        GuardedCall::Invoke([&] { FreeLibrary(module); });
    }
    entries.clear();
    for (int kind = 0; kind < 2; ++kind) {
        aMenuEntries[kind].clear();
        abMenuBuilt[kind] = false;
    }
}

std::string PluginHost::NameOf(size_t index) const
{
    PluginInfo copy;
    if (index >= entries.size() || !PluginCall::ReadRecord(entries[index].pRecord, copy)) return std::string();
    return PluginCall::Text(copy.pszName);
}

uint8_t PluginHost::KindOf(size_t index) const
{
    return index < entries.size() ? entries[index].nKind : 0;
}

HMODULE PluginHost::ModuleOf(size_t index) const
{
    return index < entries.size() ? entries[index].hModule : nullptr;
}

HWND PluginHost::WindowOf(size_t index) const
{
    HWND window = nullptr;
    if (index < entries.size()) PluginCall::ReadWindow(entries[index].pRecord, window);
    return window;
}

int PluginHost::FindPluginByName(const std::string& name) const
{
    if (name.empty()) return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (PluginRecordCheck::SameName(NameOf(i), name)) return static_cast<int>(i);
    return -1;
}

std::vector<PluginMenuFilter::Candidate> PluginHost::Candidates() const
{
    std::vector<PluginMenuFilter::Candidate> candidates;
    for (size_t i = 0; i < entries.size(); ++i)
        candidates.push_back(PluginMenuFilter::Candidate{entries[i].nKind, IsCallable(i) && !NameOf(i).empty()});
    return candidates;
}

HMENU PluginHost::BuildPluginMenu(bool forModules)
{
    const std::vector<PluginMenuFilter::Item> items = PluginMenuFilter::Items(Candidates(), forModules);
    // The ids are bound now: a name that turns unreadable later must not
    // shift a click to another plug-in.
    std::vector<size_t>& bound = aMenuEntries[forModules ? 1 : 0];
    bound.clear();
    for (const PluginMenuFilter::Item& item : items) bound.push_back(item.nIndex);
    abMenuBuilt[forModules ? 1 : 0] = true;
    if (items.empty()) return nullptr;
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (const PluginMenuFilter::Item& item : items) {
        // A name is shown as it is: "&" stands for itself.
        std::string text;
        for (char c : NameOf(item.nIndex)) {
            if (c == '&') text += '&';
            text += c;
        }
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(item.nCommand), text.c_str());
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        info.dwItemData = item.nIndex;
        SetMenuItemInfoA(menu, static_cast<UINT>(item.nCommand), FALSE, &info);
    }
    return menu;
}

int PluginHost::IndexForCommand(int command, bool forModules) const
{
    if (!PluginMenuFilter::IsPluginCommand(command)) return -1;
    const int kind = forModules ? 1 : 0;
    if (!abMenuBuilt[kind]) return PluginMenuFilter::IndexForCommand(Candidates(), forModules, command);
    const size_t position = static_cast<size_t>(command - PluginMenuFilter::kFirstCommand);
    if (position >= aMenuEntries[kind].size()) return -1;
    const size_t index = aMenuEntries[kind][position];
    return IsCallable(index) ? static_cast<int>(index) : -1;
}

PFN_PLUGIN_ENTRY PluginHost::EntryPoint(size_t index, size_t offset) const
{
    PluginInfo copy;
    if (index >= entries.size() || !PluginCall::ReadRecord(entries[index].pRecord, copy)) return nullptr;
    PFN_PLUGIN_ENTRY entry;
    std::memcpy(&entry, reinterpret_cast<const char*>(&copy) + offset, sizeof(entry));
    return entry;
}

PluginHost::Outcome PluginHost::ExecutePlugin(size_t index, const PluginRequest& request, HWND mainWindow)
{
    if (!IsCallable(index)) return Outcome::NotRun;
    if (IsCallActive()) return Outcome::Refused;
    const Entry entry = entries[index];
    const PFN_PLUGIN_ENTRY execute = EntryPoint(index, offsetof(PluginInfo, Execute));
    ExecuteData data(entry.nKind, request);
    if (!execute || data.Count() == 0) return Outcome::NotRun;
    if (!PluginCall::WriteData(entry.pRecord, data.Data(), data.Count())) return Outcome::NotRun;

    HWND focus = GetFocus();
    int result = 0;
    const bool completed = TW_WATCHED_CALL(execute, entry.pRecord, &result, "execution", mainWindow);
    PluginCall::WriteData(entry.pRecord, nullptr, 0);
    if (focus && IsWindow(focus)) SetFocus(focus);

    if (!completed) return Outcome::Faulted;
    return result == 1 ? Outcome::Refresh : Outcome::Completed;
}

bool PluginHost::CallWatched(PFN_PLUGIN_ENTRY entry, PluginInfo* record, int* result, const char* what,
                             const char* file, int line, HWND owner)
{
    WindowWatch watch;
    watch.hwndMain = owner;
    watch.hProgram = GetModuleHandleA(nullptr);
    WindowWatch* outer = g_watch;
    watch.hHook = SetWindowsHookExA(WH_CBT, &WatchCreation, nullptr, GetCurrentThreadId());
    g_watch = &watch;

    CallScope scope(*this);
    const bool completed = PluginCall::Entry(entry, record, result, what, file, line);
    if (!completed && entry)
        for (Entry& loaded : entries)
            if (loaded.pRecord == record) loaded.bFaulted = true;
    g_watch = outer;
    if (watch.hHook) UnhookWindowsHookEx(watch.hHook);
    // A fault left the plug-in's windows behind, modal loops unwound: close
    // them while the call still counts as running.
    if (!completed && entry) CloseLeftovers(watch.windows, owner);
    return completed;
}

void PluginHost::CloseLeftovers(const std::vector<HWND>& windows, HWND owner)
{
    const DWORD thread = GetCurrentThreadId();
    for (size_t i = windows.size(); i-- > 0;) {
        HWND window = windows[i];
        if (!IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != thread) continue;
        GuardedCall::Invoke([&] { SendMessageA(window, WM_CLOSE, 0, 0); });
        if (IsWindow(window)) GuardedCall::Invoke([&] { DestroyWindow(window); });
    }
    // A modal dialog that was unwound never re-enabled its owner.
    HWND topLevel = owner;
    while (topLevel && (GetWindowLongA(topLevel, GWL_STYLE) & WS_CHILD)) topLevel = GetParent(topLevel);
    if (topLevel && IsWindow(topLevel)) EnableWindow(topLevel, TRUE);
}

std::vector<PluginHost::OptionsEntry> PluginHost::OptionsEntries() const
{
    std::vector<OptionsEntry> list;
    for (size_t i = 0; i < entries.size(); ++i) {
        PluginInfo copy;
        if (!IsCallable(i) || !PluginCall::ReadRecord(entries[i].pRecord, copy)) continue;
        const std::string name = PluginCall::Text(copy.pszName);
        const std::string description = PluginCall::Text(copy.pszDescription);
        if (name.empty() || description.empty()) continue;
        list.push_back(OptionsEntry{i, description + " [" + name + "]", copy.Configure != nullptr, copy.About != nullptr});
    }
    return list;
}

bool PluginHost::Configure(size_t index, HWND pageWindow, const char* file, int line)
{
    if (!IsCallable(index) || IsCallActive()) return false;
    PluginInfo* record = entries[index].pRecord;
    const PFN_PLUGIN_ENTRY configure = EntryPoint(index, offsetof(PluginInfo, Configure));
    HWND saved = nullptr;
    if (!configure || !PluginCall::ReadWindow(record, saved)) return false;
    PluginCall::WriteWindow(record, pageWindow);
    const bool completed = CallWatched(configure, record, nullptr, "configuration", file, line, pageWindow);
    // Restored whatever happened inside, a fault too.
    PluginCall::WriteWindow(record, saved);
    return completed;
}

bool PluginHost::About(size_t index, const char* file, int line)
{
    if (!IsCallable(index) || IsCallActive()) return false;
    const PFN_PLUGIN_ENTRY about = EntryPoint(index, offsetof(PluginInfo, About));
    if (!about) return false;
    HWND owner = nullptr;
    PluginCall::ReadWindow(entries[index].pRecord, owner);
    return CallWatched(about, entries[index].pRecord, nullptr, "about call", file, line, owner);
}
