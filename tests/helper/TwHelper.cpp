// Helper process for the snapshot tests:
//   tw-helper wait EVENT [load DLL] [spawn EVENT2]
// Loads DLL at run time, starts a child helper that signals EVENT2, signals
// EVENT and then waits to be terminated.
// Started with any other command line (a crafted one), it takes its orders
// from the environment instead: TW_LOAD (a DLL to load, any characters) and
// TW_READY (the event to signal).
#include <windows.h>
#include <cstring>
#include <string>

namespace {
std::wstring Variable(const wchar_t* name)
{
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length && length < 1024 ? std::wstring(value, length) : std::wstring();
}

int SignalAndWait(HANDLE event, const PROCESS_INFORMATION& child)
{
    SetEvent(event);
    CloseHandle(event);
    Sleep(120000);  // the test ends us long before
    if (child.hProcess) TerminateProcess(child.hProcess, 0);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    PROCESS_INFORMATION child = {};
    if (argc < 3 || std::strcmp(argv[1], "wait") != 0) {
        const std::wstring load = Variable(L"TW_LOAD");
        if (!load.empty() && !LoadLibraryW(load.c_str())) return 3;
        HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, Variable(L"TW_READY").c_str());
        if (!event) return 5;
        return SignalAndWait(event, child);
    }
    const char* ready = argv[2];
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "load") == 0) {
            if (!LoadLibraryA(argv[i + 1])) return 3;
        } else if (std::strcmp(argv[i], "spawn") == 0) {
            char self[MAX_PATH] = {};
            GetModuleFileNameA(nullptr, self, MAX_PATH);
            std::string command = std::string("\"") + self + "\" wait " + argv[i + 1];
            STARTUPINFOA startup = {};
            startup.cb = sizeof(startup);
            if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
                return 4;
        }
    }
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    if (!event) return 5;
    return SignalAndWait(event, child);
}
