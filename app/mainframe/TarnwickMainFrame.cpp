#include "app/mainframe/TarnwickMainFrame.h"
#include "app/language/ClTarnwickChooseLangDlg.h"
#include "app/options/ClTarnwickOptionsDlg.h"
#include "app/commands/FrameCommands.h"
#include "app/mainframe/FrameLayout.h"
#include "app/language/HelpFile.h"
#include "app/options/OptionsRecord.h"
#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/startup/TarnwickApp.h"
#include "app/settings/UserSettingsFile.h"
#include "app/res/resource.h"
#include "app/startup/MessagePump.h"
#include "report/ClTarnwickReportDlg.h"
#include "report/GuiReportProgress.h"
#include "report/ReportJob.h"
#include "tools/ClTarnwickFindDllDlg.h"
#include "tools/ClTarnwickProcessTerminationDlg.h"
#include "launchers/ApplicationLauncher.h"
#include "launchers/QueryUrl.h"
#include "launchers/SearchPlugins.h"
#include "sysinfo/DebugOutput.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/TopLevelWindowList.h"
#include "sysutils/Orvo_SystemUtilities.h"
#include "views/ModuleColumns.h"
#include "views/ModuleView.h"
#include "views/ProcessView.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"

#include <windowsx.h>
#include <cstdio>
#include <cstring>

const char TarnwickMainFrame::kClassName[] = "TarnwickMainFrameWndClass";

namespace {

// Toolbar pictures (IDB_TOOLBAR) in button order; menus use them too.
enum ToolbarImage { kImageRefresh = 0, kImageKill, kImageReport, kImageFindDll, kImageOptions, kImageProperties,
                    kImageFullScreen };

const LONG kSystemChoosesSize = static_cast<LONG>(0x80000000u);

bool KeyDown(int key)
{
    return GetKeyState(key) < 0;
}

// A text cut to the 259 characters a 260-byte window-text buffer holds.
std::string Bounded(const std::string& text)
{
    return text.size() > 259 ? text.substr(0, 259) : text;
}

std::string CountText(unsigned stringId, size_t count)
{
    char text[260];
    snprintf(text, sizeof(text), "%s : %d", StringTable::Load(stringId).c_str(), static_cast<int>(count));
    return text;
}

} // namespace

// ---- Construction ----------------------------------------------------------

TarnwickMainFrame::TarnwickMainFrame(TarnwickApp& app)
    : app(app), hwnd(nullptr), settings(), hViewFont(nullptr), hFullScreenDialog(nullptr), hRebar(nullptr),
      hToolbar(nullptr), hToolbarImages(nullptr), hRootItem(nullptr),
      hProcessesItem(nullptr), hKillItem(nullptr), nListKind(kEmptyList), hLastFocus(nullptr),
      bSelectionPending(false), bMuteTreeNotifications(false), bSplitterDrag(false), bTreeDrag(false),
      bListDrag(false), nGrabOffset(0), bGrabRecorded(false), hDropTarget(nullptr), bNoOwnerDrawMenus(false),
      nRefreshCount(0), szTooltip{}, wszTooltip{}
{
    UseSettingsFile(UserSettingsFile::DefaultPath());
    formatter.reset(new ValueFormatter(settings, IsNtFamily()));
    images.reset(new ViewImages);
    processView.reset(new ProcessView(settings, *formatter, FileFactsCache::Shared(), *images));
    moduleView.reset(new ModuleView(settings, *formatter, FileFactsCache::Shared(), *images, Debug()));
    commands.reset(new FrameCommands(*this));
    LoadPlugins();
    LoadSearchPlugins();
}

TarnwickMainFrame::~TarnwickMainFrame()
{
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
    if (hViewFont) DeleteObject(hViewFont);
    if (hToolbarImages) ImageList_Destroy(hToolbarImages);
}

void TarnwickMainFrame::UseSettingsFile(const std::string& path)
{
    strSettingsPath = path;
    UserSettingsFile::SetDefaults(settings);
    UserSettingsFile::Load(settings, strSettingsPath);
    if (hViewFont) DeleteObject(hViewFont);
    hViewFont = CreateViewFont();
}

ClDebugString& TarnwickMainFrame::Debug()
{
    return app.debugString;
}

bool TarnwickMainFrame::IsNtFamily() const
{
    // Every system outside the 9x family is read and shown the NT way.
    return !app.osVersion.Is9xFamily();
}

bool TarnwickMainFrame::Register()
{
    WNDCLASSA existing;
    if (GetClassInfoA(app.GetInstance(), kClassName, &existing)) return true;
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbWndExtra = sizeof(LONG);
    windowClass.hInstance = app.GetInstance();
    windowClass.hIcon = LoadIconA(app.GetInstance(), MAKEINTRESOURCEA(IDI_TARNWICK));
    // The client area that no child covers is the splitter.
    windowClass.hCursor = LoadCursorA(nullptr, IDC_SIZEWE);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

void TarnwickMainFrame::Unregister()
{
    UnregisterClassA(kClassName, app.GetInstance());
}

bool TarnwickMainFrame::Create(HWND parent, const char* title)
{
    const RECT& stored = settings.wpMainWindow.rcNormalPosition;
    int x = stored.left, y = stored.top;
    int width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    if (stored.right != kSystemChoosesSize && stored.bottom != kSystemChoosesSize && stored.right > stored.left
        && stored.bottom > stored.top) {
        width = stored.right - stored.left;
        height = stored.bottom - stored.top;
    }
    // A place off every screen (another monitor, a damaged file) is not kept.
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT wanted = {x, y, x + (width == CW_USEDEFAULT ? 100 : width), y + (height == CW_USEDEFAULT ? 100 : height)};
    RECT common;
    if (!IntersectRect(&common, &screen, &wanted)) {
        x = y = width = height = CW_USEDEFAULT;
    }

    HMENU menu = ResourceModule::Menu(IDR_MAINMENU);
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, kClassName, title,
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, width, height,
                                  parent, menu, app.GetInstance(), this);
    if (!window) {
        if (menu) DestroyMenu(menu);
        return false;
    }
    FullRefresh();
    ShowWindow(hwnd, settings.wpMainWindow.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    if (settings.bFullScreen) SendMessageA(hwnd, WM_COMMAND, ID_VIEW_FULLSCREEN, 0);
    return true;
}

// ---- Dispatch ----------------------------------------------------------------

LRESULT CALLBACK TarnwickMainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TarnwickMainFrame* self;
    if (message == WM_NCCREATE) {
        // Attached here: WM_GETMINMAXINFO and WM_NCCALCSIZE come before WM_CREATE.
        self = static_cast<TarnwickMainFrame*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd = window;
    } else {
        self = reinterpret_cast<TarnwickMainFrame*>(GetWindowLongPtrA(window, 0));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, 0, 0);
        self->hwnd = nullptr;
    }
    return result;
}

LRESULT TarnwickMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: if (wParam != SIZE_MINIMIZED) OnSize(); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && hLastFocus && IsWindow(hLastFocus)) {
            OnActivate(wParam);
            return 0;
        }
        break;
    case WM_CLOSE: OnClose(); return 0;
    case WM_ACTIVATEAPP: OnActivateApp(wParam != FALSE); break;
    case WM_SYSCOLORCHANGE: OnSysColorChange(); return 0;
    case WM_SETTINGCHANGE: OnSettingChange(); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM: return OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_MENUCHAR: return OnMenuChar(wParam, lParam);
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_HELP: OnHelp(); return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam), lParam);
        return 0;
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_INITMENU: OnInitMenu(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_MENUSELECT: OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(); return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case kStoreColumnOrder: OnStoreColumnOrder(); return 0;
    default: {
        LRESULT result = 0;
        if (OnRegisteredMessage(message, wParam, lParam, result)) return result;
        break;
    }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TarnwickMainFrame::OnCommand(UINT id, UINT code, HWND control, LPARAM lParam)
{
    switch (id) {
    // File
    case ID_FILE_KILL: OnKill(); return;
    case ID_FILE_REPORT: OnReport(); return;
    case ID_FILE_DEBUG: OnDebug(); return;
    case ID_FILE_SWITCHTO: OnSwitchTo(); return;
    case ID_FILE_FINDDLL: OnFindDll(); return;
    case ID_FILE_QUIT: OnQuit(); return;
    // Edit
    case ID_EDIT_COPY: OnCopy(); return;
    case ID_EDIT_SELECTALL: OnSelectAll(); return;
    // View
    case ID_VIEW_TOOLBAR: OnToggleToolbar(); return;
    case ID_VIEW_INFOBAR: OnToggleInfobar(); return;
    case ID_VIEW_STATUSBAR: OnToggleStatusbar(); return;
    case ID_VIEW_REFRESH: OnRefreshCommand(lParam == kFullRefreshMark); return;
    case ID_VIEW_FULLSCREEN: OnFullScreen(); return;
    // Properties
    case ID_PROPERTIES_STANDARD: OnStandardProperties(); return;
    case ID_PROPERTIES_ADVANCED: OnAdvancedProperties(); return;
    // Process
    case ID_PROCESS_MODULES: OnModules(); return;
    case ID_EXPLORE_FROM_HERE: OnExploreFromHere(); return;
    case ID_OPEN_COMMAND_WINDOW: OnOpenCommandWindow(); return;
    // Module sort
    case ID_SORT_NAME:
    case ID_SORT_EXTENSION:
    case ID_SORT_LOADORDER:
    case ID_SORT_RELOCATED:
    case ID_SORT_DYNAMIC: OnModuleSortMode(id); return;
    // Options and language
    case ID_EXTRAS_OPTIONS:
    case ID_OPTIONS_VIEW:
    case ID_OPTIONS_COLUMNS:
    case ID_OPTIONS_COLORS:
    case ID_OPTIONS_COPY:
    case ID_OPTIONS_APPLICATIONS:
    case ID_OPTIONS_PLUGINS:
    case ID_OPTIONS_INTERNET_SEARCH: OnOptions(id); return;
    case ID_EXTRAS_LANGUAGE: OnLanguage(); return;
    // Help
    case ID_HELP_HELP: OnHelp(); return;
    case ID_HELP_ABOUT: OnAbout(); return;
    case ID_HELP_HOMEPAGE: OnHomePage(); return;
    case ID_HELP_PLUGINS: OnDownloadPlugins(); return;
    // Internet search
    case ID_SEARCH_INTERNET: OnSearchInternet(); return;
    default: break;
    }
    // A plug-in id with a view's window runs on that view, as its menu does.
    if (PluginMenuFilter::IsPluginCommand(static_cast<int>(id)) && control
        && (control == tree.GetHwnd() || (list && control == list->GetHwnd()))) {
        OnPluginCommand(id, control);
        return;
    }
    // Menu items of the lists that later features build (menus and accelerators send no control).
    if (control && control != hToolbar) return;
    if (id >= 1 && id <= 1000) OnUserApplication(id);
    else if (id >= 1003 && id <= 2001) OnPluginCommand(id, FocusedViewWindow());
    else if (id >= 2004 && id <= 4002) OnSearchEngine(id, FocusedViewWindow());
}

LRESULT TarnwickMainFrame::OnNotify(NMHDR& header)
{
    if (list && header.hwndFrom == list->GetHwnd()) return OnListNotify(header);
    if (header.hwndFrom == tree.GetHwnd()) return OnTreeNotify(header);
    if (list && header.hwndFrom == list->GetHeader()) {
        // The order is read once the header has finished the drag.
        if (header.code == HDN_ENDDRAG) PostMessageA(hwnd, kStoreColumnOrder, 0, 0);
        return 0;
    }
    if (header.hwndFrom == hToolbar) return OnToolbarNotify(header);
    if (header.hwndFrom == infobar.GetHwnd()) return OnInfobarNotify(header);
    if (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) return OnTooltipText(header);
    return 0;
}

LRESULT TarnwickMainFrame::OnTreeNotify(NMHDR& header)
{
    switch (header.code) {
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW:
        if (bMuteTreeNotifications) return FALSE;
        return OnTreeSelChanging(reinterpret_cast<NMTREEVIEWA&>(header));
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        if (bMuteTreeNotifications || bSelectionPending) return 0;
        if (busy.Defer(BusyCount::kSelection)) return 0;
        HandleSelectionChange();
        return 0;
    case TVN_GETINFOTIPA: {
        auto& tip = reinterpret_cast<NMTVGETINFOTIPA&>(header);
        const ProcessItem* process = settings.bEnableTooltips ? TreeProcess(tip.hItem) : nullptr;
        if (process && tip.pszText && tip.cchTextMax > 0)
            lstrcpynA(tip.pszText, processView->InfoTip(*process).c_str(), tip.cchTextMax);
        return 0;
    }
    case TVN_GETINFOTIPW: {
        auto& tip = reinterpret_cast<NMTVGETINFOTIPW&>(header);
        const ProcessItem* process = settings.bEnableTooltips ? TreeProcess(tip.hItem) : nullptr;
        if (process && tip.pszText && tip.cchTextMax > 0)
            MultiByteToWideChar(CP_ACP, 0, processView->InfoTip(*process).c_str(), -1, tip.pszText, tip.cchTextMax);
        return 0;
    }
    case TVN_KEYDOWN:
        if (!bMuteTreeNotifications) OnTreeKeyDown(reinterpret_cast<NMTVKEYDOWN&>(header).wVKey);
        return 0;
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW: {
        const auto& drag = reinterpret_cast<NMTREEVIEWA&>(header);
        const ProcessItem* process = TreeProcess(drag.itemNew.hItem);
        if (process && !bMuteTreeNotifications) {
            bTreeDrag = true;
            BeginDrag({*process}, process->nImage);
        }
        return 0;
    }
    case NM_SETFOCUS:
        hLastFocus = tree.GetHwnd();
        return 0;
    default:
        return 0;
    }
}

LRESULT TarnwickMainFrame::OnListNotify(NMHDR& header)
{
    switch (header.code) {
    case LVN_GETDISPINFOA: {
        auto& info = reinterpret_cast<NMLVDISPINFOA&>(header);
        if (nListKind == kProcessList) processView->GetDispInfo(info);
        else if (nListKind == kModuleList) moduleView->GetDispInfo(info);
        return 0;
    }
    case LVN_GETINFOTIPA: {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPA&>(header);
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = tip.iItem;
        if (!settings.bEnableTooltips || !tip.pszText || tip.cchTextMax <= 0
            || !SendMessageA(header.hwndFrom, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam)
            return 0;
        std::string text;
        if (nListKind == kProcessList) text = processView->InfoTip(*ProcessView::FromParam(item.lParam));
        else if (nListKind == kModuleList) text = moduleView->InfoTip(*ModuleView::FromParam(item.lParam));
        lstrcpynA(tip.pszText, text.c_str(), tip.cchTextMax);
        return 0;
    }
    case LVN_KEYDOWN:
        OnListKeyDown(reinterpret_cast<NMLVKEYDOWN&>(header).wVKey);
        return 0;
    case LVN_BEGINDRAG:
        if (nListKind == kProcessList) {
            std::vector<ProcessItem> dragged;
            for (ProcessItem* process : SelectedListProcesses(true)) dragged.push_back(*process);
            if (!dragged.empty()) {
                bListDrag = true;
                BeginDrag(dragged, dragged.front().nImage);
            }
        }
        return 0;
    case LVN_COLUMNCLICK: {
        const int position = reinterpret_cast<NMLISTVIEW&>(header).iSubItem;
        if (nListKind == kProcessList) processView->SortByClick(list->GetHwnd(), position);
        else if (nListKind == kModuleList) moduleView->SortByClick(list->GetHwnd(), position);
        return 0;
    }
    case LVN_ITEMCHANGED:
        if (reinterpret_cast<NMLISTVIEW&>(header).uChanged & LVIF_STATE) UpdateStatusCount();
        return 0;
    case NM_SETFOCUS:
        hLastFocus = header.hwndFrom;
        return 0;
    case NM_DBLCLK:
        OnListDoubleClick();
        return 0;
    default:
        return 0;
    }
}

LRESULT TarnwickMainFrame::OnToolbarNotify(NMHDR& header)
{
    if (header.code == TBN_DROPDOWN) {
        OnOptionsDropDown(reinterpret_cast<NMTOOLBARA&>(header));
        return TBDDRET_DEFAULT;
    }
    if (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) return OnTooltipText(header);
    return 0;
}

LRESULT TarnwickMainFrame::OnInfobarNotify(NMHDR& header)
{
    if (header.code == NM_DBLCLK) OnInfobarDoubleClick();
    return 0;
}

LRESULT TarnwickMainFrame::OnTooltipText(NMHDR& header)
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

// ---- Creation and tear-down ----------------------------------------------------

LRESULT TarnwickMainFrame::OnCreate()
{
    if (!CreateChildren()) return -1;
    ApplyTooltips();
    bNoOwnerDrawMenus = app.Switches().bDisableOwnerDrawMenus;
    InstallBuiltInSearchEngine();
    InitPlugins();
    AddTrayIcon();
    StartWorkers();
    return 0;
}

bool TarnwickMainFrame::CreateChildren()
{
    if (!images->Create(app.GetInstance())) return false;
    if (!hToolbarImages) {
        hToolbarImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 7, 0);
        HBITMAP strip = static_cast<HBITMAP>(
            LoadImageA(app.GetInstance(), MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, 0));
        if (!hToolbarImages || !strip) return false;
        ImageList_AddMasked(hToolbarImages, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    ownerDrawMenu.SetImages(hToolbarImages,
                            {{ID_VIEW_REFRESH, kImageRefresh}, {ID_FILE_KILL, kImageKill},
                             {ID_FILE_REPORT, kImageReport}, {ID_FILE_FINDDLL, kImageFindDll},
                             {ID_EXTRAS_OPTIONS, kImageOptions}, {ID_PROPERTIES_ADVANCED, kImageProperties},
                             {ID_PROPERTIES_STANDARD, kImageProperties}, {ID_VIEW_FULLSCREEN, kImageFullScreen}});
    ownerDrawMenu.SetRadioCommands(ID_SORT_NAME, ID_SORT_LOADORDER);

    if (!CreateRebar()) return false;
    RECT none = {0, 0, 0, 0};
    if (!infobar.Create(0, WS_CHILD | WS_CLIPSIBLINGS | (settings.bShowInfobar ? WS_VISIBLE : 0), "", none, hwnd,
                        kInfobarId))
        return false;
    infobar.SetMargins(6, 4, 4, 4);
    infobar.SetGradientMode(0);
    ApplyInfobarColors();
    if (!CreateTree()) return false;
    if (!status.Create(hwnd, settings.bShowStatusbar != 0)) return false;
    if (!CreateFullScreenWindow() || !CreateCpuGraph()) return false;
    RecreateList();
    if (!list || !list->GetHwnd()) return false;
    Layout();
    return true;
}

bool TarnwickMainFrame::CreateRebar()
{
    hRebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                             WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS
                                 | CCS_NODIVIDER | (settings.bShowToolbar ? WS_VISIBLE : 0),
                             0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kRebarId)),
                             app.GetInstance(), nullptr);
    if (!hRebar) return false;
    REBARINFO info = {sizeof(info), 0, nullptr};
    SendMessageA(hRebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

    hToolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NORESIZE
                                   | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, hRebar, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kToolbarId)),
                               app.GetInstance(), nullptr);
    if (!hToolbar) return false;
    // Commands and notifications of the toolbar come straight to the frame.
    SendMessageA(hToolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(hwnd), 0);
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
    band.wID = kToolbarId;
    return SendMessageA(hRebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

bool TarnwickMainFrame::CreateTree()
{
    const int width = FrameLayout::InitialTreeWidth(settings.nLeftPaneWidth, GetSystemMetrics(SM_CXMINTRACK));
    RECT rect = {0, 0, width, 100};
    if (!tree.Create(WS_EX_CLIENTEDGE,
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASBUTTONS | TVS_HASLINES
                         | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP,
                     rect, hwnd, kTreeId))
        return false;
    HWND window = tree.GetHwnd();
    SendMessageA(window, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images->Views()));
    SendMessageA(window, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(settings.crText));
    SendMessageA(window, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(settings.crBackground));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), FALSE);
    InsertFixedTreeItems();
    hLastFocus = window;
    return hRootItem && hProcessesItem && hKillItem;
}

void TarnwickMainFrame::InsertFixedTreeItems()
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
    bMuteTreeNotifications = true;
    hRootItem = insert(TVI_ROOT, std::string("\\\\") + app.szComputerName, ViewImages::kComputer);
    hProcessesItem = insert(hRootItem, StringTable::Load(2), ViewImages::kProcesses);
    hKillItem = insert(hRootItem, StringTable::Load(3), ViewImages::kKill);
    SendMessageA(window, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(hRootItem));
    bMuteTreeNotifications = false;
}

HFONT TarnwickMainFrame::CreateViewFont()
{
    return CreateFontIndirectA(&settings.lfViewFont);
}

void TarnwickMainFrame::ApplyViewFont()
{
    if (tree.GetHwnd()) SendMessageA(tree.GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), TRUE);
    if (list && list->GetHwnd()) SendMessageA(list->GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), TRUE);
}

void TarnwickMainFrame::ApplyInfobarColors()
{
    infobar.SetGradient(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    infobar.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
}

void TarnwickMainFrame::OnDestroy()
{
    // Threads first: they may be sending to windows that are about to go.
    StopWorkers();
    bMuteTreeNotifications = true;
    KillTimer(hwnd, kSelectionTimer);
    KillTimer(hwnd, kDragScrollTimer);
    bSelectionPending = false;
    list.reset();
    if (infobar.GetHwnd()) DestroyWindow(infobar.GetHwnd());
    if (tree.GetHwnd()) DestroyWindow(tree.GetHwnd());
    if (hToolbar) DestroyWindow(hToolbar);
    if (hRebar) DestroyWindow(hRebar);
    status.Destroy();
    hToolbar = hRebar = nullptr;
    hRootItem = hProcessesItem = hKillItem = nullptr;
    hLastFocus = nullptr;
    nListKind = kEmptyList;
    moduleView->Clear();
    processView->Clear();
    FinalizePlugins();
    RemoveTrayIcon();
    DestroyFullScreenWindow();
    bMuteTreeNotifications = false;
    PostQuitMessage(0);
}

// ---- Layout and splitter -------------------------------------------------------

void TarnwickMainFrame::Layout()
{
    if (!hwnd || !tree.GetHwnd()) return;
    RECT client;
    GetClientRect(hwnd, &client);
    status.Layout(CpuPartWidth());
    RECT graph = status.PartRect(1);
    InflateRect(&graph, -1, -1);
    PlaceCpuGraph(graph);

    int rebarHeight = 0;
    if (hRebar && (GetWindowLongA(hRebar, GWL_STYLE) & WS_VISIBLE)) {
        SendMessageA(hRebar, WM_SIZE, 0, 0);
        RECT rebar;
        GetWindowRect(hRebar, &rebar);
        rebarHeight = rebar.bottom - rebar.top;
    }
    RECT treeRect;
    GetWindowRect(tree.GetHwnd(), &treeRect);
    FrameLayout::Input input;
    input.nClientWidth = client.right;
    input.nClientHeight = client.bottom;
    input.nRebarHeight = rebarHeight;
    input.nStatusHeight = status.Height();
    input.bInfobar = infobar.GetHwnd() && (GetWindowLongA(infobar.GetHwnd(), GWL_STYLE) & WS_VISIBLE);
    input.nTreeWidth = treeRect.right - treeRect.left;
    const FrameLayout::Output out = FrameLayout::Compute(input);
    auto place = [](HWND window, const FrameLayout::Rect& r) {
        if (window) MoveWindow(window, r.left, r.top, r.Width(), r.Height(), TRUE);
    };
    if (rebarHeight) place(hRebar, out.rcRebar);
    place(tree.GetHwnd(), out.rcTree);
    place(infobar.GetHwnd(), out.rcInfobar);
    if (list) place(list->GetHwnd(), out.rcList);
}

void TarnwickMainFrame::OnSize()
{
    Layout();
}

void TarnwickMainFrame::OnLButtonDown(int x, int y)
{
    if (bTreeDrag || bListDrag) return;
    bSplitterDrag = true;
    bGrabRecorded = false;
    SetCapture(hwnd);
}

void TarnwickMainFrame::OnMouseMove(int x, int y)
{
    if (bTreeDrag || bListDrag) {
        POINT screen = {x, y};
        ClientToScreen(hwnd, &screen);
        RECT window;
        GetWindowRect(hwnd, &window);
        ImageList_DragMove(screen.x - window.left, screen.y - window.top);
        UpdateDropTarget(screen);
        return;
    }
    if (!bSplitterDrag) return;
    RECT treeRect;
    GetWindowRect(tree.GetHwnd(), &treeRect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&treeRect), 2);
    if (!bGrabRecorded) {
        const int offset = x - treeRect.right;
        nGrabOffset = static_cast<uint16_t>(offset < 0 ? 0 : offset);
        bGrabRecorded = true;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    int width = 0;
    if (!FrameLayout::SplitterDrag(x, nGrabOffset, client.right, GetSystemMetrics(SM_CXMINTRACK), width)) return;
    MoveWindow(tree.GetHwnd(), treeRect.left, treeRect.top, width, treeRect.bottom - treeRect.top, TRUE);
    Layout();
}

void TarnwickMainFrame::OnLButtonUp(int x, int y)
{
    if (bTreeDrag || bListDrag) {
        EndDrag(true);
        return;
    }
    if (bSplitterDrag) {
        bSplitterDrag = false;
        ReleaseCapture();
    }
}

void TarnwickMainFrame::OnCaptureChanged()
{
    if (bTreeDrag || bListDrag) EndDrag(false);
    bSplitterDrag = false;
}

int TarnwickMainFrame::CpuPartWidth() const
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

// ---- Drag to kill ----------------------------------------------------------------

void TarnwickMainFrame::BeginDrag(const std::vector<ProcessItem>& processes, int image)
{
    draggedProcesses = processes;
    hDropTarget = nullptr;
    SetCapture(hwnd);
    POINT screen;
    GetCursorPos(&screen);
    RECT window;
    GetWindowRect(hwnd, &window);
    ImageList_BeginDrag(images->Views(), image >= 0 ? image : ViewImages::kProcess, 8, 8);
    ImageList_DragEnter(hwnd, screen.x - window.left, screen.y - window.top);
    UpdateDropTarget(screen);
}

void TarnwickMainFrame::UpdateDropTarget(POINT screen)
{
    HWND treeWindow = tree.GetHwnd();
    HTREEITEM target = nullptr;
    RECT treeRect;
    GetWindowRect(treeWindow, &treeRect);
    if (PtInRect(&treeRect, screen)) {
        TVHITTESTINFO hit = {};
        hit.pt = screen;
        ScreenToClient(treeWindow, &hit.pt);
        target = reinterpret_cast<HTREEITEM>(SendMessageA(treeWindow, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        SetTimer(hwnd, kDragScrollTimer, 50, nullptr);
    }
    if (target != hDropTarget) {
        ImageList_DragShowNolock(FALSE);
        SendMessageA(treeWindow, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(target));
        ImageList_DragShowNolock(TRUE);
        hDropTarget = target;
    }
    SetCursor(LoadCursorA(nullptr, target == hKillItem ? IDC_ARROW : IDC_NO));
}

void TarnwickMainFrame::EndDrag(bool drop)
{
    const bool wasDragging = bTreeDrag || bListDrag;
    bTreeDrag = bListDrag = false;
    if (!wasDragging) return;
    KillTimer(hwnd, kDragScrollTimer);
    ImageList_DragLeave(hwnd);
    ImageList_EndDrag();
    ReleaseCapture();
    const HTREEITEM target = hDropTarget;
    hDropTarget = nullptr;
    if (tree.GetHwnd()) SendMessageA(tree.GetHwnd(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    std::vector<ProcessItem> dropped;
    dropped.swap(draggedProcesses);
    if (drop && target && target == hKillItem) OnKillProcesses(dropped);
}

// ---- Timers ------------------------------------------------------------------------

void TarnwickMainFrame::OnTimer(UINT_PTR id)
{
    if (id == kSelectionTimer) {
        KillTimer(hwnd, kSelectionTimer);
        if (busy.Defer(BusyCount::kSelection)) return;
        bSelectionPending = false;
        HandleSelectionChange();
        return;
    }
    if (id == kDragScrollTimer) {
        HWND treeWindow = tree.GetHwnd();
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(treeWindow, &point);
        RECT client;
        GetClientRect(treeWindow, &client);
        const int itemHeight = static_cast<int>(SendMessageA(treeWindow, TVM_GETITEMHEIGHT, 0, 0));
        const int before = GetScrollPos(treeWindow, SB_VERT);
        ImageList_DragShowNolock(FALSE);
        if ((bTreeDrag || bListDrag) && point.x >= 0 && point.x < client.right) {
            if (point.y < 2 * itemHeight)
                SendMessageA(treeWindow, WM_VSCROLL, SB_LINEUP, 0);
            else if (point.y > client.bottom - 2 * itemHeight)
                SendMessageA(treeWindow, WM_VSCROLL, SB_LINEDOWN, 0);
        }
        ImageList_DragShowNolock(TRUE);
        if (GetScrollPos(treeWindow, SB_VERT) == before) KillTimer(hwnd, kDragScrollTimer);
    }
}

// ---- Refresh and selection -------------------------------------------------------------

void TarnwickMainFrame::ProgressCallback(uint32_t phase, uint32_t count, uint32_t frame)
{
    reinterpret_cast<TarnwickMainFrame*>(static_cast<uintptr_t>(frame))->status.OnProgress(phase, count);
}

void TarnwickMainFrame::Refresh(bool full)
{
    if (!hwnd) return;
    if (busy.Defer(full ? BusyCount::kRefreshFull : BusyCount::kRefresh)) return;
    BusyScope hold(*this);
    HWND focus = GetFocus();
    const bool listHadFocus = list && focus == list->GetHwnd();
    PumpMessages();
    if (!hwnd) return;
    if (full || SelectedTreeItem() == hProcessesItem) {
        FullRefresh();
    } else {
        HandleSelectionChange();
        ++nRefreshCount;
    }
    if (listHadFocus && list) SetFocus(list->GetHwnd());
    else if (focus && IsWindow(focus)) SetFocus(focus);
}

void TarnwickMainFrame::FullRefresh()
{
    ++nRefreshCount;
    HWND treeWindow = tree.GetHwnd();
    KillTimer(hwnd, kSelectionTimer);
    bSelectionPending = false;
    // Nothing may look at the items while they are replaced.
    bMuteTreeNotifications = true;
    CaptureListColumns(false);
    list.reset();
    nListKind = kEmptyList;
    moduleView->Clear();
    SendMessageA(treeWindow, WM_SETREDRAW, FALSE, 0);
    SendMessageA(treeWindow, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(hProcessesItem));
    HTREEITEM child;
    while ((child = reinterpret_cast<HTREEITEM>(
                SendMessageA(treeWindow, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(hProcessesItem)))))
        SendMessageA(treeWindow, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));

    snapshot.EnumProcesses(ProgressCallback, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this)));
    processView->Build(snapshot.Processes(), ProgressCallback, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this)));
    processView->FillTree(treeWindow, hProcessesItem, settings.bResolveProcessDependencies != 0);
    SendMessageA(treeWindow, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(hRootItem));
    SendMessageA(treeWindow, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hProcessesItem));
    SendMessageA(treeWindow, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(treeWindow, nullptr, TRUE);
    bMuteTreeNotifications = false;
    Debug().print("TarnwickMainFrame: %d processes\n", static_cast<int>(processView->Count()));
    HandleSelectionChange();
}

void TarnwickMainFrame::HandleSelectionChange()
{
    if (!hwnd || !tree.GetHwnd()) return;
    HWND focus = GetFocus();
    const bool listHadFocus = list && focus == list->GetHwnd();
    const HTREEITEM item = SelectedTreeItem();
    RecreateList();
    if (!list) return;
    if (item == hProcessesItem) {
        ShowProcessList();
    } else if (ProcessItem* process = TreeProcess(item)) {
        ShowModuleList(*process);
    } else {
        ShowEmptyList();
    }
    // Filled while hidden: columns and rows of a visible list cost a repaint each.
    ShowWindow(list->GetHwnd(), SW_SHOWNA);
    UpdateInfobar(item);
    UpdateStatusCount();
    if (listHadFocus) SetFocus(list->GetHwnd());
    else if (focus && IsWindow(focus)) SetFocus(focus);
}

void TarnwickMainFrame::RecreateList()
{
    CaptureListColumns(false);
    RECT rect = {0, 0, 0, 0};
    if (list && list->GetHwnd()) {
        GetWindowRect(list->GetHwnd(), &rect);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    }
    list.reset();
    std::unique_ptr<GridView> created(new GridView);
    if (!created->Create(WS_EX_CLIENTEDGE,
                         WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDRAWFIXED
                             | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                         rect, hwnd, kListId))
        return;
    list = std::move(created);
    HWND window = list->GetHwnd();
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(hViewFont), FALSE);
    SendMessageA(window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_INFOTIP);
    SendMessageA(window, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images->Views()));
    if (list->GetHeader())
        SendMessageA(list->GetHeader(), HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images->Arrows()));
    SendMessageA(window, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(settings.crText));
    SendMessageA(window, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(settings.crBackground));
    SendMessageA(window, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(settings.crBackground));
    SetWindowTextA(window, StringTable::Load(140).c_str());
    if (rect.right <= rect.left) Layout();
}

void TarnwickMainFrame::ShowProcessList()
{
    nListKind = kProcessList;
    moduleView->Clear();
    processView->SetupColumns(list->GetHwnd());
    processView->FillList(list->GetHwnd());
}

void TarnwickMainFrame::ShowModuleList(ProcessItem& process)
{
    nListKind = kModuleList;
    listedProcess = process;
    snapshot.EnumProcessModules(process.dwPid, ProgressCallback, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this)));
    moduleView->Build(snapshot.Modules(), ProgressCallback, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this)));
    moduleView->SetupColumns(list->GetHwnd());
    moduleView->FillList(list->GetHwnd());
    Debug().print("TarnwickMainFrame: %d modules of %s [%u]\n", static_cast<int>(moduleView->Count()),
                  process.strName.c_str(), static_cast<unsigned>(process.dwPid));
}

void TarnwickMainFrame::ShowEmptyList()
{
    nListKind = kEmptyList;
    moduleView->Clear();
}

void TarnwickMainFrame::UpdateInfobar(HTREEITEM item)
{
    if (!infobar.GetHwnd() || !item) return;
    char text[260] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof(text);
    SendMessageA(tree.GetHwnd(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    const ProcessItem* process = TreeProcess(item);
    const std::string caption = process ? formatter->ProcessCaption(process->strName, process->dwPid) : text;
    SetWindowTextA(infobar.GetHwnd(), Bounded(caption).c_str());
    HICON icon = ImageList_GetIcon(images->Views(), query.iImage, ILD_NORMAL);
    if (icon) {
        infobar.SetIcon(icon, 0);
        DestroyIcon(icon);
    }
}

void TarnwickMainFrame::UpdateStatusCount()
{
    size_t count = 0;
    if (nListKind == kProcessList) count = processView->Count();
    else if (nListKind == kModuleList) count = moduleView->Count();
    if (count == 0) status.SetText(StringTable::Load(140));
    else status.SetText(CountText(nListKind == kProcessList ? 2 : 42, count));
}

void TarnwickMainFrame::CaptureListColumns(bool withOrder)
{
    if (!list || !list->GetHwnd()) return;
    if (nListKind == kProcessList) processView->CaptureColumns(list->GetHwnd(), withOrder);
    else if (nListKind == kModuleList) moduleView->CaptureColumns(list->GetHwnd(), withOrder);
}

void TarnwickMainFrame::OnStoreColumnOrder()
{
    CaptureListColumns(true);
}

// ---- Selection lookup -------------------------------------------------------------------

HTREEITEM TarnwickMainFrame::SelectedTreeItem() const
{
    if (!tree.GetHwnd()) return nullptr;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree.GetHwnd(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

ProcessItem* TarnwickMainFrame::TreeProcess(HTREEITEM item) const
{
    if (!item || IsFixedTreeItem(item)) return nullptr;
    TVITEMA query = {};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    if (!SendMessageA(tree.GetHwnd(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
    return ProcessView::FromParam(query.lParam);
}

bool TarnwickMainFrame::IsFixedTreeItem(HTREEITEM item) const
{
    return item == hRootItem || item == hProcessesItem || item == hKillItem;
}

bool TarnwickMainFrame::IsRealProcess(const ProcessItem& process) const
{
    return !snapshot.IsIdleProcess(process.dwPid) && !snapshot.IsSystemProcess(process.dwPid);
}

MenuEnabling::View TarnwickMainFrame::FocusedView() const
{
    HWND focus = GetFocus();
    const HWND listWindow = list ? list->GetHwnd() : nullptr;
    if (focus != tree.GetHwnd() && (!listWindow || focus != listWindow)) focus = hLastFocus;
    if (focus && focus == tree.GetHwnd()) return MenuEnabling::View::Tree;
    if (focus && focus == listWindow) {
        if (nListKind == kProcessList) return MenuEnabling::View::ProcessList;
        if (nListKind == kModuleList) return MenuEnabling::View::ModuleList;
        return MenuEnabling::View::None;
    }
    return tree.GetHwnd() ? MenuEnabling::View::Tree : MenuEnabling::View::None;
}

HWND TarnwickMainFrame::FocusedViewWindow() const
{
    switch (FocusedView()) {
    case MenuEnabling::View::Tree: return tree.GetHwnd();
    case MenuEnabling::View::ProcessList:
    case MenuEnabling::View::ModuleList: return list ? list->GetHwnd() : nullptr;
    default: return nullptr;
    }
}

std::vector<ProcessItem*> TarnwickMainFrame::SelectedListProcesses(bool allSelected) const
{
    std::vector<ProcessItem*> found;
    if (!list || nListKind != kProcessList) return found;
    HWND window = list->GetHwnd();
    auto itemAt = [window](int index) -> ProcessItem* {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        return SendMessageA(window, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))
                   ? ProcessView::FromParam(item.lParam)
                   : nullptr;
    };
    if (!allSelected) {
        const int mark = static_cast<int>(SendMessageA(window, LVM_GETSELECTIONMARK, 0, 0));
        if (mark >= 0 && (SendMessageA(window, LVM_GETITEMSTATE, mark, LVIS_SELECTED) & LVIS_SELECTED)) {
            if (ProcessItem* process = itemAt(mark)) found.push_back(process);
            return found;
        }
    }
    int index = -1;
    while ((index = static_cast<int>(SendMessageA(window, LVM_GETNEXTITEM, index, LVNI_SELECTED))) >= 0) {
        if (ProcessItem* process = itemAt(index)) found.push_back(process);
        if (!allSelected) break;
    }
    return found;
}

std::vector<ProcessItem> TarnwickMainFrame::SelectedProcesses(bool allSelected) const
{
    std::vector<ProcessItem> copies;
    switch (FocusedView()) {
    case MenuEnabling::View::Tree:
        if (const ProcessItem* process = TreeProcess(SelectedTreeItem())) copies.push_back(*process);
        break;
    case MenuEnabling::View::ProcessList:
        for (const ProcessItem* process : SelectedListProcesses(allSelected)) copies.push_back(*process);
        break;
    default:
        break;
    }
    return copies;
}

bool TarnwickMainFrame::SelectedModule(ModuleItem& module) const
{
    if (!list || nListKind != kModuleList) return false;
    HWND window = list->GetHwnd();
    int index = static_cast<int>(SendMessageA(window, LVM_GETSELECTIONMARK, 0, 0));
    if (index < 0 || !(SendMessageA(window, LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED))
        index = static_cast<int>(SendMessageA(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (index < 0) return false;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(window, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam) return false;
    module = *ModuleView::FromParam(item.lParam);
    return true;
}

bool TarnwickMainFrame::ListedProcess(ProcessItem& process) const
{
    if (nListKind != kModuleList) return false;
    process = listedProcess;
    return true;
}

void TarnwickMainFrame::ShowSelectProcessMessage()
{
    BusyScope hold(*this);
    MessageBoxA(hwnd, StringTable::Load(77).c_str(), StringTable::Load(1).c_str(), MB_OK | MB_ICONSTOP);
}

// ---- Busy count ------------------------------------------------------------------------------

TarnwickMainFrame::BusyScope::BusyScope(TarnwickMainFrame& frame) : frame(frame)
{
    frame.busy.Begin();
}

TarnwickMainFrame::BusyScope::~BusyScope()
{
    frame.EndBusy();
}

void TarnwickMainFrame::EndBusy()
{
    const unsigned requests = busy.End();
    if (requests && hwnd) RunDeferred(requests);
}

void TarnwickMainFrame::RunDeferred(unsigned requests)
{
    const BusyCount::Plan plan = BusyCount::MakePlan(requests);
    if (requests & BusyCount::kSelection) bSelectionPending = false;
    if (plan.bClose) {
        OnClose();
        return;
    }
    if (plan.bSettingChange) ApplySettingChange();
    else if (plan.bRefreshFull) Refresh(true);
    else if (plan.bRefresh) Refresh(false);
    else if (plan.bSelection) HandleSelectionChange();
}

// ---- Background threads -----------------------------------------------------------------------

void TarnwickMainFrame::AddWorker(BackgroundWorker* worker)
{
    if (worker) workers.push_back(worker);
}

void TarnwickMainFrame::RemoveWorker(BackgroundWorker* worker)
{
    for (auto it = workers.begin(); it != workers.end(); ++it)
        if (*it == worker) {
            workers.erase(it);
            return;
        }
}

void TarnwickMainFrame::StopWorkers()
{
    BackgroundWorker::StopAll(workers);
    // All have ended (or were ended): the frame's own ones are closed and deleted.
    for (BackgroundWorker* worker : threads.Workers()) RemoveWorker(worker);
    threads.Stop();
}

// ---- Keys, activation, colours, settings -------------------------------------------------------

void TarnwickMainFrame::OnTreeKeyDown(WORD key)
{
    switch (key) {
    case VK_TAB:
        if (list) SetFocus(list->GetHwnd());
        break;
    case VK_ESCAPE: OnLeaveFullScreen(); break;
    case VK_DELETE: OnKill(); break;
    case VK_F5: OnRefreshCommand(KeyDown(VK_CONTROL)); break;
    default: break;
    }
}

void TarnwickMainFrame::OnListKeyDown(WORD key)
{
    switch (key) {
    case VK_TAB: SetFocus(tree.GetHwnd()); break;
    case VK_ESCAPE: OnLeaveFullScreen(); break;
    case VK_DELETE: OnKill(); break;
    case VK_F5:
        SendMessageA(hwnd, WM_COMMAND, ID_VIEW_REFRESH, KeyDown(VK_CONTROL) ? kFullRefreshMark : 0);
        break;
    default: break;
    }
}

LRESULT TarnwickMainFrame::OnTreeSelChanging(const NMTREEVIEWA& change)
{
    switch (change.action) {
    case TVC_BYKEYBOARD:
        // Arrow keys walk the tree; only where they stop is loaded.
        bSelectionPending = true;
        SetTimer(hwnd, kSelectionTimer, kSelectionDelay, nullptr);
        return FALSE;
    case TVC_BYMOUSE:
    case TVC_UNKNOWN:
        return FALSE;
    default:
        return TRUE;
    }
}

void TarnwickMainFrame::OnListDoubleClick()
{
    if (app.dwComctlVersion < MAKELONG(71, 4)) {
        Debug().print("You need Internet Explorer 4.0 or higher!\n");
        return;
    }
    if (KeyDown(VK_MENU)) OnStandardProperties();
    else OnAdvancedProperties();
}

void TarnwickMainFrame::OnActivate(WPARAM)
{
    SetFocus(hLastFocus);
}

void TarnwickMainFrame::OnClose()
{
    if (busy.Defer(BusyCount::kClose)) return;
    CloseFullScreenWindow();
    SaveSettings();
    SaveLauncherLists();
    DestroyWindow(hwnd);
}

bool TarnwickMainFrame::SaveSettings()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(hwnd, &placement)) settings.wpMainWindow = placement;
    CaptureListColumns(true);
    if (tree.GetHwnd()) {
        RECT rect;
        GetWindowRect(tree.GetHwnd(), &rect);
        settings.nLeftPaneWidth = static_cast<uint16_t>(rect.right - rect.left);
    }
    if (fullScreen.IsOn()) {
        settings.bFullScreen = 1;
        settings.wpMainWindow = fullScreen.GetPlacementBefore();
    } else {
        settings.bFullScreen = 0;
    }
    return UserSettingsFile::Save(settings, strSettingsPath);
}

void TarnwickMainFrame::OnSysColorChange()
{
    if (hRebar) SendMessageA(hRebar, WM_SYSCOLORCHANGE, 0, 0);
    if (hToolbar) SendMessageA(hToolbar, WM_SYSCOLORCHANGE, 0, 0);
    if (status.Status()) SendMessageA(status.Status(), WM_SYSCOLORCHANGE, 0, 0);
    ApplyInfobarColors();
}

void TarnwickMainFrame::OnSettingChange()
{
    if (busy.Defer(BusyCount::kSettingChange)) return;
    ApplySettingChange();
}

void TarnwickMainFrame::ApplySettingChange()
{
    settings.lfViewFont.lfCharSet = GetAnsiCharset();
    HFONT font = CreateViewFont();
    if (font) {
        HFONT old = hViewFont;
        hViewFont = font;
        ApplyViewFont();
        if (old) DeleteObject(old);
    }
    Refresh(true);
    ownerDrawMenu.RecreateFonts();
}

void TarnwickMainFrame::OnGetMinMaxInfo(MINMAXINFO& info)
{
    // In full-screen mode the frame may be larger than the screen.
    fullScreen.OnGetMinMaxInfo(&info);
}

void TarnwickMainFrame::OnInitMenu(HMENU)
{
    if (fullScreen.IsOn()) fullScreen.OnInitMenu(GetSystemMenu(hwnd, FALSE));
}

LRESULT TarnwickMainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam)
{
    // Hidden instead of minimised only while the tray icon is there to bring it back.
    if ((wParam & 0xFFF0) == SC_MINIMIZE && settings.bHideWhenMinimized && tray.OnMinimize()) return 0;
    return DefWindowProcA(hwnd, WM_SYSCOMMAND, wParam, lParam);
}

bool TarnwickMainFrame::OnRegisteredMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (message == TrayIcon::CallbackMessage()) {
        tray.OnNotify(lParam);
        result = 0;
        return true;
    }
    if (message == TrayIcon::TaskbarCreatedMessage()) {
        tray.OnTaskbarCreated();
        result = 0;
        return true;
    }
    return false;
}

// ---- Owner drawing -------------------------------------------------------------------------

LRESULT TarnwickMainFrame::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType == ODT_MENU) return launcherMenus.DrawItem(item) || ownerDrawMenu.Draw(item) ? TRUE : FALSE;
    if (item.CtlType == ODT_LISTVIEW && list && item.hwndItem == list->GetHwnd()) {
        if (nListKind == kProcessList) processView->DrawRow(item, item.hwndItem);
        else if (nListKind == kModuleList) moduleView->DrawRow(item, item.hwndItem);
        return TRUE;
    }
    return FALSE;
}

LRESULT TarnwickMainFrame::OnMeasureItem(MEASUREITEMSTRUCT& item)
{
    if (item.CtlType == ODT_MENU) return launcherMenus.MeasureItem(item) || ownerDrawMenu.Measure(item) ? TRUE : FALSE;
    if (item.CtlType == ODT_LISTVIEW) {
        // Rows fit the view font and the 16-pixel icons.
        HDC dc = GetDC(hwnd);
        HGDIOBJ old = SelectObject(dc, hViewFont ? static_cast<HGDIOBJ>(hViewFont) : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        const int height = metrics.tmHeight + 4;
        item.itemHeight = static_cast<UINT>(height < 18 ? 18 : height);
        return TRUE;
    }
    return FALSE;
}

LRESULT TarnwickMainFrame::OnMenuChar(WPARAM wParam, LPARAM lParam)
{
    if (bNoOwnerDrawMenus || (HIWORD(wParam) & MF_SYSMENU))
        return DefWindowProcA(hwnd, WM_MENUCHAR, wParam, lParam);
    const LRESULT result = ownerDrawMenu.MenuChar(static_cast<char>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam));
    if (HIWORD(result) == MNC_IGNORE) return DefWindowProcA(hwnd, WM_MENUCHAR, wParam, lParam);
    return result;
}

// ---- Menus --------------------------------------------------------------------------------

bool TarnwickMainFrame::IsDebuggerRegistered() const
{
    // The same reader as the Debug command's.
    return FrameCommands::IsDebuggerRegistered();
}

MenuEnabling::State TarnwickMainFrame::MenuState() const
{
    MenuEnabling::State state;
    state.view = FocusedView();
    if (state.view == MenuEnabling::View::ModuleList) {
        ModuleItem module;
        state.bModuleSelected = SelectedModule(module);
        return state;
    }
    const std::vector<ProcessItem> selected = SelectedProcesses(true);
    state.nSelectedProcesses = static_cast<int>(selected.size());
    if (selected.size() == 1) {
        state.bRealProcess = IsRealProcess(selected.front());
        TopLevelWindowList windows;
        if (windows.Collect())
            for (const TopLevelWindowRecord& window : windows.Windows())
                if (window.dwProcessId == selected.front().dwPid) {
                    state.bHasTopLevelWindow = true;
                    break;
                }
        state.bDebuggerRegistered = IsDebuggerRegistered();
    }
    return state;
}

void TarnwickMainFrame::ApplyMenuEnabling(HMENU menu)
{
    for (const auto& entry : MenuEnabling::Compute(MenuState()))
        EnableMenuItem(menu, entry.first, MF_BYCOMMAND | (entry.second ? MF_ENABLED : MF_GRAYED));
}

void TarnwickMainFrame::OnInitMenuPopup(HMENU menu)
{
    ApplyMenuEnabling(menu);
    CheckMenuItem(menu, ID_VIEW_TOOLBAR, MF_BYCOMMAND | (settings.bShowToolbar ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_VIEW_INFOBAR, MF_BYCOMMAND | (settings.bShowInfobar ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_VIEW_STATUSBAR, MF_BYCOMMAND | (settings.bShowStatusbar ? MF_CHECKED : MF_UNCHECKED));
    if (GetMenuItemID(menu, 0) == ID_SORT_NAME)
        CheckMenuRadioItem(menu, 0, ModuleColumns::kModeCount - 1,
                           static_cast<UINT>(ModuleColumns::MenuPosition(settings.ssModuleSort.nSortMode)),
                           MF_BYPOSITION);
}

void TarnwickMainFrame::OnMenuSelect(UINT id, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu) {
        UpdateStatusCount();
        return;
    }
    if (flags & (MF_POPUP | MF_SEPARATOR)) status.SetText(std::string());
    else status.SetText(StringTable::Load(id));
}

void TarnwickMainFrame::OnContextMenu(HWND window, int x, int y)
{
    if (!window) return;
    HWND listWindow = list ? list->GetHwnd() : nullptr;
    // A click on the list's header may arrive as the list's own menu request.
    if (list && window == listWindow && list->GetHeader() && !(x == -1 && y == -1)) {
        RECT header;
        GetWindowRect(list->GetHeader(), &header);
        const POINT point = {x, y};
        if (PtInRect(&header, point)) window = list->GetHeader();
    }
    UINT menuId = 0;
    if (list && window == list->GetHeader()) {
        if (nListKind != kModuleList) return;
        menuId = IDR_POPUP_MV_SORTMODE;
    } else if (window == tree.GetHwnd()) {
        menuId = IDR_POPUP_TV_P_CONTEXT;
    } else if (window == listWindow && nListKind == kProcessList) {
        menuId = IDR_POPUP_PV_CONTEXT;
    } else if (window == listWindow && nListKind == kModuleList) {
        menuId = IDR_POPUP_MV_CONTEXT;
    } else {
        return;
    }
    if (x == -1 && y == -1) {
        // From the keyboard: at the selected item, or the view's corner.
        RECT rect = {0, 0, 8, 8};
        if (window == tree.GetHwnd()) {
            const HTREEITEM selected = SelectedTreeItem();
            std::memcpy(&rect, &selected, sizeof(selected));
            if (!SendMessageA(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect))) SetRect(&rect, 0, 0, 8, 8);
        } else if (window == listWindow) {
            const int mark = static_cast<int>(SendMessageA(window, LVM_GETSELECTIONMARK, 0, 0));
            rect.left = LVIR_LABEL;
            if (mark < 0 || !SendMessageA(window, LVM_GETITEMRECT, mark, reinterpret_cast<LPARAM>(&rect)))
                SetRect(&rect, 0, 0, 8, 8);
        }
        POINT point = {rect.left + 8, rect.bottom};
        ClientToScreen(window, &point);
        x = point.x;
        y = point.y;
    }
    HMENU resource = ResourceModule::Menu(menuId);
    if (!resource) return;
    HMENU popup = GetSubMenu(resource, 0);
    if (menuId == IDR_POPUP_PV_CONTEXT) {
        SetDefaultCommand(popup, ID_PROPERTIES_ADVANCED);
        InsertPluginsSubmenu(popup, 2, MenuEnabling::View::ProcessList);
        InsertSearchSubmenu(popup);
    } else if (menuId == IDR_POPUP_MV_CONTEXT) {
        SetDefaultCommand(popup, ID_PROPERTIES_ADVANCED);
        InsertOpenWithSubmenu(popup);
        InsertPluginsSubmenu(popup, 2, MenuEnabling::View::ModuleList);
        InsertSearchSubmenu(popup);
    } else if (menuId == IDR_POPUP_TV_P_CONTEXT) {
        InsertPluginsSubmenu(popup, 2, MenuEnabling::View::Tree);
        InsertSearchSubmenu(popup);
    }
    TrackContextMenu(popup, window, x, y);
    DestroyMenu(resource);
    ownerDrawMenu.Release();
    launcherMenus.Release();
}

void TarnwickMainFrame::SetDefaultCommand(HMENU menu, UINT command)
{
    // The item may sit in a submenu ("Properties").
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (GetMenuItemID(menu, position) == command) {
            SetMenuDefaultItem(menu, command, FALSE);
            return;
        }
        if (HMENU submenu = GetSubMenu(menu, position)) SetDefaultCommand(submenu, command);
    }
}

void TarnwickMainFrame::TrackContextMenu(HMENU popup, HWND view, int x, int y)
{
    // The menu's loop may deliver refreshes and closing: they wait for its end,
    // and so does the command chosen.
    BusyScope hold(*this);
    if (!bNoOwnerDrawMenus) ownerDrawMenu.Convert(popup);
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, hwnd, nullptr));
    RunCommandFromMenu(id, view);
}

void TarnwickMainFrame::RunCommandFromMenu(UINT id, HWND view)
{
    if (id == 0 || !hwnd) return;
    if (id >= 1003 && id <= 2001) OnPluginCommand(id, view);
    else if (id >= 2004 && id <= 4002) OnSearchEngine(id, view);
    else SendMessageA(hwnd, WM_COMMAND, id, 0);
}

void TarnwickMainFrame::OnOptionsDropDown(const NMTOOLBARA& button)
{
    HMENU resource = ResourceModule::Menu(IDR_POPUP_OPTIONS);
    if (!resource) return;
    RECT rect = {};
    SendMessageA(hToolbar, TB_GETRECT, button.iItem, reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(hToolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    UINT id;
    {
        BusyScope hold(*this);
        id = static_cast<UINT>(TrackPopupMenu(GetSubMenu(resource, 0), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                              rect.left, rect.bottom, 0, hwnd, nullptr));
    }
    DestroyMenu(resource);
    if (id) OnOptions(id);
}

// ---- Commands: view --------------------------------------------------------------------------

void TarnwickMainFrame::ShowBar(HWND bar, uint32_t& setting, UINT command)
{
    setting = setting ? 0 : 1;
    if (bar) ShowWindow(bar, setting ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(hwnd), command, MF_BYCOMMAND | (setting ? MF_CHECKED : MF_UNCHECKED));
    Layout();
}

void TarnwickMainFrame::OnToggleToolbar()
{
    ShowBar(hRebar, settings.bShowToolbar, ID_VIEW_TOOLBAR);
}

void TarnwickMainFrame::OnToggleInfobar()
{
    ShowBar(infobar.GetHwnd(), settings.bShowInfobar, ID_VIEW_INFOBAR);
}

void TarnwickMainFrame::OnToggleStatusbar()
{
    ShowBar(status.Status(), settings.bShowStatusbar, ID_VIEW_STATUSBAR);
}

void TarnwickMainFrame::OnRefreshCommand(bool fullMark)
{
    // The computer and the "Kill" item have nothing to read again.
    const HTREEITEM selected = SelectedTreeItem();
    if (selected == hRootItem || selected == hKillItem) return;
    Refresh(fullMark);
}

void TarnwickMainFrame::OnSelectAll()
{
    if (!list || nListKind == kEmptyList) return;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(list->GetHwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void TarnwickMainFrame::OnModules()
{
    if (nListKind != kProcessList) return;
    const std::vector<ProcessItem*> selected = SelectedListProcesses(false);
    if (selected.empty()) {
        ShowSelectProcessMessage();
        return;
    }
    const ProcessItem& process = *selected.front();
    if (!IsRealProcess(process) || !process.hTreeNode) return;
    SendMessageA(tree.GetHwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(process.hTreeNode));
    SendMessageA(tree.GetHwnd(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(process.hTreeNode));
    if (list) SetFocus(list->GetHwnd());
}

void TarnwickMainFrame::OnModuleSortMode(UINT command)
{
    uint32_t mode = 0;
    if (nListKind != kModuleList || !list || !ModuleColumns::ModeFromCommand(command, mode)) return;
    moduleView->SetMode(list->GetHwnd(), mode);
}

void TarnwickMainFrame::OnQuit()
{
    OnClose();
}

void TarnwickMainFrame::OnKillProcesses(const std::vector<ProcessItem>& processes)
{
    Debug().print("TarnwickMainFrame: %d process(es) dropped on Kill\n", static_cast<int>(processes.size()));
    RunTermination(processes);
}

// ---- Kill, Report, Find Dll -------------------------------------------------------------------
// Each holds the busy count while its dialog or report runs: refreshes and
// closing wait until the flow is over.

void TarnwickMainFrame::OnKill()
{
    RunTermination(SelectedProcesses(true));
}

void TarnwickMainFrame::RunTermination(const std::vector<ProcessItem>& processes)
{
    if (processes.empty()) {
        ShowSelectProcessMessage();
        return;
    }
    std::vector<ProcessRecord> records;
    for (const ProcessItem& item : processes) {
        ProcessRecord record;
        record.strName = item.strName;
        record.dwProcessId = item.dwPid;
        record.ftCreationTime.dwLowDateTime = item.ftCreated.dwLowDateTime;
        record.ftCreationTime.dwHighDateTime = item.ftCreated.dwHighDateTime;
        records.push_back(record);
    }
    int result = 0;
    {
        BusyScope hold(*this);
        ClTarnwickProcessTerminationDlg dialog;
        result = dialog.Show(hwnd, records, settings.bEnableTooltips != 0, *formatter);
    }
    if (result == 1 && hwnd) Refresh(true);
}

void TarnwickMainFrame::OnReport()
{
    // The processes by the focused view; with the focus elsewhere the dialog starts empty.
    std::vector<ProcessItem> processes;
    const MenuEnabling::View view = FocusedView();
    if (view == MenuEnabling::View::ModuleList) {
        ProcessItem process;
        if (ListedProcess(process)) processes.push_back(process);
    } else if (view == MenuEnabling::View::Tree || view == MenuEnabling::View::ProcessList) {
        processes = SelectedProcesses(true);
    }
    if (processes.empty() && view != MenuEnabling::View::None) {
        ShowSelectProcessMessage();
        return;
    }

    BusyScope hold(*this);
    ClTarnwickReportDlg dialog;
    if (dialog.Show(hwnd, processes, images ? images->Views() : nullptr, settings.bEnableTooltips != 0,
                    settings.nReportFileType, *formatter)
        != IDOK)
        return;
    settings.nReportFileType = dialog.GetType();
    MessagePump::Pump();
    if (!hwnd) return;
    GuiReportProgress progress(hwnd);
    ReportJob::Write(dialog.GetType(), dialog.Processes(), dialog.Path(), settings, progress);
}

void TarnwickMainFrame::OnFindDll()
{
    BusyScope hold(*this);
    ClTarnwickFindDllDlg dialog;
    dialog.Show(hwnd, settings.bEnableTooltips != 0);
}

// ---- User-defined applications and internet search -------------------------------------------

namespace {
// "Tarnwick.lists" in the folder of the settings file.
std::string ListsPathBeside(const std::string& settingsPath)
{
    const size_t slash = settingsPath.find_last_of('\\');
    return (slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1)) + "Tarnwick.lists";
}
} // namespace

void TarnwickMainFrame::LoadSearchPlugins()
{
    Debug().print("Loading search-plugins...\n");
    launcherLists.Load(ListsPathBeside(strSettingsPath), SearchPlugins::DefaultFolder(), app.GetInstance());
}

void TarnwickMainFrame::SaveLauncherLists()
{
    launcherLists.Save(ListsPathBeside(strSettingsPath), SearchPlugins::DefaultFolder());
}

void TarnwickMainFrame::InstallBuiltInSearchEngine()
{
    launcherMenus.SetOwnerDraw(!bNoOwnerDrawMenus);
    // The information windows search through the same engines.
    searchHost.SetOwner(hwnd);
    commands->SetSearchHost(&searchHost);
    SearchPlugins::LoadBuiltinEngine(app.GetInstance(), QueryUrl::LanguagePrefix(app.wLanguageId),
                                     launcherLists.builtin);
}

std::string TarnwickMainFrame::SearchTerm(HWND view) const
{
    if (!view) return std::string();
    if (view == tree.GetHwnd()) {
        const ProcessItem* process = TreeProcess(SelectedTreeItem());
        return process ? process->strName : std::string();
    }
    if (!list || view != list->GetHwnd()) return std::string();
    if (nListKind == kModuleList) {
        ModuleItem module;
        return SelectedModule(module) ? module.strName : std::string();
    }
    const std::vector<ProcessItem*> processes = SelectedListProcesses(false);
    return processes.empty() ? std::string() : processes.front()->strName;
}

void TarnwickMainFrame::RunSearch(const SearchEngine& engine, HWND view)
{
    const std::string term = SearchTerm(view);
    if (term.empty()) return;
    Debug().print("Searching \"%s\" with %s\n", term.c_str(), engine.strName.c_str());
    SearchPlugins::SearchTheInternet(engine, term, hwnd);
}

void TarnwickMainFrame::OnSearchInternet()
{
    RunSearch(launcherLists.builtin, FocusedViewWindow());
}

void TarnwickMainFrame::OnSearchEngine(UINT id, HWND view)
{
    if (const SearchEngine* engine = launcherLists.EngineForCommand(id)) RunSearch(*engine, view);
}

void TarnwickMainFrame::InsertSearchSubmenu(HMENU menu)
{
    launcherMenus.InsertSearchEngines(menu, launcherLists.engines);
}

void TarnwickMainFrame::OnUserApplication(UINT id)
{
    ModuleItem module;
    if (bApplicationRunning || !SelectedModule(module)) return;
    // The Console window is modal: the lists, the views and closing wait for it.
    BusyScope hold(*this);
    bApplicationRunning = true;
    ApplicationLauncher::LaunchApplication(launcherLists.applications, id, module.strLocation, hwnd,
                                           settings.bEnableTooltips != 0);
    bApplicationRunning = false;
}

void TarnwickMainFrame::InsertOpenWithSubmenu(HMENU menu)
{
    launcherMenus.InsertOpenWith(menu, launcherLists.applications);
}

// ---- Handlers of later features ---------------------------------------------------------------
// Each is reached from its menu item, accelerator, toolbar button or key;
// the feature behind it is not part of the program yet.


// ---- Commands on the selected process or module (FrameCommands) ----------
void TarnwickMainFrame::OnDebug() { commands->Debug(); }
void TarnwickMainFrame::OnSwitchTo() { commands->SwitchTo(); }
void TarnwickMainFrame::OnExploreFromHere() { commands->ExploreFromHere(); }
void TarnwickMainFrame::OnOpenCommandWindow() { commands->OpenCommandWindow(); }
void TarnwickMainFrame::OnStandardProperties() { commands->StandardProperties(); }
void TarnwickMainFrame::OnAdvancedProperties() { commands->AdvancedProperties(); }
void TarnwickMainFrame::OnInfobarDoubleClick() { commands->ListedProcessInformation(); }
void TarnwickMainFrame::OnCopy() { commands->Copy(); }
void TarnwickMainFrame::OnAbout() { commands->About(); }
void TarnwickMainFrame::OnHomePage() { commands->WebPage(ShellCommandText::HomePage); }
void TarnwickMainFrame::OnDownloadPlugins() { commands->WebPage(ShellCommandText::PluginsPage); }

HWND TarnwickMainFrame::ListWindow() const
{
    return list ? list->GetHwnd() : nullptr;
}



// ---- Options ---------------------------------------------------------------------------------

void TarnwickMainFrame::OnOptions(UINT pageCommand)
{
    // A command posted while the dialog is open finds it there.
    if (!hwnd || bOptionsOpen) return;
    // Refreshes and closing asked for meanwhile wait for the dialog and what OK applies.
    BusyScope hold(*this);
    // Cleared before the busy scope ends: what it runs then may open Options again.
    struct OpenFlag {
        bool& flag;
        explicit OpenFlag(bool& flag) : flag(flag) { flag = true; }
        ~OpenFlag() { flag = false; }
    } open(bOptionsOpen);
    ClTarnwickOptionsDlg dialog(plugins);
    dialog.SetInitialPage(pageCommand);
    dialog.SetTooltips(settings.bEnableTooltips != 0);
    dialog.SetLanguage(app.wLanguageId);
    dialog.SetSettings(settings);
    dialog.SetApplications(launcherLists.applications);
    dialog.SetEngines(launcherLists.engines);
    dialog.SetSearchPluginFolder(SearchPlugins::DefaultFolder());
    if (dialog.Run(hwnd) != 1 || !hwnd) return;
    ApplyOptions(dialog);
}

void TarnwickMainFrame::ApplyOptions(const ClTarnwickOptionsDlg& dialog)
{
    // Widths dragged in the list since it was filled are kept, as saving keeps them.
    CaptureListColumns(true);
    const unsigned changes = OptionsRecord::TakeBack(dialog.Settings(), settings);
    if (changes & OptionsRecord::kBars) {
        ApplyBar(hRebar, settings.bShowToolbar, ID_VIEW_TOOLBAR);
        ApplyBar(infobar.GetHwnd(), settings.bShowInfobar, ID_VIEW_INFOBAR);
        ApplyBar(status.Status(), settings.bShowStatusbar, ID_VIEW_STATUSBAR);
        Layout();
    }
    if (changes & OptionsRecord::kFont) {
        HFONT font = CreateViewFont();
        if (font) {
            HFONT old = hViewFont;
            hViewFont = font;
            ApplyViewFont();
            if (old) DeleteObject(old);
        }
    }
    if (changes & OptionsRecord::kViewColors) {
        SendMessageA(tree.GetHwnd(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(settings.crText));
        SendMessageA(tree.GetHwnd(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(settings.crBackground));
    }
    if (changes & OptionsRecord::kCpuColors) ApplyCpuGraphColors();
    if (changes & OptionsRecord::kHideWhenMinimized) ApplyHideWhenMinimized(settings.bHideWhenMinimized != 0);
    if (changes & OptionsRecord::kTooltips) ApplyTooltips();
    // The dialog's lists are its own copies: taken over only when their page changed them.
    if (dialog.ApplicationsChanged()) launcherLists.applications = dialog.Applications();
    if (dialog.EnginesChanged()) launcherLists.engines = dialog.Engines();
    // New pictures, columns, colours and nesting need new items: runs once the dialog is over.
    if (changes & OptionsRecord::kRebuildViews) Refresh(true);
}

void TarnwickMainFrame::ApplyBar(HWND bar, uint32_t setting, UINT command)
{
    const bool hiddenByFullScreen = fullScreen.IsOn() && (bar == hRebar || bar == status.Status());
    if (bar && !hiddenByFullScreen) ShowWindow(bar, setting ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(hwnd), command, MF_BYCOMMAND | (setting ? MF_CHECKED : MF_UNCHECKED));
}

void TarnwickMainFrame::ApplyTooltips()
{
    HWND tips = hToolbar ? reinterpret_cast<HWND>(SendMessageA(hToolbar, TB_GETTOOLTIPS, 0, 0)) : nullptr;
    if (tips) SendMessageA(tips, TTM_ACTIVATE, settings.bEnableTooltips ? TRUE : FALSE, 0);
}

// ---- CPU graph, background threads, tray icon, full screen -------------------------------------

bool TarnwickMainFrame::CreateCpuGraph()
{
    if (!cpuGraph.Create(status.Status(), WS_CHILD | WS_VISIBLE, kCpuGraphId)) return false;
    ApplyCpuGraphColors();
    return true;
}

void TarnwickMainFrame::ApplyCpuGraphColors()
{
    cpuGraph.SetBackgroundColor(settings.crCpuBackground);
    cpuGraph.SetGraphColor(settings.crCpuGraph);
    cpuGraph.SetTextColor(settings.crCpuText);
}

void TarnwickMainFrame::PlaceCpuGraph(const RECT& rect)
{
    if (cpuGraph.GetHwnd())
        MoveWindow(cpuGraph.GetHwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void TarnwickMainFrame::StartWorkers()
{
    threads.StartFolderWatches(hwnd);
    threads.StartSampler(cpuGraph.GetHwnd(), ClCPUGraph::kSampleMessage);
    for (BackgroundWorker* worker : threads.Workers()) AddWorker(worker);
}

void TarnwickMainFrame::AddTrayIcon()
{
    HICON icon = static_cast<HICON>(LoadImageA(app.GetInstance(), MAKEINTRESOURCEA(IDI_TARNWICK), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    tray.Prepare(hwnd, TrayIcon::CallbackMessage(), TrayIcon::kIconId, icon, StringTable::Load(1).c_str());
    if (settings.bHideWhenMinimized) tray.Add();
}

void TarnwickMainFrame::RemoveTrayIcon()
{
    tray.Remove();
}

void TarnwickMainFrame::ApplyHideWhenMinimized(bool on)
{
    settings.bHideWhenMinimized = on ? 1 : 0;
    if (on) tray.Add();
    else tray.Remove();
}

bool TarnwickMainFrame::CreateFullScreenWindow()
{
    // The language module's template when it has one, else the program's own.
    HMODULE resources = ResourceModule::ForDialog(ClTarnwickFullscreenDlg::kTemplateName);
    if (!fullScreen.Create(resources, hwnd, ID_VIEW_FULLSCREEN)) return false;
    hFullScreenDialog = fullScreen.GetDialog();
    app.AddModelessWindow(hFullScreenDialog);
    return true;
}

void TarnwickMainFrame::DestroyFullScreenWindow()
{
    // A window made anew (language change) starts in the mode this one had.
    if (fullScreen.IsOn()) {
        settings.bFullScreen = 1;
        settings.wpMainWindow = fullScreen.GetPlacementBefore();
    }
    fullScreen.Reset();
    app.RemoveModelessWindow(hFullScreenDialog);
    hFullScreenDialog = nullptr;
}

FullScreenMode::Windows TarnwickMainFrame::FullScreenWindows() const
{
    FullScreenMode::Windows windows = {};
    windows.hwndFrame = hwnd;
    windows.hwndRebar = hRebar;
    windows.hwndStatus = status.Status();
    windows.hwndTree = tree.GetHwnd();
    windows.hwndList = list ? list->GetHwnd() : nullptr;
    return windows;
}

void TarnwickMainFrame::OnFullScreen()
{
    HWND focus = FocusedViewWindow();
    if (fullScreen.IsOn())
        fullScreen.Leave(FullScreenWindows(), settings.bShowToolbar != 0, settings.bShowStatusbar != 0, focus);
    else
        fullScreen.Enter(FullScreenWindows(), focus);
    Layout();
}

void TarnwickMainFrame::OnActivateApp(bool active)
{
    // The floating window stays above everything only while the program is active.
    fullScreen.OnActivateApp(active);
}

void TarnwickMainFrame::OnLeaveFullScreen()
{
    if (fullScreen.IsOn()) OnFullScreen();
}

void TarnwickMainFrame::CloseFullScreenWindow()
{
    // The mode itself stays on for saving: the next start returns to it.
    fullScreen.HideWindow();
}

// ---- Plug-ins ------------------------------------------------------------------------------------

void TarnwickMainFrame::LoadPlugins()
{
    const std::string folder = HelpFile::ProgramFolder();
    if (!folder.empty()) plugins.LoadPlugins(folder + "Plugins", &Debug());
}

void TarnwickMainFrame::InitPlugins()
{
    plugins.InitializePlugins(hwnd, app.wLanguageId);
}

void TarnwickMainFrame::FinalizePlugins()
{
    plugins.FinalizePlugins();
}

void TarnwickMainFrame::InsertPluginsSubmenu(HMENU menu, int position, MenuEnabling::View view)
{
    HMENU submenu = plugins.BuildPluginMenu(view == MenuEnabling::View::ModuleList);
    if (!submenu) return;
    const std::string text = StringTable::Load(64);
    if (!InsertMenuA(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_POPUP,
                     reinterpret_cast<UINT_PTR>(submenu), text.c_str())) {
        DestroyMenu(submenu);
        return;
    }
    InsertMenuA(menu, static_cast<UINT>(position + 1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

bool TarnwickMainFrame::PluginTargets(HWND view, PluginRequest::Source& source,
                                      std::vector<PluginRequest::Item>& items) const
{
    auto add = [&](const ProcessItem& process) {
        PluginRequest::Item item;
        item.dwProcessId = process.dwPid;
        item.strPath = process.strPath;
        item.bIdleOrSystem = !IsRealProcess(process);
        items.push_back(item);
    };
    if (view && view == tree.GetHwnd()) {
        source = PluginRequest::ProcessTree;
        if (const ProcessItem* process = TreeProcess(SelectedTreeItem())) add(*process);
        return true;
    }
    if (!list || view != list->GetHwnd()) return false;
    if (nListKind == kProcessList) {
        source = PluginRequest::ProcessList;
        for (const ProcessItem* process : SelectedListProcesses(true)) add(*process);
        return true;
    }
    if (nListKind != kModuleList) return false;
    source = PluginRequest::ModuleList;
    for (int index = -1;;) {
        index = static_cast<int>(SendMessageA(view, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
        if (index < 0) break;
        LVITEMA row = {};
        row.mask = LVIF_PARAM;
        row.iItem = index;
        if (!SendMessageA(view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)) || !row.lParam) continue;
        PluginRequest::Item item;
        item.strPath = ModuleView::FromParam(row.lParam)->strLocation;
        items.push_back(item);
    }
    return true;
}

void TarnwickMainFrame::OnPluginCommand(UINT id, HWND view)
{
    PluginRequest::Source source;
    std::vector<PluginRequest::Item> items;
    if (!PluginTargets(view, source, items)) return;
    const int index = plugins.IndexForCommand(static_cast<int>(id), source == PluginRequest::ModuleList);
    if (index < 0) return;
    PluginRequest request;
    if (!request.Build(source, plugins.KindOf(static_cast<size_t>(index)), items)) return;

    PluginHost::Outcome outcome;
    {
        // Refreshes, closing and a language change wait for the plug-in's return.
        BusyScope hold(*this);
        outcome = plugins.ExecutePlugin(static_cast<size_t>(index), request, hwnd);
    }
    if (outcome == PluginHost::Outcome::Refused)
        DebugOutput::Write("Plugin call refused: another plugin call is still running\n");
    if (outcome == PluginHost::Outcome::Refresh && hwnd) Refresh(source == PluginRequest::ProcessTree);
    ApplyPendingLanguage();
}

// ---- Language and help -------------------------------------------------------------------------

void TarnwickMainFrame::OnLanguage()
{
    BusyScope hold(*this);
    ClTarnwickChooseLangDlg dialog(app.GetInstance(), app.GetResourceModule(), HelpFile::ProgramFolder());
    if (dialog.DoModal(hwnd) != 1) return;
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
    RequestLanguage(module);
}

void TarnwickMainFrame::RequestLanguage(HMODULE module)
{
    if (hPendingLanguage && hPendingLanguage != app.GetInstance()) FreeLibrary(hPendingLanguage);
    hPendingLanguage = module;
    bLanguagePending = true;
    if (!plugins.IsCallActive()) ApplyPendingLanguage();
}

void TarnwickMainFrame::ApplyPendingLanguage()
{
    if (!bLanguagePending || plugins.IsCallActive() || !hwnd) return;
    bLanguagePending = false;
    app.SetLanguageModule(hPendingLanguage);
    hPendingLanguage = nullptr;
    // The window closes as the user closes it (settings saved); the run loop
    // builds the new one from the new resources.
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

void TarnwickMainFrame::OnHelp()
{
    BusyScope hold(*this);
    HelpFile::Open(hwnd, app.wLanguageId);
}
