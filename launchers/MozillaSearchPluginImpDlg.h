#pragma once

#include "launchers/SearchEngine.h"
#include "controls/DialogProcedure.h"

#include <windows.h>
#include <set>
#include <string>
#include <vector>

// "Add Mozilla-Search Plugins": every valid plugin of a folder in a check
// list; the active ones come checked. OK returns the engines checked now
// that were not checked at the start.
class MozillaSearchPluginImpDlg {
public:
    MozillaSearchPluginImpDlg();
    ~MozillaSearchPluginImpDlg();
    MozillaSearchPluginImpDlg(const MozillaSearchPluginImpDlg&) = delete;
    MozillaSearchPluginImpDlg& operator=(const MozillaSearchPluginImpDlg&) = delete;

    // active: lower-cased source paths of the engines in use. 1 for OK, 0 for Cancel.
    INT_PTR Show(HWND owner, const std::string& folder, const std::set<std::string>& active);
    const std::vector<SearchEngine>& Chosen() const { return chosen; }

    static std::string LowerCase(const std::string& text);

private:
    friend INT_PTR CALLBACK DialogProcedure<MozillaSearchPluginImpDlg>(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(WORD id, WORD code);
    void OnDrawItem(const DRAWITEMSTRUCT& draw);
    void OnOk();
    void SetAll(bool checked);
    void Toggle(int index);
    bool IsChecked(int index) const;

    HWND hWnd;
    HWND hList;
    WNDPROC pListProc;
    std::string strFolder;
    std::set<std::string> activePaths;
    std::vector<SearchEngine> engines;
    std::vector<bool> initiallyChecked;
    std::vector<HICON> icons;
    std::vector<SearchEngine> chosen;
    HFONT hBoldFont;
    bool bThemed = false;
};
