// Helper process for the snapshot and end-to-end tests:
//   tw-helper wait EVENT [load DLL] [spawn EVENT2] [loadon EVENT3 DLL] [window TITLE [min]]
//             [hang] [note TEXT] [spin] [commit MB]
// load: loads DLL at once; spawn: starts a child helper that signals EVENT2;
// loadon: loads DLL when EVENT3 is signalled, then sets "EVENT3-loaded";
// window: shows a top-level window titled TITLE (minimised with "min") and
// serves its messages (WM_CLOSE ends the helper with exit code 0); hang: the
// window's messages are never served (a hung program); note: a
// text carried on the command line only; spin: one thread runs without a
// pause; commit: MB megabytes committed and every page of them written.
// When all is done the helper signals EVENT and waits to be terminated.
// Started with any other command line (a crafted one), it takes its orders
// from the environment instead: TW_LOAD (a DLL to load, any characters) and
// TW_READY (the event to signal).
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
const DWORD kLifetime = 120000;  // the test ends us long before

struct LoadOn {
    HANDLE trigger;
    std::string loaded;
    std::string dll;
};

DWORD WINAPI SpinThread(void*)
{
    volatile unsigned long counter = 0;
    for (;;) ++counter;
}

DWORD WINAPI LoadOnThread(void* context)
{
    LoadOn* request = static_cast<LoadOn*>(context);
    if (WaitForSingleObject(request->trigger, INFINITE) != WAIT_OBJECT_0) return 1;
    if (!LoadLibraryA(request->dll.c_str())) return 2;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, request->loaded.c_str());
    if (done) SetEvent(done);  // kept open: the waiter may open it later
    return 0;
}

LRESULT CALLBACK HelperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ShowHelperWindow(const char* title, bool minimised)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HelperWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "TwHelperWindowClass";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window) ShowWindow(window, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    return window;
}
std::wstring Variable(const wchar_t* name)
{
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length && length < 1024 ? std::wstring(value, length) : std::wstring();
}

int RunFromEnvironment()
{
    const std::wstring load = Variable(L"TW_LOAD");
    if (!load.empty() && !LoadLibraryW(load.c_str())) return 3;
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, Variable(L"TW_READY").c_str());
    if (!event) return 5;
    SetEvent(event);
    CloseHandle(event);
    Sleep(kLifetime);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || std::strcmp(argv[1], "wait") != 0) return RunFromEnvironment();
    const char* ready = argv[2];
    PROCESS_INFORMATION child = {};
    std::vector<LoadOn*> loadOns;
    HWND window = nullptr;
    bool hang = false;
    for (int i = 3; i < argc; ++i) {
        const bool hasOne = i + 1 < argc;
        if (std::strcmp(argv[i], "load") == 0 && hasOne) {
            if (!LoadLibraryA(argv[++i])) return 3;
        } else if (std::strcmp(argv[i], "spawn") == 0 && hasOne) {
            char self[MAX_PATH] = {};
            GetModuleFileNameA(nullptr, self, MAX_PATH);
            std::string command = std::string("\"") + self + "\" wait " + argv[++i];
            STARTUPINFOA startup = {};
            startup.cb = sizeof(startup);
            if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
                return 4;
        } else if (std::strcmp(argv[i], "loadon") == 0 && i + 2 < argc) {
            LoadOn* request = new LoadOn{CreateEventA(nullptr, TRUE, FALSE, argv[i + 1]),
                                         std::string(argv[i + 1]) + "-loaded", argv[i + 2]};
            i += 2;
            if (!request->trigger) return 6;
            HANDLE thread = CreateThread(nullptr, 0, LoadOnThread, request, 0, nullptr);
            if (!thread) return 6;
            CloseHandle(thread);
            loadOns.push_back(request);
        } else if (std::strcmp(argv[i], "window") == 0 && hasOne) {
            const char* title = argv[++i];
            const bool minimised = i + 1 < argc && std::strcmp(argv[i + 1], "min") == 0;
            if (minimised) ++i;
            window = ShowHelperWindow(title, minimised);
            if (!window) return 7;
        } else if (std::strcmp(argv[i], "hang") == 0) {
            hang = true;
        } else if (std::strcmp(argv[i], "note") == 0 && hasOne) {
            ++i;  // carried on the command line only
        } else if (std::strcmp(argv[i], "spin") == 0) {
            HANDLE thread = CreateThread(nullptr, 0, SpinThread, nullptr, 0, nullptr);
            if (!thread) return 8;
            CloseHandle(thread);
        } else if (std::strcmp(argv[i], "commit") == 0 && hasOne) {
            const SIZE_T bytes = static_cast<SIZE_T>(std::strtoul(argv[++i], nullptr, 10)) << 20;
            char* memory = static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
            if (!memory) return 9;
            for (SIZE_T at = 0; at < bytes; at += 4096) memory[at] = 1;
        } else {
            return 2;
        }
    }
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    if (!event) return 5;
    SetEvent(event);
    CloseHandle(event);

    if (window && hang) {
        Sleep(kLifetime);
        return 0;
    }
    if (window) {
        SetTimer(nullptr, 0, kLifetime, nullptr);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_TIMER && !message.hwnd) break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } else {
        Sleep(kLifetime);
    }
    if (child.hProcess) TerminateProcess(child.hProcess, 0);
    return 0;
}
