#pragma once

#include <windows.h>

class FrameHost;
class PluginHost;

// The Language command: the choose-language dialog, and the switch to the
// chosen module, which waits while a plug-in runs. The window then closes as
// the user closes it (settings saved) and the application builds the new one.
class LanguageSwitch {
public:
    LanguageSwitch(FrameHost& host, PluginHost& plugins);

    void Choose();
    // A language chosen while a plug-in ran is applied once it has returned.
    void ApplyPending();

private:
    void Request(HMODULE module);

    FrameHost& host;
    PluginHost& plugins;
    HMODULE hPendingLanguage;
    bool bLanguagePending;
};
