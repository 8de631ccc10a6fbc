#include "app/mainframe/FrameWindows.h"

#include "app/mainframe/FrameHost.h"
#include "app/mainframe/FrameIds.h"
#include "app/mainframe/FrameLayout.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "app/settings/UserSettings.h"
#include "app/startup/TarnwickApp.h"
#include "views/ViewImages.h"

#include <string>

FrameWindows::FrameWindows(FrameHost& host, ViewImages& images)
    : host(host), images(images), hRebar(nullptr), hToolbar(nullptr), hToolbarImages(nullptr), hViewFont(nullptr),
      hRootItem(nullptr), hProcessesItem(nullptr), hKillItem(nullptr), bMuteTree(false), bSplitterDrag(false),
      bGrabRecorded(false), nGrabOffset(0), szTooltip{}, wszTooltip{}
{
}

FrameWindows::~FrameWindows()
{
    if (hViewFont) DeleteObject(hViewFont);
    if (hToolbarImages) ImageList_Destroy(hToolbarImages);
}

bool FrameWindows::Create()
{
    const UserSettings& settings = host.Settings();
    if (!hViewFont) hViewFont = CreateFontIndirectA(&settings.lfViewFont);
    if (!hToolbarImages) {
        hToolbarImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 7, 0);
        HBITMAP strip = static_cast<HBITMAP>(
            LoadImageA(host.App().GetInstance(), MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, 0));
        if (!hToolbarImages || !strip) return false;
        ImageList_AddMasked(hToolbarImages, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    if (!CreateRebar()) return false;
    RECT none = {0, 0, 0, 0};
    if (!infobar.Create(0, WS_CHILD | WS_CLIPSIBLINGS | (settings.bShowInfobar ? WS_VISIBLE : 0), "", none,
                        host.Window(), FrameIds::kInfobar))
        return false;
    infobar.SetMargins(6, 4, 4, 4);
    infobar.SetGradientMode(0);
    ApplyInfobarColors();
    if (!CreateTree()) return false;
    if (!status.Create(host.Window(), settings.bShowStatusbar != 0)) return false;
    if (!cpuGraph.Create(status.Status(), WS_CHILD | WS_VISIBLE, FrameIds::kCpuGraph)) return false;
    ApplyCpuGraphColors();
    if (!RecreateList()) return false;
    ApplyTooltips();
    Layout();
    return true;
}

bool FrameWindows::CreateRebar()
{
    HINSTANCE instance = host.App().GetInstance();
    hRebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                             WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS
                                 | CCS_NODIVIDER | (host.Settings().bShowToolbar ? WS_VISIBLE : 0),
                             0, 0, 0, 0, host.Window(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FrameIds::kRebar)),
                             instance, nullptr);
    if (!hRebar) return false;
    REBARINFO info = {sizeof(info), 0, nullptr};
    SendMessageA(hRebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

    hToolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NORESIZE
                                   | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, hRebar, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FrameIds::kToolbar)),
                               instance, nullptr);
    if (!hToolbar) return false;
    // Commands and notifications of the toolbar come straight to the frame.
    SendMessageA(hToolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(host.Window()), 0);
    SendMessageA(hToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(hToolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(hToolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hToolbarImages));

    struct Button {
        int image;
        UINT command;
        UINT text;
        BYTE style;
    };
    const Button buttons[] = {
        {kImageRefresh, ID_VIEW_REFRESH, 4, TBSTYLE_BUTTON},   {0, 0, 0, TBSTYLE_SEP},
        {kImageKill, ID_FILE_KILL, 3, TBSTYLE_BUTTON},         {kImageReport, ID_FILE_REPORT, 5, TBSTYLE_BUTTON},
        {kImageFindDll, ID_FILE_FINDDLL, 188, TBSTYLE_BUTTON}, {0, 0, 0, TBSTYLE_SEP},
        {kImageOptions, ID_EXTRAS_OPTIONS, 6, TBSTYLE_DROPDOWN}, {0, 0, 0, TBSTYLE_SEP},
        {kImageProperties, ID_PROPERTIES_ADVANCED, 20, TBSTYLE_BUTTON}, {0, 0, 0, TBSTYLE_SEP},
        {kImageFullScreen, ID_VIEW_FULLSCREEN, 7, TBSTYLE_BUTTON},
    };
    for (const Button& entry : buttons) {
        TBBUTTON button = {};
        button.fsStyle = entry.style;
        if (entry.style != TBSTYLE_SEP) {
            button.iBitmap = entry.image;
            button.idCommand = static_cast<int>(entry.command);
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle |= TBSTYLE_AUTOSIZE;
            // One label: the string and its double terminator.
            std::string label = StringTable::Load(entry.text);
            label.push_back('\0');
            button.iString = SendMessageA(hToolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(label.c_str()));
        }
        SendMessageA(hToolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageA(hToolbar, TB_AUTOSIZE, 0, 0);
    SIZE size = {0, 0};
    SendMessageA(hToolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));

    REBARBANDINFOA band = {};
    band.cbSize = REBARBANDINFOA_V3_SIZE;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE | RBBIM_ID;
    band.fStyle = RBBS_CHILDEDGE | RBBS_NOGRIPPER;
    band.hwndChild = hToolbar;
    band.cxMinChild = static_cast<UINT>(size.cx);
    band.cyMinChild = static_cast<UINT>(size.cy);
    band.cx = static_cast<UINT>(size.cx);
    band.wID = FrameIds::kToolbar;
    return SendMessageA(hRebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

bool FrameWindows::CreateTree()
{
    const UserSettings& settings = host.Settings();
    const int width = FrameLayout::InitialTreeWidth(settings.nLeftPaneWidth, GetSystemMetrics(SM_CXMINTRACK));
    RECT rect = {0, 0, width, 100};
    if (!tree.Create(WS_EX_CLIENTEDGE,
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASBUTTONS | TVS_HASLINES
                         | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP,
                     rect, host.Window(), FrameIds::kTree))
        return false;
    HWND window = tree.GetHwnd();
    SendMessageA(window, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.Views()));
    ApplyViewColors();
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), FALSE);
    InsertFixedTreeItems();
    return hRootItem && hProcessesItem && hKillItem;
}

void FrameWindows::InsertFixedTreeItems()
{
    HWND window = tree.GetHwnd();
    auto insert = [window](HTREEITEM parent, const std::string& text, int image) {
        TVINSERTSTRUCTA item = {};
        item.hParent = parent;
        item.hInsertAfter = TVI_LAST;
        item.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
        item.item.pszText = const_cast<char*>(text.c_str());
        item.item.iImage = item.item.iSelectedImage = image;
        item.item.lParam = 0;
        item.item.state = item.item.stateMask = TVIS_EXPANDED;
        return reinterpret_cast<HTREEITEM>(SendMessageA(window, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    };
    bMuteTree = true;
    hRootItem = insert(TVI_ROOT, std::string("\\\\") + host.App().szComputerName, ViewImages::kComputer);
    hProcessesItem = insert(hRootItem, StringTable::Load(2), ViewImages::kProcesses);
    hKillItem = insert(hRootItem, StringTable::Load(3), ViewImages::kKill);
    SendMessageA(window, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(hRootItem));
    bMuteTree = false;
}

void FrameWindows::Destroy()
{
    bMuteTree = true;
    list.reset();
    if (infobar.GetHwnd()) DestroyWindow(infobar.GetHwnd());
    if (tree.GetHwnd()) DestroyWindow(tree.GetHwnd());
    if (hToolbar) DestroyWindow(hToolbar);
    if (hRebar) DestroyWindow(hRebar);
    status.Destroy();
    hToolbar = hRebar = nullptr;
    hRootItem = hProcessesItem = hKillItem = nullptr;
    bMuteTree = false;
}

HTREEITEM FrameWindows::SelectedTreeItem() const
{
    if (!tree.GetHwnd()) return nullptr;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree.GetHwnd(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

bool FrameWindows::RecreateList()
{
    RECT rect = {0, 0, 0, 0};
    if (list && list->GetHwnd()) {
        GetWindowRect(list->GetHwnd(), &rect);
        MapWindowPoints(nullptr, host.Window(), reinterpret_cast<POINT*>(&rect), 2);
    }
    list.reset();
    std::unique_ptr<GridView> created(new GridView);
    if (!created->Create(WS_EX_CLIENTEDGE,
                         WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDRAWFIXED
                             | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                         rect, host.Window(), FrameIds::kList))
        return false;
    list = std::move(created);
    const UserSettings& settings = host.Settings();
    HWND window = list->GetHwnd();
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), FALSE);
    SendMessageA(window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP);
    SendMessageA(window, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.Views()));
    if (list->GetHeader())
        SendMessageA(list->GetHeader(), HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Arrows()));
    SendMessageA(window, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(settings.crText));
    SendMessageA(window, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(settings.crBackground));
    SendMessageA(window, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(settings.crBackground));
    SetWindowTextA(window, StringTable::Load(140).c_str());
    if (rect.right <= rect.left) Layout();
    return true;
}

void FrameWindows::DestroyList()
{
    list.reset();
}

void FrameWindows::Layout()
{
    HWND frame = host.Window();
    if (!frame || !tree.GetHwnd()) return;
    RECT client;
    GetClientRect(frame, &client);
    status.Layout(CpuPartWidth());
    RECT graph = status.PartRect(1);
    InflateRect(&graph, -1, -1);
    if (cpuGraph.GetHwnd())
        MoveWindow(cpuGraph.GetHwnd(), graph.left, graph.top, graph.right - graph.left, graph.bottom - graph.top, TRUE);

    int rebarHeight = 0;
    if (hRebar && (GetWindowLongA(hRebar, GWL_STYLE) & WS_VISIBLE)) {
        SendMessageA(hRebar, WM_SIZE, 0, 0);
        RECT rebar;
        GetWindowRect(hRebar, &rebar);
        rebarHeight = rebar.bottom - rebar.top;
    }
    FrameLayout::Input input;
    input.nClientWidth = client.right;
    input.nClientHeight = client.bottom;
    input.nRebarHeight = rebarHeight;
    input.nStatusHeight = status.Height();
    input.bInfobar = infobar.GetHwnd() && (GetWindowLongA(infobar.GetHwnd(), GWL_STYLE) & WS_VISIBLE);
    input.nTreeWidth = TreeWidth();
    const FrameLayout::Output out = FrameLayout::Compute(input);
    auto place = [](HWND window, const FrameLayout::Rect& r) {
        if (window) MoveWindow(window, r.left, r.top, r.Width(), r.Height(), TRUE);
    };
    if (rebarHeight) place(hRebar, out.rcRebar);
    place(tree.GetHwnd(), out.rcTree);
    place(infobar.GetHwnd(), out.rcInfobar);
    if (list) place(list->GetHwnd(), out.rcList);
}

int FrameWindows::TreeWidth() const
{
    RECT rect = {0, 0, 0, 0};
    if (tree.GetHwnd()) GetWindowRect(tree.GetHwnd(), &rect);
    return rect.right - rect.left;
}

int FrameWindows::CpuPartWidth() const
{
    // "CPU 100%" in the graph's own font, as the graph measured it.
    if (cpuGraph.GetHwnd()) return cpuGraph.GetReservedTextWidth() - 2 + 68;
    HWND bar = status.Status();
    if (!bar) return 68;
    HDC dc = GetDC(bar);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(bar, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, "CPU 100%", 8, &size);
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
    return size.cx + 68;
}

LRESULT FrameWindows::TooltipText(NMHDR& header)
{
    // The tip of a toolbar button is the string whose number is its command.
    if (header.idFrom < ID_HELP_HELP || header.idFrom > ID_FILE_FINDDLL) return 0;
    const std::string text = StringTable::Load(static_cast<UINT>(header.idFrom));
    if (header.code == TTN_GETDISPINFOA) {
        auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
        if (info.uFlags & TTF_IDISHWND) return 0;
        lstrcpynA(szTooltip, text.c_str(), sizeof(szTooltip));
        info.lpszText = szTooltip;
    } else {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        if (info.uFlags & TTF_IDISHWND) return 0;
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wszTooltip, sizeof(wszTooltip) / sizeof(wszTooltip[0]));
        info.lpszText = wszTooltip;
    }
    return 0;
}

// ---- Splitter ------------------------------------------------------------------

void FrameWindows::BeginSplitterDrag()
{
    bSplitterDrag = true;
    bGrabRecorded = false;
    SetCapture(host.Window());
}

void FrameWindows::SplitterMove(int x)
{
    if (!bSplitterDrag) return;
    HWND frame = host.Window();
    RECT treeRect;
    GetWindowRect(tree.GetHwnd(), &treeRect);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&treeRect), 2);
    if (!bGrabRecorded) {
        const int offset = x - treeRect.right;
        nGrabOffset = static_cast<uint16_t>(offset < 0 ? 0 : offset);
        bGrabRecorded = true;
    }
    RECT client;
    GetClientRect(frame, &client);
    int width = 0;
    if (!FrameLayout::SplitterDrag(x, nGrabOffset, client.right, GetSystemMetrics(SM_CXMINTRACK), width)) return;
    MoveWindow(tree.GetHwnd(), treeRect.left, treeRect.top, width, treeRect.bottom - treeRect.top, TRUE);
    Layout();
}

void FrameWindows::EndSplitterDrag()
{
    if (!bSplitterDrag) return;
    bSplitterDrag = false;
    if (GetCapture() == host.Window()) ReleaseCapture();
}

// ---- Bars ------------------------------------------------------------------------

HWND FrameWindows::BarWindow(Bar bar) const
{
    switch (bar) {
    case Bar::Toolbar: return hRebar;
    case Bar::Infobar: return infobar.GetHwnd();
    default: return status.Status();
    }
}

uint32_t& FrameWindows::BarSetting(Bar bar)
{
    UserSettings& settings = host.Settings();
    switch (bar) {
    case Bar::Toolbar: return settings.bShowToolbar;
    case Bar::Infobar: return settings.bShowInfobar;
    default: return settings.bShowStatusbar;
    }
}

void FrameWindows::ToggleBar(Bar bar)
{
    uint32_t& setting = BarSetting(bar);
    setting = setting ? 0 : 1;
    ApplyBars();
}

void FrameWindows::ApplyBars()
{
    struct Entry {
        Bar bar;
        UINT command;
    };
    const Entry entries[] = {{Bar::Toolbar, ID_VIEW_TOOLBAR}, {Bar::Infobar, ID_VIEW_INFOBAR},
                             {Bar::Statusbar, ID_VIEW_STATUSBAR}};
    const bool fullScreen = host.IsFullScreen();
    HMENU menu = GetMenu(host.Window());
    for (const Entry& entry : entries) {
        const bool setting = BarSetting(entry.bar) != 0;
        const bool shown = setting && !(fullScreen && entry.bar != Bar::Infobar);
        if (HWND window = BarWindow(entry.bar)) ShowWindow(window, shown ? SW_SHOW : SW_HIDE);
        CheckMenuItem(menu, entry.command, MF_BYCOMMAND | (setting ? MF_CHECKED : MF_UNCHECKED));
    }
    Layout();
}

// ---- Fonts and colours -----------------------------------------------------------

void FrameWindows::RecreateViewFont()
{
    HFONT font = CreateFontIndirectA(&host.Settings().lfViewFont);
    if (!font) return;
    HFONT old = hViewFont;
    hViewFont = font;
    if (tree.GetHwnd()) SendMessageA(tree.GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), TRUE);
    if (list && list->GetHwnd()) SendMessageA(list->GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), TRUE);
    if (old) DeleteObject(old);
}

void FrameWindows::ApplyViewColors()
{
    const UserSettings& settings = host.Settings();
    SendMessageA(tree.GetHwnd(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(settings.crText));
    SendMessageA(tree.GetHwnd(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(settings.crBackground));
}

void FrameWindows::ApplyInfobarColors()
{
    infobar.SetGradient(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    infobar.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
}

void FrameWindows::ApplyCpuGraphColors()
{
    const UserSettings& settings = host.Settings();
    cpuGraph.SetBackgroundColor(settings.crCpuBackground);
    cpuGraph.SetGraphColor(settings.crCpuGraph);
    cpuGraph.SetTextColor(settings.crCpuText);
}

void FrameWindows::ApplyTooltips()
{
    HWND tips = hToolbar ? reinterpret_cast<HWND>(SendMessageA(hToolbar, TB_GETTOOLTIPS, 0, 0)) : nullptr;
    if (tips) SendMessageA(tips, TTM_ACTIVATE, host.Settings().bEnableTooltips ? TRUE : FALSE, 0);
}

void FrameWindows::OnSysColorChange()
{
    if (hRebar) SendMessageA(hRebar, WM_SYSCOLORCHANGE, 0, 0);
    if (hToolbar) SendMessageA(hToolbar, WM_SYSCOLORCHANGE, 0, 0);
    if (status.Status()) SendMessageA(status.Status(), WM_SYSCOLORCHANGE, 0, 0);
    ApplyInfobarColors();
}
