#pragma once

#include "image/ModuleInformation.h"
#include "controls/DialogProcedure.h"
#include "controls/PropertyListView.h"

#include <windows.h>
#include <commctrl.h>
#include <string>

class SearchMenuHost;

// The module information window (dialog CLMODULEINFORMATIONDLG): a tree of the
// module's sections on the left, the list of the selected one on the right,
// a splitter between them.
class ClModuleInformationDlg {
public:
    static const int kMargin = 3;
    static const int kGap = 3;
    static const int kMinPane = 50;

    explicit ClModuleInformationDlg(bool nineXFamily);
    ~ClModuleInformationDlg();
    ClModuleInformationDlg(const ClModuleInformationDlg&) = delete;
    ClModuleInformationDlg& operator=(const ClModuleInformationDlg&) = delete;

    // The list's font (the dialog's when null) and colours.
    void SetListLook(HFONT font, COLORREF text, COLORREF background);
    void SetSearchHost(SearchMenuHost* host) { pSearch = host; }

    // Runs the window modally for the module at `path`; the icon comes from the
    // program's resources.
    INT_PTR show(HWND owner, const std::string& path, UINT iconId);

private:
    friend INT_PTR CALLBACK DialogProcedure<ClModuleInformationDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    void OnCommand(UINT id);
    LRESULT OnNotify(const NMHDR* header);
    void OnContextMenu(HWND source, int x, int y);
    BOOL OnSetCursor(HWND over);
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x);
    void OnLButtonUp();
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnDestroy();

    void BuildTree();
    void ShowNode(uint32_t value);
    void SortList(int column);
    void CopySelection();
    void Search(UINT commandId);
    void Layout();
    bool InGap(int x, int y) const;
    static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM self);

    HWND hWnd;
    HWND hTree;
    ModuleInformation information;
    ModuleInformation::Table table;
    ModuleInformation::SortOrder sortOrder;
    uint16_t nNodeType;
    PropertyListView list;
    SearchMenuHost* pSearch;
    std::string strPath;
    UINT nIconId;
    HICON hIconBig;
    HICON hIconSmall;
    HIMAGELIST hSortImages;
    HFONT hListFont;
    COLORREF crText;
    COLORREF crBackground;
    int nTreeWidth;
    bool bDragging;
    bool bGrabbed;
    int nGrabOffset;
};
