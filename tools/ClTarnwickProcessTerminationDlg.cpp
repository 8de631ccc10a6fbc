#include "tools/ClTarnwickProcessTerminationDlg.h"

#include "tools/ClTarnwickShowErrorsDlg.h"
#include "app/language/ResourceModule.h"
#include "app/startup/MessagePump.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "controls/ButtonEx.h"
#include "controls/ListRowLook.h"
#include "views/ValueFormatter.h"

#include <commctrl.h>

namespace {
const char kTemplate[] = "CLTARNWICKPROCESSTERMINATIONDLG";
const int kIconIds[3] = {IDI_OK, IDI_CANCEL, IDI_HELP};
const int kButtonIds[3] = {IDOK, IDCANCEL, IDC_BUTTON_HELP};

HICON LoadSmallIcon(int id)
{
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}
} // namespace

ClTarnwickProcessTerminationDlg::ClTarnwickProcessTerminationDlg(ProcessTerminator* terminator)
    : hWnd(nullptr), hOwner(nullptr), hList(nullptr), terminator(terminator ? terminator : &ownTerminator),
      formatter(nullptr), bTooltips(false), bRunning(false), bDone(false), hIcons{nullptr, nullptr, nullptr}
{
}

ClTarnwickProcessTerminationDlg::~ClTarnwickProcessTerminationDlg()
{
    for (HICON& icon : hIcons)
        if (icon) DestroyIcon(icon);
}

int ClTarnwickProcessTerminationDlg::Show(HWND owner, const std::vector<ProcessRecord>& processes, bool tooltips,
                                          const ValueFormatter& valueFormatter)
{
    hOwner = owner;
    formatter = &valueFormatter;
    bTooltips = tooltips;
    bRunning = bDone = false;
    errors.clear();
    entries.clear();
    for (const ProcessRecord& record : processes) {
        TerminationEntry entry;
        entry.strName = record.strName;
        entry.dwProcessId = record.dwProcessId;
        entry.qwCreationTime = record.ftCreationTime.Value();
        entries.push_back(entry);
    }
    ButtonEx::Register();
    INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner, DialogProcedure<ClTarnwickProcessTerminationDlg>,
                                     reinterpret_cast<LPARAM>(this));
    return result == 1 ? 1 : 0;
}

INT_PTR ClTarnwickProcessTerminationDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    case WM_VKEYTOITEM:
        return OnVKeyToItem(wParam);
    case WM_MEASUREITEM:
        OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_SIZE:
        resizer.Layout();
        return TRUE;
    case WM_GETMINMAXINFO:
        resizer.LimitSize(reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL ClTarnwickProcessTerminationDlg::OnInitDialog()
{
    hList = GetDlgItem(hWnd, IDC_PROCESS_LIST);
    const std::string kill = "&" + StringTable::Load(3);
    SetDlgItemTextA(hWnd, IDOK, kill.c_str());
    SetDlgItemTextA(hWnd, IDC_KILL_WARNING, StringTable::Load(157).c_str());

    for (int i = 0; i < 3; ++i) {
        if (!hIcons[i]) hIcons[i] = LoadSmallIcon(kIconIds[i]);
        if (ButtonEx* button = ButtonEx::FromWindow(GetDlgItem(hWnd, kButtonIds[i]))) button->SetIcon(hIcons[i]);
    }
    for (const TerminationEntry& entry : entries)
        SendMessageA(hList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(formatter->ProcessCaption(entry.strName, entry.dwProcessId).c_str()));

    if (tooltip.Create(hWnd)) {
        for (int id : {IDOK, IDCANCEL, IDC_BUTTON_HELP, IDC_SHOW_ERRORS, IDC_PROCESS_LIST})
            tooltip.AddTool(GetDlgItem(hWnd, id));
        tooltip.Activate(bTooltips);
    }

    resizer.Attach(hWnd);
    resizer.Add(IDC_PROCESS_LIST, DialogResizer::SizeX | DialogResizer::SizeY);
    resizer.Add(IDC_SHOW_ERRORS, DialogResizer::MoveY);
    resizer.Add(IDC_KILL_WARNING, DialogResizer::SizeX | DialogResizer::MoveY);
    for (int id : kButtonIds) resizer.Add(id, DialogResizer::MoveX | DialogResizer::MoveY);

    UpdateButtons();
    // With no rows UpdateButtons has put the focus on Cancel.
    return entries.empty() ? FALSE : TRUE;
}

void ClTarnwickProcessTerminationDlg::OnCommand(int id)
{
    switch (id) {
    case IDOK:
        OnOk();
        break;
    case IDCANCEL:
        OnCancel();
        break;
    case IDC_SHOW_ERRORS:
        OnShowErrors();
        break;
    case IDC_BUTTON_HELP:
        if (hOwner) SendMessageA(hOwner, WM_COMMAND, ID_HELP_HELP, 0);
        break;
    }
}

void ClTarnwickProcessTerminationDlg::OnOk()
{
    // While the run pumps messages a second OK (or Cancel, Esc, close, Delete)
    // must not start another run or end the dialog under it.
    if (bRunning) return;
    if (bDone) {
        EndDialog(hWnd, 1);
        return;
    }
    if (entries.empty()) return;
    RunTermination();
}

void ClTarnwickProcessTerminationDlg::OnCancel()
{
    if (bRunning) return;
    EndDialog(hWnd, bDone ? 1 : 0);
}

void ClTarnwickProcessTerminationDlg::RunTermination()
{
    bRunning = true;
    TerminationRun run(*terminator, GetCurrentProcessId(), StringTable::Load(56));
    run.Run(entries, AfterEachRow, this);
    errors = run.Errors();
    bRunning = false;
    bDone = true;
    SetDlgItemTextA(hWnd, IDOK, "&Ok");
    ShowWindow(GetDlgItem(hWnd, IDC_SHOW_ERRORS), errors.empty() ? SW_HIDE : SW_SHOW);
    InvalidateRect(hList, nullptr, TRUE);
}

void ClTarnwickProcessTerminationDlg::AfterEachRow(size_t, void* context)
{
    ClTarnwickProcessTerminationDlg* self = static_cast<ClTarnwickProcessTerminationDlg*>(context);
    InvalidateRect(self->hList, nullptr, TRUE);
    UpdateWindow(self->hList);
    MessagePump::Pump(self->hWnd);
}

void ClTarnwickProcessTerminationDlg::OnShowErrors()
{
    if (errors.empty()) return;
    std::string text;
    for (const std::string& error : errors) text += error;
    ClTarnwickShowErrorsDlg().Show(hWnd, text);
}

INT_PTR ClTarnwickProcessTerminationDlg::OnVKeyToItem(WPARAM wParam)
{
    if (LOWORD(wParam) != VK_DELETE) return -1;
    if (!bRunning && !bDone) RemoveCaretRow();
    return -2;
}

void ClTarnwickProcessTerminationDlg::RemoveCaretRow()
{
    const LRESULT caret = SendMessageA(hList, LB_GETCARETINDEX, 0, 0);
    if (caret < 0 || static_cast<size_t>(caret) >= entries.size()) return;
    SendMessageA(hList, LB_DELETESTRING, caret, 0);
    entries.erase(entries.begin() + caret);
    const LRESULT count = SendMessageA(hList, LB_GETCOUNT, 0, 0);
    if (count > 0) SendMessageA(hList, LB_SETCURSEL, caret < count ? caret : count - 1, 0);
    UpdateButtons();
}

void ClTarnwickProcessTerminationDlg::UpdateButtons()
{
    if (!entries.empty() || bDone) return;
    // Nothing left to kill: only Cancel remains.
    HWND ok = GetDlgItem(hWnd, IDOK);
    EnableWindow(ok, FALSE);
    SendMessageA(hWnd, DM_SETDEFID, IDCANCEL, 0);
    SendMessageA(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageA(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hWnd, IDCANCEL)), TRUE);
}

void ClTarnwickProcessTerminationDlg::OnMeasureItem(MEASUREITEMSTRUCT* measure)
{
    if (measure->CtlID == IDC_PROCESS_LIST) measure->itemHeight = GetSystemMetrics(SM_CYSMICON) + 4;
}

void ClTarnwickProcessTerminationDlg::OnDrawItem(const DRAWITEMSTRUCT* draw)
{
    if (draw->CtlID != IDC_PROCESS_LIST) return;
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    const ListRowLook look(theme.IsAppThemed() != FALSE);
    const COLORREF text = look.Background(*draw);
    if (draw->itemID == static_cast<UINT>(-1) || draw->itemID >= entries.size()) {
        look.Focus(*draw);
        return;
    }

    const TerminationEntry& entry = entries[draw->itemID];
    const int iconSize = GetSystemMetrics(SM_CXSMICON);
    const int iconTop = rect.top + (rect.bottom - rect.top - GetSystemMetrics(SM_CYSMICON)) / 2;
    HICON icon = entry.nState == TerminationEntry::Terminated ? hIcons[0]
               : entry.nState == TerminationEntry::Failed     ? hIcons[1]
                                                              : nullptr;
    if (icon)
        DrawIconEx(dc, rect.left + 2, iconTop, icon, iconSize, GetSystemMetrics(SM_CYSMICON), 0, nullptr, DI_NORMAL);

    RECT textRect = rect;
    textRect.left += iconSize + 6;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    const std::string caption = formatter->ProcessCaption(entry.strName, entry.dwProcessId);
    DrawTextA(dc, caption.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);

    if (draw->itemAction != ODA_SELECT) look.Focus(*draw);
}

INT_PTR ClTarnwickProcessTerminationDlg::OnCtlColorStatic(HDC dc, HWND control)
{
    if (GetDlgCtrlID(control) != IDC_KILL_WARNING) return FALSE;
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

bool ClTarnwickProcessTerminationDlg::OnNotify(NMHDR* header)
{
    if (header->code != TTN_GETDISPINFOA) return false;
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
    UINT text = 0;
    switch (id) {
    case IDOK:
        text = bDone ? 70 : 69;
        break;
    case IDCANCEL:
        text = 70;
        break;
    case IDC_BUTTON_HELP:
        text = 68;
        break;
    case IDC_SHOW_ERRORS:
        text = 72;
        break;
    case IDC_PROCESS_LIST:
        text = bDone || bRunning ? 0 : 71;
        break;
    }
    strTip = text ? StringTable::Load(text) : std::string();
    info->lpszText = const_cast<char*>(strTip.c_str());
    info->hinst = nullptr;
    return true;
}

void ClTarnwickProcessTerminationDlg::OnDestroy()
{
    hList = nullptr;
}
