#include "app/pluginhost/TarnwickPluginOptionsDlg.h"

#include "app/res/resource.h"

const char ClTarnwickPluginOptionsDlg::kTemplateName[] = "CLTARNWICKPLUGINOPTIONSDLG";

ClTarnwickPluginOptionsDlg::ClTarnwickPluginOptionsDlg(PluginHost& plugins, HWND mainWindow)
    : plugins(plugins), hMainWindow(mainWindow)
{
}

ClTarnwickPluginOptionsDlg::~ClTarnwickPluginOptionsDlg()
{
    Destroy();
}

void ClTarnwickPluginOptionsDlg::OnInitPage()
{
    entries = plugins.OptionsEntries();
    HWND list = Item(IDC_PLUGINS_LIST);
    for (const PluginHost::OptionsEntry& entry : entries)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.strText.c_str()));
    if (!entries.empty()) SendMessageA(list, LB_SETCURSEL, 0, 0);
    EnableButtons();
    AddTip(IDC_PLUGINS_LIST, 144);
    AddTip(IDC_PLUGINS_CONFIGURE, 145);
    AddTip(IDC_PLUGINS_ABOUT, 146);
    AddTip(IDC_PLUGINS_DOWNLOAD, ID_HELP_PLUGINS);
}

const PluginHost::OptionsEntry* ClTarnwickPluginOptionsDlg::Selected() const
{
    const LRESULT selected = SendMessageA(Item(IDC_PLUGINS_LIST), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || static_cast<size_t>(selected) >= entries.size()) return nullptr;
    return &entries[static_cast<size_t>(selected)];
}

void ClTarnwickPluginOptionsDlg::EnableButtons()
{
    const PluginHost::OptionsEntry* entry = Selected();
    EnableWindow(Item(IDC_PLUGINS_CONFIGURE), entry && entry->bConfigure);
    EnableWindow(Item(IDC_PLUGINS_ABOUT), entry && entry->bAbout);
}

bool ClTarnwickPluginOptionsDlg::OnCommand(WORD id, WORD code, HWND)
{
    switch (id) {
    case IDC_PLUGINS_LIST:
        if (code == LBN_SELCHANGE) EnableButtons();
        else if (code == LBN_DBLCLK) OnConfigure();
        return true;
    case IDC_PLUGINS_CONFIGURE: OnConfigure(); return true;
    case IDC_PLUGINS_ABOUT: OnAbout(); return true;
    case IDC_PLUGINS_DOWNLOAD:
        if (hMainWindow) SendMessageA(hMainWindow, WM_COMMAND, ID_HELP_PLUGINS, 0);
        return true;
    default: return false;
    }
}

void ClTarnwickPluginOptionsDlg::OnConfigure()
{
    const PluginHost::OptionsEntry* entry = Selected();
    if (!entry || !entry->bConfigure) return;
    // The plug-in sees this page as its owner while it configures.
    plugins.Configure(entry->nIndex, hWnd, __FILE__, __LINE__);
}

void ClTarnwickPluginOptionsDlg::OnAbout()
{
    const PluginHost::OptionsEntry* entry = Selected();
    if (entry && entry->bAbout) plugins.About(entry->nIndex, __FILE__, __LINE__);
}
