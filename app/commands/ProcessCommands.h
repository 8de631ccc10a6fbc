#pragma once

#include "app/commands/ShellCommandText.h"

#include <windows.h>
#include <functional>
#include <cstdint>
#include <string>

// The commands on a process or module once the main window has looked up the
// selection: debugger, switching, Explorer, command window, properties and
// the web pages. Message boxes are owned by the main window.
class ProcessCommands {
public:
    enum DebugOutcome { DebugNotRegistered, DebugDeclined, DebugFailed, DebugStarted };

    static const char kDebuggerKey[];

    explicit ProcessCommands(HWND mainWindow);

    // The registered just-in-time debugger's template (at most 1024 bytes);
    // false when none is registered.
    static bool ReadDebuggerTemplate(std::string& pattern);

    // Asks, then starts the registered debugger for the process. A template that
    // asks for more than integers counts as a failure: nothing is started.
    // stillThere: asked after the warning is answered, right before the
    // start; false (the process has gone) starts nothing.
    DebugOutcome Debug(uint32_t processId, const std::function<bool()>& stillThere = nullptr);
    // The process's first visible unowned top-level window, restored, on top
    // and with the focus. False when it has none.
    bool SwitchTo(uint32_t processId);
    // The window does not answer: the system's hung-window test, else no
    // answer to a message within kHungProbeTimeout milliseconds.
    static bool IsHung(HWND window);
    static const UINT kHungProbeTimeout = 250;
    // Explorer or the command interpreter in the folder of `filePath`; nothing
    // happens for a path without a folder.
    bool ExploreFrom(const std::string& filePath);
    bool OpenCommandWindow(const std::string& filePath, bool nineXFamily);
    // The shell's property sheet of the file; string 78 when it cannot be shown.
    bool ShowStandardProperties(const std::string& filePath);
    bool OpenWebPage(ShellCommandText::WebPage page, uint16_t languageId);

    // A message box with the program's title.
    int Message(UINT stringId, UINT flags) const;

private:
    bool Start(const std::string& commandLine, const char* directory, const char* desktop,
               PROCESS_INFORMATION& info) const;

    HWND hMain;
};
