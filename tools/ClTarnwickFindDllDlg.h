#pragma once

#include "tools/DllSearch.h"
#include "controls/DialogProcedure.h"
#include "controls/DialogResizer.h"
#include "controls/TooltipCtrl.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// "Find Dll": every running process that has a module matching a wildcard
// pattern, with those modules indented beneath it.
class ClTarnwickFindDllDlg {
public:
    ClTarnwickFindDllDlg() = default;
    ~ClTarnwickFindDllDlg();
    ClTarnwickFindDllDlg(const ClTarnwickFindDllDlg&) = delete;
    ClTarnwickFindDllDlg& operator=(const ClTarnwickFindDllDlg&) = delete;

    // Runs modally: 1 for OK, 0 for Cancel.
    int Show(HWND owner, bool tooltips);

    // The colour flag of the result list's images: 32 bits with common
    // controls 6 (version as DllGetVersion packs it), else the screen's depth.
    static UINT ImageColorFlag(DWORD comctlVersion, int screenBits);

private:
    friend INT_PTR CALLBACK DialogProcedure<ClTarnwickFindDllDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnCommand(int id);
    bool OnNotify(NMHDR* header);

    void Search();
    static void OnProgress(const std::vector<DllSearchHit>& hits, void* context);
    void AppendHit(const DllSearchHit& hit);
    int InsertRow(int index, const std::string& text, int image, int indent);

    HWND hWnd = nullptr;
    HWND hOwner = nullptr;
    HWND hList = nullptr;
    HIMAGELIST hImages = nullptr;
    HICON hIcons[3] = {nullptr, nullptr, nullptr};
    bool bTooltips = false;
    unsigned char bBusy = 0;
    size_t nShownHits = 0;
    TooltipCtrl tooltip;
    DialogResizer resizer;
    std::string strTip;
};
