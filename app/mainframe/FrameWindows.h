#pragma once

#include "app/cpugraph/ClCPUGraph.h"
#include "app/mainframe/StatusDisplay.h"
#include "controls/GridView.h"
#include "controls/Infobar.h"
#include "controls/TreeViewEx.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <memory>

class FrameHost;
class ViewImages;

// The main window's children and where they go: the rebar with the toolbar,
// the process tree with its three fixed items, the infobar, the list, the
// status bar with the CPU graph; the view font; the splitter between tree
// and list; the one rule for showing the bars.
class FrameWindows {
public:
    enum class Bar { Toolbar, Infobar, Statusbar };
    // Toolbar pictures (IDB_TOOLBAR) in button order; menus use them too.
    enum ToolbarImage {
        kImageRefresh = 0, kImageKill, kImageReport, kImageFindDll, kImageOptions, kImageProperties, kImageFullScreen
    };

    FrameWindows(FrameHost& host, ViewImages& images);
    ~FrameWindows();
    FrameWindows(const FrameWindows&) = delete;
    FrameWindows& operator=(const FrameWindows&) = delete;

    // Every child but the list's rows; false when one cannot be made.
    bool Create();
    void Destroy();

    HWND Rebar() const { return hRebar; }
    HWND Toolbar() const { return hToolbar; }
    HIMAGELIST ToolbarImages() const { return hToolbarImages; }
    HWND Tree() const { return tree.GetHwnd(); }
    HWND InfobarWindow() const { return infobar.GetHwnd(); }
    Infobar& InfobarControl() { return infobar; }
    HWND List() const { return list ? list->GetHwnd() : nullptr; }
    HWND ListHeader() const { return list ? list->GetHeader() : nullptr; }
    StatusDisplay& Status() { return status; }
    const StatusDisplay& Status() const { return status; }
    ClCPUGraph& CpuGraph() { return cpuGraph; }
    HFONT ViewFont() const { return hViewFont; }

    // The fixed tree items: "\\<computer>", "Processes" and "Kill".
    HTREEITEM RootItem() const { return hRootItem; }
    HTREEITEM ProcessesItem() const { return hProcessesItem; }
    HTREEITEM KillItem() const { return hKillItem; }
    bool IsFixedItem(HTREEITEM item) const { return item == hRootItem || item == hProcessesItem || item == hKillItem; }
    HTREEITEM SelectedTreeItem() const;

    // Tree notifications are ignored while the tree's items are replaced.
    bool IsTreeMuted() const { return bMuteTree; }
    void MuteTree(bool mute) { bMuteTree = mute; }

    // A new, empty list window in the old one's place (hidden until shown).
    bool RecreateList();
    void DestroyList();

    void Layout();

    // Splitter: a button press on the frame's own client area starts a drag.
    void BeginSplitterDrag();
    void SplitterMove(int x);
    void EndSplitterDrag();
    bool IsSplitterDrag() const { return bSplitterDrag; }
    int TreeWidth() const;

    // The View menu's toggle: flips the bar's setting and applies the rule.
    void ToggleBar(Bar bar);
    // Each bar shown as its setting says, except that in full-screen mode the
    // toolbar and the status bar stay hidden; the View menu's checks follow
    // the settings.
    void ApplyBars();

    // The view font anew from the settings, given to the tree and the list.
    void RecreateViewFont();
    // Text and background colours of the tree from the settings.
    void ApplyViewColors();
    void ApplyInfobarColors();
    // The graph's three colours from the settings.
    void ApplyCpuGraphColors();
    // Tooltips of the toolbar on or off (bEnableTooltips).
    void ApplyTooltips();
    void OnSysColorChange();
    // TTN_GETDISPINFO of the toolbar: the string whose number is the button's command.
    LRESULT TooltipText(NMHDR& header);

private:
    bool CreateRebar();
    bool CreateTree();
    void InsertFixedTreeItems();
    // Width of status-bar part 1 (the CPU graph's).
    int CpuPartWidth() const;
    HWND BarWindow(Bar bar) const;
    uint32_t& BarSetting(Bar bar);

    FrameHost& host;
    ViewImages& images;
    HWND hRebar;
    HWND hToolbar;
    HIMAGELIST hToolbarImages;
    TreeViewEx tree;
    Infobar infobar;
    std::unique_ptr<GridView> list;
    StatusDisplay status;
    ClCPUGraph cpuGraph;
    HFONT hViewFont;
    HTREEITEM hRootItem;
    HTREEITEM hProcessesItem;
    HTREEITEM hKillItem;
    bool bMuteTree;
    bool bSplitterDrag;
    bool bGrabRecorded;
    uint16_t nGrabOffset;
    char szTooltip[1024];
    wchar_t wszTooltip[1024];
};
