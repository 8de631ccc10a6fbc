// Helper process for the snapshot, information window and command tests:
//   tw-helper wait EVENT [load DLL] [spawn EVENT2] [window TITLE] [iconic TITLE]
//             [hidden TITLE] [note TEXT]
// Loads DLL at run time, starts a child helper that signals EVENT2, opens a
// top-level window (shown normally, minimised or hidden) per window option,
// signals EVENT and then waits to be terminated. "note" arguments are only
// carried on the command line.
#include <windows.h>
#include <cstring>
#include <string>

namespace {

const char kWindowClass[] = "TwHelperWindow";

HWND OpenWindow(const char* title, int show)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kWindowClass;
        registered = RegisterClassA(&windowClass) != 0;
    }
    HWND window = CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, 40, 40, 320, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window && show != SW_HIDE) ShowWindow(window, show);
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || std::strcmp(argv[1], "wait") != 0) return 2;
    const char* ready = argv[2];
    PROCESS_INFORMATION child = {};
    bool windows = false;
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
        } else if (std::strcmp(argv[i], "window") == 0 || std::strcmp(argv[i], "iconic") == 0 ||
                   std::strcmp(argv[i], "hidden") == 0) {
            int show = argv[i][0] == 'w' ? SW_SHOWNORMAL : (argv[i][0] == 'i' ? SW_SHOWMINNOACTIVE : SW_HIDE);
            if (!OpenWindow(argv[i + 1], show)) return 6;
            windows = true;
        }
    }
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    if (!event) return 5;
    SetEvent(event);
    CloseHandle(event);
    if (windows) {
        // The test ends us long before the timer.
        SetTimer(nullptr, 0, 120000, nullptr);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) DispatchMessageA(&message);
    } else {
        Sleep(120000);
    }
    if (child.hProcess) TerminateProcess(child.hProcess, 0);
    return 0;
}
