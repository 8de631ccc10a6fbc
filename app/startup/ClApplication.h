#pragma once

#include "app/startup/ClDebugString.h"
#include "sysutils/OsVersion.h"

#include <windows.h>
#include <cstdint>
#include <vector>

// Base of the application object: the program's module and its resource
// module, the machine facts read once at start, the debug channel.
class ClApplication {
public:
    // debug: "--debug" was given; the trace also runs under a debugger.
    ClApplication(HINSTANCE instance, bool debug);
    virtual ~ClApplication();
    ClApplication(const ClApplication&) = delete;
    ClApplication& operator=(const ClApplication&) = delete;

    virtual int RunAll() = 0;
    virtual bool InitInstance() = 0;
    virtual void ExitInstance() = 0;
    virtual int Run() = 0;
    virtual HINSTANCE GetInstance() const { return hInstance; }
    // Menus, dialogs and strings come from this module.
    virtual HMODULE GetResourceModule() const { return hResourceModule; }
    // Stores the new resource module; returns the previous one.
    virtual HMODULE SetLanguageModule(HMODULE module);

    // Modeless windows get their dialog keys in the message loop.
    void AddModelessWindow(HWND window);
    void RemoveModelessWindow(HWND window);
    bool IsModelessMessage(MSG& message);

    HINSTANCE hInstance;
    HMODULE hResourceModule;
    uint16_t wLanguageId;
    uint32_t dwComctlVersion; // major in the high word, minor in the low word
    uint32_t dwProcessId;
    char szUserName[261];
    char szComputerName[16];
    char szNetWareUser[261];
    int32_t anDeviceCaps[5];
    bool bDebug;
    OsVersion osVersion;
    ClDebugString debugString;

private:
    std::vector<HWND> modelessWindows;
};
