#pragma once

#include "controls/DialogResizer.h"
#include "controls/DialogProcedure.h"
#include "controls/TooltipCtrl.h"
#include "views/ProcessItem.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

class ValueFormatter;

// "Create Report": the processes to report (Delete drops one), the report
// file and its type chosen in the save dialog.
class ClTarnwickReportDlg {
public:
    enum Type { Text = 1, Xml = 2, Html = 3 };

    ClTarnwickReportDlg() = default;
    ~ClTarnwickReportDlg();
    ClTarnwickReportDlg(const ClTarnwickReportDlg&) = delete;
    ClTarnwickReportDlg& operator=(const ClTarnwickReportDlg&) = delete;

    // Runs modally: IDOK or IDCANCEL. The processes are copied, with their
    // icons from `images` (the view's image list, may be null), so that a
    // refresh of the views meanwhile cannot pull them away.
    int Show(HWND owner, const std::vector<ProcessItem>& processes, HIMAGELIST images, bool tooltips,
             uint32_t type, const ValueFormatter& formatter);

    // After OK: the processes left in the list, in their order, the file and its type.
    std::vector<ProcessItem> Processes() const;
    const std::string& Path() const { return strPath; }
    uint32_t GetType() const { return nType; }

private:
    struct Row {
        ProcessItem item;
        std::string strCaption;
        HICON hIcon;
    };

    friend INT_PTR CALLBACK DialogProcedure<ClTarnwickReportDlg>(HWND, UINT, WPARAM, LPARAM);
    static UINT_PTR CALLBACK SaveHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void OnCommand(int id);
    INT_PTR OnVKeyToItem(WPARAM wParam);
    void OnMeasureItem(MEASUREITEMSTRUCT* measure);
    void OnDrawItem(const DRAWITEMSTRUCT* draw);
    bool OnNotify(NMHDR* header);
    void OnBrowse();
    void OnOk();
    void Message(UINT textId);
    void FreeRows();

    HWND hWnd = nullptr;
    HWND hOwner = nullptr;
    HWND hList = nullptr;
    HICON hBrowseIcon = nullptr;
    HICON hSmallIcon = nullptr;
    std::vector<Row> rows;  // one per list row, in row order
    std::string strPath;
    uint32_t nType = Text;
    bool bTooltips = false;
    bool bThemed = false;
    TooltipCtrl tooltip;
    DialogResizer resizer;
    std::string strTip;
};
