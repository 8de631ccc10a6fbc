#include "app/mainframe/LanguageSwitch.h"

#include "app/language/ClTarnwickChooseLangDlg.h"
#include "app/language/HelpFile.h"
#include "app/mainframe/FrameHost.h"
#include "app/pluginhost/PluginHost.h"
#include "app/startup/TarnwickApp.h"

LanguageSwitch::LanguageSwitch(FrameHost& host, PluginHost& plugins)
    : host(host), plugins(plugins), hPendingLanguage(nullptr), bLanguagePending(false)
{
}

void LanguageSwitch::Choose()
{
    TarnwickApp& app = host.App();
    BusyScope hold(host);
    ClTarnwickChooseLangDlg dialog(app.GetInstance(), app.GetResourceModule(), HelpFile::ProgramFolder());
    if (dialog.DoModal(host.Window()) != 1) return;
    // The dialog frees its own modules: the chosen one is loaded again by its path.
    HMODULE module = app.GetInstance();
    if (dialog.GetChosenModulePath()[0]) {
        module = LoadLibraryA(dialog.GetChosenModulePath());
        if (!module) return;
    }
    if (module == app.GetResourceModule()) {
        if (module != app.GetInstance()) FreeLibrary(module);
        return;
    }
    Request(module);
}

void LanguageSwitch::Request(HMODULE module)
{
    if (hPendingLanguage && hPendingLanguage != host.App().GetInstance()) FreeLibrary(hPendingLanguage);
    hPendingLanguage = module;
    bLanguagePending = true;
    if (!plugins.IsCallActive()) ApplyPending();
}

void LanguageSwitch::ApplyPending()
{
    if (!bLanguagePending || plugins.IsCallActive() || !host.Window()) return;
    bLanguagePending = false;
    host.App().SetLanguageModule(hPendingLanguage);
    hPendingLanguage = nullptr;
    // The window closes as the user closes it (settings saved); the run loop
    // builds the new one from the new resources.
    PostMessageA(host.Window(), WM_CLOSE, 0, 0);
}
