#include "app/startup/TarnwickApp.h"
#include "app/language/HelpFile.h"
#include "app/language/LanguageModuleList.h"
#include "app/language/LanguageSettings.h"
#include "app/menus/StringTable.h"
#include "app/mainframe/TarnwickMainFrame.h"
#include "TarnwickVersion.h"
#include "app/res/resource.h"
#include "sysutils/Orvo_SystemUtilities.h"

#include <new>
#include <string>

const char TarnwickApp::kTitle[] = TARNWICK_TITLE;

TarnwickApp::TarnwickApp(HINSTANCE instance, const char* commandLine)
    : TarnwickApp(instance, CommandLineSwitches(commandLine))
{
}

TarnwickApp::TarnwickApp(HINSTANCE instance, const CommandLineSwitches& switches)
    : ClApplication(instance, switches.bDebug), bRestart(false), switches(switches)
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
        UseRecordedLanguage();
        if (InitInstanceWithFallback()) {
            for (;;) {
                const int exitCode = Run();
                ExitInstance();
                if (hRetiredModule) {
                    FreeLibrary(hRetiredModule);
                    hRetiredModule = nullptr;
                }
                if (!bRestart) {
                    if (hResourceModule && hResourceModule != hInstance) FreeLibrary(hResourceModule);
                    return exitCode;
                }
                bRestart = false;
                if (!InitInstanceWithFallback()) break;
            }
        }
    }
    debugString.print("Could not initialize instance! Terminating now...");
    return -1;
}

// ---- Language modules --------------------------------------------------------

HMODULE TarnwickApp::SetLanguageModule(HMODULE module)
{
    if (!module) module = hInstance;
    WORD languageId = 1033;
    std::string value;
    if (module != hInstance) {
        char path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(module, path, sizeof(path));
        char name[MAX_PATH] = {};
        if (length > 0 && length < sizeof(path) - 1 && CopyFileNamePart(path, name, sizeof(name)) > 0) value = name;
        LangModuleWrapper wrapper(path);
        languageId = LanguageModuleList::LanguageOf(wrapper);
    }
    const HMODULE previous = hResourceModule;
    UseModule(module, languageId);
    LanguageSettings(HelpFile::ProgramFolder()).WriteModuleName(value, &debugString);
    bRestart = true;
    // The window still shows resources of the previous module until it is rebuilt.
    if (previous != hInstance && previous != module) {
        if (hRetiredModule) FreeLibrary(hRetiredModule);
        hRetiredModule = previous;
    }
    return previous;
}

void TarnwickApp::UseModule(HMODULE module, WORD languageId)
{
    ClApplication::SetLanguageModule(module);
    wLanguageId = languageId;
}

void TarnwickApp::UseRecordedLanguage()
{
    HMODULE module = LanguageSettings(HelpFile::ProgramFolder()).LoadChosenModule();
    if (!module) return;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof(path));
    LangModuleWrapper recorded(path);
    UseModule(module, LanguageModuleList::LanguageOf(recorded));
}

bool TarnwickApp::InitInstanceWithFallback()
{
    if (InitInstance()) return true;
    if (hResourceModule == hInstance) return false;
    debugString.print("No window from the language module: English\n");
    // A window that failed to be made may have posted its WM_QUIT already.
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    LanguageSettings(HelpFile::ProgramFolder()).WriteModuleName("", &debugString);
    const HMODULE failed = hResourceModule;
    UseModule(hInstance, 1033);
    FreeLibrary(failed);
    return InitInstance();
}
