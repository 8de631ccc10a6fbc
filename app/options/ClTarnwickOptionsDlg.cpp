#include "app/options/ClTarnwickOptionsDlg.h"

#include "app/language/HelpFile.h"
#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/pluginhost/TarnwickPluginOptionsDlg.h"
#include "app/res/resource.h"
#include "launchers/ClTarnwickApplicationOptionsDlg.h"
#include "launchers/ClTarnwickInternetSearchOptionsDlg.h"
#include "views/ClTarnwickColorsAndFormatsDlg.h"
#include "views/ClTarnwickColumnOptionsDlg.h"
#include "views/ClTarnwickCopyOptionsDlg.h"
#include "views/ClTarnwickViewOptionsDlg.h"

const char ClTarnwickOptionsDlg::kTemplateName[] = "CLTARNWICKOPTIONSDLG";

namespace {

// The page tree: text, parent page (or itself for a top-level item), the
// page command whose string is the item's tip, and the item's picture.
struct TreeEntry {
    unsigned nText;
    ClTarnwickOptionsDlg::Page parent;
    UINT nCommand;
};

const TreeEntry kTree[ClTarnwickOptionsDlg::kPageCount] = {
    {44, ClTarnwickOptionsDlg::kView, ID_OPTIONS_VIEW},
    {46, ClTarnwickOptionsDlg::kView, ID_OPTIONS_COLUMNS},
    {45, ClTarnwickOptionsDlg::kView, ID_OPTIONS_COLORS},
    {43, ClTarnwickOptionsDlg::kCopy, ID_OPTIONS_COPY},
    {50, ClTarnwickOptionsDlg::kApplications, ID_OPTIONS_APPLICATIONS},
    {64, ClTarnwickOptionsDlg::kPlugins, ID_OPTIONS_PLUGINS},
    {153, ClTarnwickOptionsDlg::kInternetSearch, ID_OPTIONS_INTERNET_SEARCH},
};

const int kButtons[3] = {IDOK, IDCANCEL, IDC_OPTIONS_HELP};
const UINT kButtonIcons[3] = {IDI_OK, IDI_CANCEL, IDI_HELP};
const unsigned kButtonTips[3] = {88, 89, 68};
// Height of the header bar in dialog units, and the gap below it in pixels.
const int kHeaderUnits = 14;
const int kHeaderGap = 2;
const int kIconSide = 16;

// Lists whose Enter is a double click instead of OK.
bool EnterActsOnList(int id)
{
    return id == IDC_APPS_LIST || id == IDC_PLUGINS_LIST || id == IDC_COLORS_LIST;
}

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

ClTarnwickOptionsDlg::ClTarnwickOptionsDlg(PluginHost& plugins)
    : plugins(plugins), hWnd(nullptr), hOwner(nullptr), hTree(nullptr), hImages(nullptr), nInitialPage(kView),
      nCurrentPage(kPageCount), bTooltips(true), wLanguageId(0), settings(),
      live(LiveSettings::Defaults()), ahItems{}, ahButtonIcons{}
{
}

ClTarnwickOptionsDlg::~ClTarnwickOptionsDlg()
{
    for (auto& page : pages) page.reset();
    for (HICON& icon : ahButtonIcons)
        if (icon) DestroyIcon(icon);
    if (hImages) ImageList_Destroy(hImages);
}

ClTarnwickOptionsDlg::Page ClTarnwickOptionsDlg::PageOfCommand(UINT command)
{
    for (size_t page = 0; page < kPageCount; ++page)
        if (kTree[page].nCommand == command) return static_cast<Page>(page);
    return kView;
}

UINT ClTarnwickOptionsDlg::CommandOfPage(Page page)
{
    return page < kPageCount ? kTree[page].nCommand : ID_OPTIONS_VIEW;
}

void ClTarnwickOptionsDlg::SetInitialPage(UINT command)
{
    nInitialPage = PageOfCommand(command);
}

void ClTarnwickOptionsDlg::SetTooltips(bool on)
{
    bTooltips = on;
}

void ClTarnwickOptionsDlg::SetLanguage(WORD languageId)
{
    wLanguageId = languageId;
}

void ClTarnwickOptionsDlg::SetSettings(const UserSettings& values)
{
    settings = values;
}

void ClTarnwickOptionsDlg::SetLiveSettings(const LiveSettings& values)
{
    live = values;
}

void ClTarnwickOptionsDlg::SetApplications(const std::vector<UserApplication>& list)
{
    applications = list;
}

void ClTarnwickOptionsDlg::SetEngines(const std::vector<SearchEngine>& list)
{
    engines = list;
}

void ClTarnwickOptionsDlg::SetSearchPluginFolder(const std::string& folder)
{
    strSearchPluginFolder = folder;
}

bool ClTarnwickOptionsDlg::ApplicationsChanged() const
{
    return pages[kApplications] && pages[kApplications]->Changed();
}

bool ClTarnwickOptionsDlg::EnginesChanged() const
{
    return pages[kInternetSearch] && pages[kInternetSearch]->Changed();
}

INT_PTR ClTarnwickOptionsDlg::Run(HWND owner)
{
    hOwner = owner;
    ButtonEx::Register();
    HyperLink::Register();
    const INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplateName), kTemplateName, owner,
                                           DialogProcedure<ClTarnwickOptionsDlg>, reinterpret_cast<LPARAM>(this));
    return result == 1 ? 1 : 0;
}

INT_PTR ClTarnwickOptionsDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return FALSE;
    case WM_COMMAND: OnCommand(wParam, lParam); return TRUE;
    case WM_NOTIFY: {
        const LRESULT result = OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_HELP: OnHelp(); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
    }
}

// ---- Initialisation ----------------------------------------------------------------------

void ClTarnwickOptionsDlg::OnInitDialog()
{
    hTree = GetDlgItem(hWnd, IDC_OPTIONS_TREE);
    const RECT area = ChildRect(hWnd, GetDlgItem(hWnd, IDC_OPTIONS_PAGEAREA));
    RECT units = {0, 0, 0, kHeaderUnits};
    MapDialogRect(hWnd, &units);
    RECT bar = area;
    bar.bottom = bar.top + units.bottom;
    header.Create(0, WS_CHILD | WS_VISIBLE, "", bar, hWnd, IDC_OPTIONS_HEADER);
    header.SetMargins(0, 0, 0, 0);
    header.SetGradient(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    header.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    header.SetGradientMode(0);
    RECT pageArea = area;
    pageArea.top = bar.bottom + kHeaderGap;
    CreatePages(pageArea);

    RebuildButtons();
    if (tooltips.Create(hWnd)) {
        for (int i = 0; i < 3; ++i) tooltips.AddTool(GetDlgItem(hWnd, kButtons[i]), StringTable::Load(kButtonTips[i]));
        tooltips.Activate(bTooltips);
    }
    FillTree();
    SendMessageA(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ahItems[nInitialPage]));
    SendMessageA(hTree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(ahItems[nInitialPage]));
    ShowPage(nInitialPage);
    SetFocus(hTree);
}

void ClTarnwickOptionsDlg::CreatePages(const RECT& area)
{
    HINSTANCE program = StringTable::GetOwnModule();
    pages[kView].reset(new ClTarnwickViewOptionsDlg(settings, live));
    pages[kColumns].reset(new ClTarnwickColumnOptionsDlg(settings, live));
    pages[kColors].reset(new ClTarnwickColorsAndFormatsDlg(settings, live));
    pages[kCopy].reset(new ClTarnwickCopyOptionsDlg(settings, live));
    pages[kApplications].reset(new ClTarnwickApplicationOptionsDlg(applications, program));
    pages[kPlugins].reset(new ClTarnwickPluginOptionsDlg(plugins, hOwner));
    pages[kInternetSearch].reset(new ClTarnwickInternetSearchOptionsDlg(engines, strSearchPluginFolder, program));
    for (auto& page : pages)
        page->Create(ResourceModule::ForDialog(page->TemplateName()), hWnd, area, bTooltips);
}

// OK, Cancel and Help as icon buttons, each in the place, style, font and
// tab position of the one it replaces.
void ClTarnwickOptionsDlg::RebuildButtons()
{
    HINSTANCE program = StringTable::GetOwnModule();
    for (int i = 0; i < 3; ++i) {
        HWND old = GetDlgItem(hWnd, kButtons[i]);
        if (!old) continue;
        char text[128] = {};
        GetWindowTextA(old, text, sizeof(text));
        const DWORD style = static_cast<DWORD>(GetWindowLongA(old, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(old, GWL_EXSTYLE));
        const RECT rect = ChildRect(hWnd, old);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(old, WM_GETFONT, 0, 0));
        SetWindowLongA(old, GWL_ID, 0);
        if (!buttons[i].Create(exStyle, style, text, rect, hWnd, static_cast<UINT>(kButtons[i]))) {
            SetWindowLongA(old, GWL_ID, kButtons[i]);
            continue;
        }
        HWND made = buttons[i].GetHwnd();
        SetWindowPos(made, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        DestroyWindow(old);
        if (!ahButtonIcons[i])
            ahButtonIcons[i] = static_cast<HICON>(
                LoadImageA(program, MAKEINTRESOURCEA(kButtonIcons[i]), IMAGE_ICON, kIconSide, kIconSide, 0));
        buttons[i].SetIcon(ahButtonIcons[i]);
    }
}

void ClTarnwickOptionsDlg::FillTree()
{
    if (!hImages) {
        hImages = ImageList_Create(kIconSide, kIconSide, ILC_COLOR32 | ILC_MASK, kPageCount, 0);
        HBITMAP strip = static_cast<HBITMAP>(
            LoadImageA(StringTable::GetOwnModule(), MAKEINTRESOURCEA(IDB_OPTIONPAGES), IMAGE_BITMAP, 0, 0, 0));
        if (hImages && strip) ImageList_AddMasked(hImages, strip, RGB(255, 0, 255));
        if (strip) DeleteObject(strip);
    }
    SendMessageA(hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(hImages));
    for (size_t page = 0; page < kPageCount; ++page) {
        const std::string text = PageText(static_cast<Page>(page));
        TVINSERTSTRUCTA insert = {};
        insert.hParent = kTree[page].parent == page ? TVI_ROOT : ahItems[kTree[page].parent];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
        insert.item.pszText = const_cast<char*>(text.c_str());
        insert.item.iImage = insert.item.iSelectedImage = static_cast<int>(page);
        insert.item.lParam = static_cast<LPARAM>(page);
        insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
        ahItems[page] =
            reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(ahItems[kView]));
}

std::string ClTarnwickOptionsDlg::PageText(Page page) const
{
    return page < kPageCount ? StringTable::Load(kTree[page].nText) : std::string();
}

// ---- Pages ---------------------------------------------------------------------------------

void ClTarnwickOptionsDlg::ShowPage(Page page)
{
    if (page >= kPageCount) return;
    if (nCurrentPage < kPageCount && nCurrentPage != page && pages[nCurrentPage]) pages[nCurrentPage]->Show(false);
    nCurrentPage = page;
    if (pages[page]) pages[page]->Show(true);
    SetWindowTextA(header.GetHwnd(), PageText(page).c_str());
    if (HICON icon = hImages ? ImageList_GetIcon(hImages, static_cast<int>(page), ILD_NORMAL) : nullptr) {
        header.SetIcon(icon, 0);
        DestroyIcon(icon);
    }
}

ClTarnwickOptionsDlg::Page ClTarnwickOptionsDlg::SelectedPage() const
{
    TVITEMA item = {};
    item.mask = TVIF_PARAM;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item.hItem || !SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return kPageCount;
    return item.lParam >= 0 && item.lParam < static_cast<LPARAM>(kPageCount) ? static_cast<Page>(item.lParam)
                                                                                : kPageCount;
}

void ClTarnwickOptionsDlg::TreeTip(HTREEITEM item, std::string& text) const
{
    text.clear();
    if (!bTooltips) return;
    for (size_t page = 0; page < kPageCount; ++page)
        if (ahItems[page] == item) text = StringTable::Load(kTree[page].nCommand);
}

// ---- Messages ------------------------------------------------------------------------------

void ClTarnwickOptionsDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOk(); return;
    case IDCANCEL: EndDialog(hWnd, 0); return;
    case IDC_OPTIONS_HELP: OnHelp(); return;
    default:
        // Everything else belongs to the page shown.
        if (nCurrentPage < kPageCount && pages[nCurrentPage] && pages[nCurrentPage]->GetHwnd())
            SendMessageA(pages[nCurrentPage]->GetHwnd(), WM_COMMAND, wParam, lParam);
        return;
    }
}

LRESULT ClTarnwickOptionsDlg::OnNotify(NMHDR& header)
{
    if (header.hwndFrom != hTree) return 0;
    switch (header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        const Page page = SelectedPage();
        if (page < kPageCount) ShowPage(page);
        return 0;
    }
    case TVN_GETINFOTIPA: {
        auto& tip = reinterpret_cast<NMTVGETINFOTIPA&>(header);
        std::string text;
        TreeTip(tip.hItem, text);
        if (tip.pszText && tip.cchTextMax > 0) lstrcpynA(tip.pszText, text.c_str(), tip.cchTextMax);
        return 0;
    }
    case TVN_GETINFOTIPW: {
        auto& tip = reinterpret_cast<NMTVGETINFOTIPW&>(header);
        std::string text;
        TreeTip(tip.hItem, text);
        if (tip.pszText && tip.cchTextMax > 0)
            MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, tip.pszText, tip.cchTextMax);
        return 0;
    }
    default:
        return 0;
    }
}

void ClTarnwickOptionsDlg::OnOk()
{
    // Enter in the application, plug-in or colour list acts on the entry.
    HWND focus = GetFocus();
    const int id = focus ? GetDlgCtrlID(focus) : 0;
    if (focus && EnterActsOnList(id) && nCurrentPage < kPageCount && pages[nCurrentPage]
        && GetParent(focus) == pages[nCurrentPage]->GetHwnd()) {
        SendMessageA(pages[nCurrentPage]->GetHwnd(), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(focus));
        return;
    }
    EndDialog(hWnd, 1);
}

void ClTarnwickOptionsDlg::OnHelp()
{
    HelpFile::Open(hWnd, wLanguageId);
}

void ClTarnwickOptionsDlg::OnDestroy()
{
    for (auto& page : pages)
        if (page) page->Destroy();
    for (ButtonEx& button : buttons)
        if (button.GetHwnd()) button.SetIcon(nullptr);
}
