// Helper process for the snapshot tests:
//   tw-helper wait EVENT [load DLL] [spawn EVENT2]
// Loads DLL at run time, starts a child helper that signals EVENT2, signals
// EVENT and then waits to be terminated.
#include <windows.h>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3 || std::strcmp(argv[1], "wait") != 0) return 2;
    const char* ready = argv[2];
    PROCESS_INFORMATION child = {};
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
    SetEvent(event);
    CloseHandle(event);
    Sleep(120000);  // the test ends us long before
    if (child.hProcess) TerminateProcess(child.hProcess, 0);
    return 0;
}
