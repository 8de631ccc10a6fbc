#pragma once

#include "ClApplication.h"
#include "CommandLineSwitches.h"
#include "InstanceMutex.h"

#include <memory>

class TarnwickMainFrame;

// The application object: lives on the entry function's stack for the whole
// run. Creates the running-instance mutexes and the main frame object, runs
// the message loop, and builds a new main window in the same process when
// the interface language changed (bRestart).
class TarnwickApp : public ClApplication {
public:
    static const char kTitle[];

    TarnwickApp(HINSTANCE instance, const char* commandLine);
    ~TarnwickApp() override;

    int RunAll() override;
    bool InitInstance() override;
    void ExitInstance() override;
    int Run() override;

    TarnwickMainFrame* MainFrame() { return pMainFrame.get(); }
    const CommandLineSwitches& Switches() const { return switches; }

    std::unique_ptr<TarnwickMainFrame> pMainFrame;
    InstanceMutex mutexes;
    bool bRestart;

private:
    CommandLineSwitches switches;
};
