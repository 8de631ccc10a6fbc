#include "tools/ClTarnwickFindDllDlg.h"

#include "app/language/ResourceModule.h"
#include "app/startup/MessagePump.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "controls/ButtonEx.h"
#include "sysinfo/DllGetVersionWrapper.h"
#include "sysinfo/ProcessSnapshot.h"

namespace {
const char kTemplate[] = "CLTARNWICKFINDDLLDLG";
const int kIconIds[3] = {IDI_OK, IDI_CANCEL, IDI_HELP};
const int kButtonIds[3] = {IDOK, IDCANCEL, IDC_BUTTON_HELP};
const int kPatternLength = 259;

HICON LoadIcon16(int id)
{
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

void AddColumn(HWND list, int index, UINT textId, int width)
{
    const std::string text = StringTable::Load(textId);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(text.c_str());
    column.cx = width;
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}
} // namespace

ClTarnwickFindDllDlg::~ClTarnwickFindDllDlg()
{
    for (HICON& icon : hIcons)
        if (icon) DestroyIcon(icon);
    if (hImages) ImageList_Destroy(hImages);
}

UINT ClTarnwickFindDllDlg::ImageColorFlag(DWORD comctlVersion, int screenBits)
{
    if (HIWORD(comctlVersion) >= 6 || screenBits >= 32) return ILC_COLOR32;
    if (screenBits >= 24) return ILC_COLOR24;
    if (screenBits >= 16) return ILC_COLOR16;
    if (screenBits >= 8) return ILC_COLOR8;
    return ILC_COLOR4;
}

int ClTarnwickFindDllDlg::Show(HWND owner, bool tooltips)
{
    hOwner = owner;
    bTooltips = tooltips;
    bBusy = 0;
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    ButtonEx::Register();
    const INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner, DialogProcedure<ClTarnwickFindDllDlg>,
                                           reinterpret_cast<LPARAM>(this));
    return result == 1 ? 1 : 0;
}

INT_PTR ClTarnwickFindDllDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        OnCommand(IDCANCEL);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_SIZE:
        resizer.Layout();
        return TRUE;
    case WM_GETMINMAXINFO:
        resizer.LimitSize(reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL ClTarnwickFindDllDlg::OnInitDialog()
{
    hList = GetDlgItem(hWnd, IDC_FINDDLL_RESULTS);
    SendDlgItemMessageA(hWnd, IDC_FINDDLL_PATTERN, EM_LIMITTEXT, kPatternLength, 0);

    SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddColumn(hList, 0, 11, 150);
    AddColumn(hList, 1, 12, 200);
    if (!hImages) {
        HDC screen = GetDC(nullptr);
        const int screenBits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
        ReleaseDC(nullptr, screen);
        DllGetVersionWrapper comctl("COMCTL32.DLL");
        hImages = ImageList_Create(16, 16, ILC_MASK | ImageColorFlag(comctl.DllGetVersion(), screenBits), 2, 0);
        for (int id : {IDI_PROCESS, IDI_MODULE}) {
            HICON icon = LoadIcon16(id);
            ImageList_AddIcon(hImages, icon);
            if (icon) DestroyIcon(icon);
        }
    }
    // The dialog keeps the image list: the list view must not destroy it.
    SendMessageA(hList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(hImages));

    for (int i = 0; i < 3; ++i) {
        if (!hIcons[i]) hIcons[i] = LoadIcon16(kIconIds[i]);
        if (ButtonEx* button = ButtonEx::FromWindow(GetDlgItem(hWnd, kButtonIds[i]))) button->SetIcon(hIcons[i]);
    }
    if (tooltip.Create(hWnd)) {
        tooltip.AddTool(GetDlgItem(hWnd, IDC_BUTTON_HELP));
        tooltip.AddTool(GetDlgItem(hWnd, IDCANCEL));
        tooltip.Activate(bTooltips);
    }

    resizer.Attach(hWnd);
    resizer.Add(IDC_FINDDLL_PATTERN, DialogResizer::SizeX);
    resizer.Add(IDC_FINDDLL_FIND, DialogResizer::MoveX);
    resizer.Add(IDC_FINDDLL_RESULTS, DialogResizer::SizeX | DialogResizer::SizeY);
    for (int id : kButtonIds) resizer.Add(id, DialogResizer::MoveX | DialogResizer::MoveY);
    return TRUE;
}

void ClTarnwickFindDllDlg::OnCommand(int id)
{
    switch (id) {
    case IDC_FINDDLL_FIND:
        Search();
        break;
    case IDOK:
    case IDCANCEL:
        // The search loop is still on the stack: the dialog stays.
        if (!bBusy) EndDialog(hWnd, id == IDOK ? 1 : 0);
        break;
    case IDC_BUTTON_HELP:
        if (hOwner) SendMessageA(hOwner, WM_COMMAND, ID_HELP_HELP, 0);
        break;
    }
}

void ClTarnwickFindDllDlg::Search()
{
    // A nested search (Find pressed while the pumped loop runs) would clear
    // the rows and the busy flag under the running one.
    if (bBusy) return;
    char pattern[kPatternLength + 1] = {};
    GetDlgItemTextA(hWnd, IDC_FINDDLL_PATTERN, pattern, sizeof(pattern));
    if (!pattern[0]) return;

    bBusy = 1;
    SendMessageA(hList, LVM_DELETEALLITEMS, 0, 0);
    nShownHits = 0;
    {
        ProcessSnapshot snapshot;
        std::vector<DllSearchHit> hits;
        DllSearch::Run(pattern, snapshot, hits, OnProgress, this);
    }
    bBusy = 0;
}

void ClTarnwickFindDllDlg::OnProgress(const std::vector<DllSearchHit>& hits, void* context)
{
    ClTarnwickFindDllDlg* self = static_cast<ClTarnwickFindDllDlg*>(context);
    for (; self->nShownHits < hits.size(); ++self->nShownHits) self->AppendHit(hits[self->nShownHits]);
    MessagePump::Pump(self->hWnd);
}

int ClTarnwickFindDllDlg::InsertRow(int index, const std::string& text, int image, int indent)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT;
    item.iItem = index;
    item.iImage = image;
    item.iIndent = indent;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(SendMessageA(hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ClTarnwickFindDllDlg::AppendHit(const DllSearchHit& hit)
{
    int row = static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    InsertRow(row++, hit.strProcessName + " [" + std::to_string(hit.dwProcessId) + "]", 0, 0);
    for (const DllSearchHit::Module& module : hit.modules) {
        const int at = InsertRow(row++, module.strName, 1, 1);
        LVITEMA path = {};
        path.iSubItem = 1;
        path.pszText = const_cast<char*>(module.strPath.c_str());
        SendMessageA(hList, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&path));
    }
}

bool ClTarnwickFindDllDlg::OnNotify(NMHDR* header)
{
    if (header->code != TTN_GETDISPINFOA) return false;
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
    strTip = id == IDC_BUTTON_HELP ? StringTable::Load(68) : id == IDCANCEL ? StringTable::Load(70) : std::string();
    info->lpszText = const_cast<char*>(strTip.c_str());
    info->hinst = nullptr;
    return true;
}
