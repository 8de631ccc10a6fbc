#pragma once

#include "app/startup/ClApplication.h"
#include "app/startup/CommandLineSwitches.h"
#include "app/startup/InstanceMutex.h"

#include <memory>

class TarnwickMainFrame;

// The application object: lives on the entry function's stack for the whole
// run. Creates the running-instance mutexes and the main frame object, runs
// the message loop, and builds a new main window in the same process when
// the interface language changed (bRestart).
class TarnwickApp : public ClApplication {
public:
    static const char kTitle[];

    // The switches are read once, by the entry function.
    TarnwickApp(HINSTANCE instance, const CommandLineSwitches& switches);
    TarnwickApp(HINSTANCE instance, const char* commandLine);
    ~TarnwickApp() override;

    int RunAll() override;
    bool InitInstance() override;
    void ExitInstance() override;
    int Run() override;

    // Language modules: switches menus, dialogs and strings to the module (the
    // program's own instance for English), records it in Language.ini and
    // asks the run loop for a new main window; returns the previous module.
    HMODULE SetLanguageModule(HMODULE module) override;

    TarnwickMainFrame* MainFrame() { return pMainFrame.get(); }
    const CommandLineSwitches& Switches() const { return switches; }

    std::unique_ptr<TarnwickMainFrame> pMainFrame;
    InstanceMutex mutexes;
    bool bRestart;

private:
    // The module chosen in an earlier run (Language.ini), when it is usable.
    void UseRecordedLanguage();
    // InitInstance; when no window can be made with a language module,
    // English is recorded and tried once more.
    bool InitInstanceWithFallback();
    void UseModule(HMODULE module, WORD languageId);

    CommandLineSwitches switches;
    // Left by a language change; freed once the window that used it is gone.
    HMODULE hRetiredModule = nullptr;
};
