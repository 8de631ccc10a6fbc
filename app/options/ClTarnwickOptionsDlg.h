#pragma once

#include "app/pluginhost/PluginHost.h"
#include "controls/DialogProcedure.h"
#include "app/settings/UserSettings.h"

#include "controls/ButtonEx.h"
#include "controls/HyperLink.h"
#include "controls/Infobar.h"
#include "controls/OptionsPage.h"
#include "controls/TooltipCtrl.h"
#include "launchers/SearchEngine.h"
#include "launchers/UserApplication.h"

#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>

// "Options": a tree of seven pages, a header bar naming the page shown, and
// OK, Cancel and Help. The dialog works on copies of the settings and of the
// launcher lists: Cancel leaves everything the caller has as it was; after OK
// the caller takes back what it needs.
class ClTarnwickOptionsDlg {
public:
    static const char kTemplateName[];
    enum Page : size_t { kView, kColumns, kColors, kCopy, kApplications, kPlugins, kInternetSearch, kPageCount };

    explicit ClTarnwickOptionsDlg(PluginHost& plugins);
    ~ClTarnwickOptionsDlg();
    ClTarnwickOptionsDlg(const ClTarnwickOptionsDlg&) = delete;
    ClTarnwickOptionsDlg& operator=(const ClTarnwickOptionsDlg&) = delete;

    // The page command (40057 View ... 40097 Internet Search) of the page to
    // open first; any other value opens View.
    void SetInitialPage(UINT command);
    void SetTooltips(bool on);
    // The interface language, for Help.
    void SetLanguage(WORD languageId);
    void SetSettings(const UserSettings& settings);
    // The live view's settings (defaults when not given).
    void SetLiveSettings(const LiveSettings& live);
    void SetApplications(const std::vector<UserApplication>& list);
    void SetEngines(const std::vector<SearchEngine>& list);
    // The folder the Internet Search page adds plugins from.
    void SetSearchPluginFolder(const std::string& folder);

    // 1 for OK, 0 for Cancel. `owner` is the main window.
    INT_PTR Run(HWND owner);
    HWND GetHwnd() const { return hWnd; }

    // After OK.
    const UserSettings& Settings() const { return settings; }
    const LiveSettings& Live() const { return live; }
    bool ApplicationsChanged() const;
    const std::vector<UserApplication>& Applications() const { return applications; }
    bool EnginesChanged() const;
    const std::vector<SearchEngine>& Engines() const { return engines; }

    static Page PageOfCommand(UINT command);
    static UINT CommandOfPage(Page page);

private:
    friend INT_PTR CALLBACK DialogProcedure<ClTarnwickOptionsDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR& header);
    void OnOk();
    void OnHelp();
    void OnDestroy();
    void CreatePages(const RECT& area);
    void RebuildButtons();
    void FillTree();
    void ShowPage(Page page);
    Page SelectedPage() const;
    std::string PageText(Page page) const;
    void TreeTip(HTREEITEM item, std::string& text) const;

    PluginHost& plugins;
    HWND hWnd;
    HWND hOwner;
    HWND hTree;
    HIMAGELIST hImages;
    Page nInitialPage;
    Page nCurrentPage;
    bool bTooltips;
    WORD wLanguageId;
    std::string strSearchPluginFolder;
    UserSettings settings;
    LiveSettings live;
    std::vector<UserApplication> applications;
    std::vector<SearchEngine> engines;
    std::unique_ptr<OptionsPage> pages[kPageCount];
    HTREEITEM ahItems[kPageCount];
    Infobar header;
    ButtonEx buttons[3];
    HICON ahButtonIcons[3];
    TooltipCtrl tooltips;
};
