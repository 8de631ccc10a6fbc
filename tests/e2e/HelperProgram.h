#pragma once

#include "tests/e2e/Window.h"

#include <string>

// A tw-helper process from the program folder, ended with the object:
//   tw-helper wait EVENT [load DLL] [spawn EVENT2] [loadon EVENT3 DLL] [window TITLE [min]]
// Start() passes the verbs after "wait EVENT" and returns once the helper
// has done them and signalled EVENT.
class HelperProgram {
public:
    HelperProgram() = default;
    ~HelperProgram();
    HelperProgram(const HelperProgram&) = delete;
    HelperProgram& operator=(const HelperProgram&) = delete;

    bool Start(const std::string& verbs = std::string());
    DWORD Pid() const { return info.dwProcessId; }
    HANDLE Handle() const { return info.hProcess; }
    bool IsRunning() const;
    void Kill();

    // A name for the helper's events, unique in this run.
    static std::string NewEventName(const char* tag = "tw-e2e");
    // Signals a "loadon" event and waits until the helper has loaded the DLL
    // (it then sets "<event>-loaded").
    static bool TriggerLoad(const std::string& eventName, DWORD timeoutMs = 10000);
    // The helper's window from "window TITLE".
    Window WaitForWindow(const std::string& title, DWORD timeoutMs = 10000) const;

private:
    PROCESS_INFORMATION info = {};
};
