#include "TarnwickApp.h"
#include "StringTable.h"
#include "TarnwickMainFrame.h"
#include "res/resource.h"
#include "../sysutils/Orvo_SystemUtilities.h"

#include <new>

const char TarnwickApp::kTitle[] = "Tarnwick 2.6";

TarnwickApp::TarnwickApp(HINSTANCE instance, const char* commandLine)
    : ClApplication(instance, commandLine), bRestart(false), switches(commandLine)
{
    mutexes.Create(osVersion.nKind);
    pMainFrame.reset(new (std::nothrow) TarnwickMainFrame(*this));
}

TarnwickApp::~TarnwickApp()
{
    mutexes.Close();
    pMainFrame.reset();
}

bool TarnwickApp::InitInstance()
{
    if (EnableDebugPrivilege() != 0)
        MessageBoxA(nullptr, StringTable::Load(142).c_str(), StringTable::Load(1).c_str(), MB_OK | MB_ICONSTOP);
    const bool registered = pMainFrame->Register();
    const bool created = registered && pMainFrame->Create(nullptr, StringTable::Load(1).c_str());
    return registered && created;
}

void TarnwickApp::ExitInstance()
{
    if (pMainFrame) pMainFrame->Unregister();
}

int TarnwickApp::Run()
{
    HACCEL accelerators = LoadAcceleratorsA(hInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message;
    int result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (result == -1) break;
        if (IsModelessMessage(message)) continue;
        HWND main = pMainFrame ? pMainFrame->GetHwnd() : nullptr;
        if (main && IsWindow(main) && accelerators && TranslateAcceleratorA(main, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return result == -1 ? -1 : static_cast<int>(message.wParam);
}

int TarnwickApp::RunAll()
{
    if (pMainFrame) {
        bRestart = false;
        if (InitInstance()) {
            for (;;) {
                const int exitCode = Run();
                ExitInstance();
                if (!bRestart) {
                    if (hResourceModule && hResourceModule != hInstance) FreeLibrary(hResourceModule);
                    return exitCode;
                }
                bRestart = false;
                if (!InitInstance()) break;
            }
        }
    }
    debugString.print("Could not initialize instance! Terminating now...");
    return -1;
}
