#include "app/startup/ClApplication.h"
#include "app/menus/StringTable.h"
#include "sysinfo/DllGetVersionWrapper.h"
#include "sysinfo/KERNEL32Wrapper.h"
#include "sysinfo/MachineDescription.h"

#include <commctrl.h>
#include <algorithm>
#include <cstring>

ClApplication::ClApplication(HINSTANCE instance, bool debug)
    : hInstance(instance), hResourceModule(instance), wLanguageId(1033), dwComctlVersion(0),
      dwProcessId(GetCurrentProcessId()), szUserName{}, szComputerName{}, szNetWareUser{}, anDeviceCaps{},
      bDebug(false)
{
    KERNEL32Wrapper kernel32;
    const bool attached = kernel32.IsDebuggerPresent();
    bDebug = attached || debug;
    debugString.enable(bDebug);
    if (attached) debugString.print("attached to debugger...\n");

    DllGetVersionWrapper comctl("COMCTL32.DLL");
    dwComctlVersion = comctl.DllGetVersion();
    debugString.print("Version of Comctl32.dll: %d.%d\n", static_cast<int>(HIWORD(dwComctlVersion)),
                      static_cast<int>(LOWORD(dwComctlVersion)));

    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0x6FF};
    if (InitCommonControlsEx(&controls))
        debugString.print("call to 'InitCommonControlsEx' was successful\n");
    else
        debugString.print("call to 'InitCommonControlsEx' was not successful\n");

    DWORD size = sizeof(szUserName);
    if (!GetUserNameA(szUserName, &size)) szUserName[0] = '\0';
    size = sizeof(szComputerName);
    if (!GetComputerNameA(szComputerName, &size)) szComputerName[0] = '\0';
    MachineDescription::GetNetWareUserName(szNetWareUser, sizeof(szNetWareUser));
    HDC screen = GetDC(nullptr);
    if (screen) {
        const int caps[5] = {BITSPIXEL, HORZRES, VERTRES, LOGPIXELSX, LOGPIXELSY};
        for (int i = 0; i < 5; ++i) anDeviceCaps[i] = GetDeviceCaps(screen, caps[i]);
        ReleaseDC(nullptr, screen);
    }
    StringTable::SetOwnModule(instance);
}

ClApplication::~ClApplication() = default;

HMODULE ClApplication::SetLanguageModule(HMODULE module)
{
    HMODULE previous = hResourceModule;
    hResourceModule = module;
    StringTable::SetResourceModule(module == hInstance ? nullptr : module);
    return previous;
}

void ClApplication::AddModelessWindow(HWND window)
{
    if (window && std::find(modelessWindows.begin(), modelessWindows.end(), window) == modelessWindows.end())
        modelessWindows.push_back(window);
}

void ClApplication::RemoveModelessWindow(HWND window)
{
    modelessWindows.erase(std::remove(modelessWindows.begin(), modelessWindows.end(), window),
                          modelessWindows.end());
}

bool ClApplication::IsModelessMessage(MSG& message)
{
    for (HWND window : modelessWindows)
        if (IsWindow(window) && IsDialogMessageA(window, &message)) return true;
    return false;
}
