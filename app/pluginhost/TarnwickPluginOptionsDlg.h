#pragma once

#include "app/pluginhost/PluginHost.h"

#include "controls/OptionsPage.h"

#include <vector>

// The "Plugins" page: the loaded plug-ins as "description [name]", their
// Configure and About calls, and the link to the plug-in download page.
class ClTarnwickPluginOptionsDlg : public OptionsPage {
public:
    static const char kTemplateName[];

    // `mainWindow` receives the "Download Plugins" command.
    ClTarnwickPluginOptionsDlg(PluginHost& plugins, HWND mainWindow);
    ~ClTarnwickPluginOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnConfigure();
    void OnAbout();
    void EnableButtons();
    // The entry of the selected line, null for none.
    const PluginHost::OptionsEntry* Selected() const;

    PluginHost& plugins;
    HWND hMainWindow;
    std::vector<PluginHost::OptionsEntry> entries;
};
