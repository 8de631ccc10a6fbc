// The e2e driver's test target (tw-e2e-target.exe):
//   tw-e2e-target [--exit-code=N] [--title=TEXT]
// Writes "target: started" to the debugger output; when the settings file
// "Tarnwick.ui" lies beside it, the infobar shows its size.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/e2e/target/TargetIds.h"
#include "tests/e2e/target/TargetWindow.h"

namespace {
std::string Switch(const char* commandLine, const char* name)
{
    const char* found = commandLine ? std::strstr(commandLine, name) : nullptr;
    if (!found) return std::string();
    found += std::strlen(name);
    const char* end = found;
    while (*end && *end != ' ') ++end;
    return std::string(found, end);
}

long SettingsSize()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (!slash) return -1;
    lstrcpyA(slash + 1, "Tarnwick.ui");
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return static_cast<long>(data.nFileSizeLow);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    OutputDebugStringA((std::string("target: started ") + (commandLine ? commandLine : "") + "\n").c_str());

    const std::string title = Switch(commandLine, "--title=");
    const int exitCode = std::atoi(Switch(commandLine, "--exit-code=").c_str());
    TargetWindow target(instance);
    if (!target.Create(title.empty() ? TARGET_TITLE : title.c_str(), exitCode)) return -1;
    const long settings = SettingsSize();
    if (settings >= 0) {
        const std::string text = "Settings: " + std::to_string(settings) + " bytes";
        SetDlgItemTextA(target.GetHwnd(), IDC_TARGET_INFOBAR, text.c_str());
    }

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_TARGET_ACCEL));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(target.GetHwnd(), accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
