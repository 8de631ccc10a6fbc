#include "app/commands/ProcessCommands.h"

#include "app/commands/DebuggerTemplate.h"
#include "app/menus/StringTable.h"
#include "sysinfo/TopLevelWindowList.h"
#include "sysinfo/USER32Wrapper.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <shellapi.h>
#include <vector>

const char ProcessCommands::kDebuggerKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";

ProcessCommands::ProcessCommands(HWND mainWindow) : hMain(mainWindow) {}

int ProcessCommands::Message(UINT stringId, UINT flags) const
{
    const std::string text = StringTable::Load(stringId);
    const std::string title = StringTable::Load(1);
    return MessageBoxA(hMain, text.c_str(), title.c_str(), flags);
}

bool ProcessCommands::ReadDebuggerTemplate(std::string& pattern)
{
    pattern.clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDebuggerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char value[1025] = {};
    DWORD size = 1024;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, "Debugger", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value[size < 1024 ? size : 1024] = '\0';
    pattern = value;
    return !pattern.empty();
}

bool ProcessCommands::Start(const std::string& commandLine, const char* directory, const char* desktop,
                            PROCESS_INFORMATION& info) const
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = const_cast<char*>(desktop);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    info = PROCESS_INFORMATION();
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, directory,
                          &startup, &info) != FALSE;
}

ProcessCommands::DebugOutcome ProcessCommands::Debug(uint32_t processId, const std::function<bool()>& stillThere)
{
    std::string pattern;
    if (!ReadDebuggerTemplate(pattern)) return DebugNotRegistered;
    if (Message(159, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return DebugDeclined;
    if (stillThere && !stillThere()) return DebugDeclined;
    std::string commandLine;
    PROCESS_INFORMATION info;
    if (!DebuggerTemplate::Format(pattern, processId, 1, commandLine) ||
        !Start(commandLine, nullptr, "WinSta0\\Default", info)) {
        Message(150, MB_OK | MB_ICONSTOP);
        return DebugFailed;
    }
    WaitForInputIdle(info.hProcess, 1000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return DebugStarted;
}

bool ProcessCommands::IsHung(HWND window)
{
    // The system's test where it exists; it answers only after some seconds of
    // silence, so a short message probe follows.
    USER32Wrapper user32;
    if (user32.IsHungAppWindow(window)) return true;
    DWORD_PTR answer = 0;
    return !SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kHungProbeTimeout, &answer);
}

bool ProcessCommands::SwitchTo(uint32_t processId)
{
    TopLevelWindowList windows;
    windows.Collect();
    for (const TopLevelWindowRecord& record : windows.Windows()) {
        if (record.dwProcessId != processId) continue;
        HWND window = record.hWnd;
        if (GetWindow(window, GW_OWNER) || !IsWindowVisible(window)) continue;
        if (IsHung(window)) {
            // A hung program's thread would block every call that waits for it:
            // restored and raised without waiting, its input never attached.
            if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
            return true;
        }
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        BringWindowToTop(window);
        ForceForegroundWindow(window);
        // The focus belongs to the window's thread: share its input state for the call.
        DWORD thread = GetWindowThreadProcessId(window, nullptr);
        DWORD own = GetCurrentThreadId();
        bool attached = thread != own && AttachThreadInput(own, thread, TRUE);
        SetFocus(window);
        if (attached) AttachThreadInput(own, thread, FALSE);
        return true;
    }
    return false;
}

bool ProcessCommands::ExploreFrom(const std::string& filePath)
{
    const std::string folder = ShellCommandText::FolderOf(filePath);
    if (folder.empty()) return false;
    PROCESS_INFORMATION info;
    if (!Start(ShellCommandText::ExplorerCommandLine(folder), folder.c_str(), nullptr, info)) return false;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return true;
}

bool ProcessCommands::OpenCommandWindow(const std::string& filePath, bool nineXFamily)
{
    const std::string folder = ShellCommandText::FolderOf(filePath);
    if (folder.empty()) return false;
    char comSpec[1024] = {};
    DWORD length = GetEnvironmentVariableA("ComSpec", comSpec, sizeof(comSpec));
    if (length >= sizeof(comSpec)) comSpec[0] = '\0';
    PROCESS_INFORMATION info;
    if (!Start(ShellCommandText::CommandInterpreter(comSpec, nineXFamily), folder.c_str(), nullptr, info))
        return false;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return true;
}

bool ProcessCommands::ShowStandardProperties(const std::string& filePath)
{
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = hMain;
    execute.lpVerb = "properties";
    execute.lpFile = filePath.c_str();
    execute.nShow = SW_SHOW;
    if (ShellExecuteExA(&execute)) return true;
    Message(78, MB_OK | MB_ICONINFORMATION);
    return false;
}

bool ProcessCommands::OpenWebPage(ShellCommandText::WebPage page, uint16_t languageId)
{
    const std::string address = ShellCommandText::WebAddress(page, languageId);
    HINSTANCE result = ShellExecuteA(hMain, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
