#include "tools/ClTarnwickConsolePipeDlg.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "controls/ButtonEx.h"

namespace {

const char kTemplate[] = "CLTARNWICKCONSOLEPIPEDLG";
const int kButtons[3] = {IDOK, IDCANCEL, IDC_CONSOLE_HELP};
const UINT kButtonIcons[3] = {IDI_OK, IDI_CANCEL, IDI_HELP};
const UINT kHelpCommand = 40030;
const UINT kDroppedLine = 231;

RECT ChildRect(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool NtFamily()
{
    return (GetVersion() & 0x80000000u) == 0;
}

} // namespace

ClTarnwickConsolePipeDlg::ClTarnwickConsolePipeDlg()
    : hWnd(nullptr), hOwner(nullptr), bTooltips(true), bRunning(false), bChildStarted(false), hFont(nullptr), ahIcons{}, szMinimum{},
      rcEditMargins{}, aptButtons{}, bPendingDropped(false), bPosted(false), shownText(MaxText(), Slack()),
      outputFilter(ConsoleTextFilter::ForOemConsole()), errorFilter(ConsoleTextFilter::ForOemConsole())
{
    InitializeCriticalSection(&csPending);
}

size_t ClTarnwickConsolePipeDlg::MaxText()
{
    return NtFamily() ? kMaxText : kMaxText9x;
}

ClTarnwickConsolePipeDlg::~ClTarnwickConsolePipeDlg()
{
    Stop();
    DeleteCriticalSection(&csPending);
}

INT_PTR ClTarnwickConsolePipeDlg::Show(HWND owner, const std::string& commandLine, const std::string& folder,
                                       bool showTooltips)
{
    hOwner = owner;
    strCommandLine = commandLine;
    strFolder = folder;
    bTooltips = showTooltips;
    ButtonEx::Register();
    const INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    Stop();
    return result < 0 ? 0 : result;
}

INT_PTR CALLBACK ClTarnwickConsolePipeDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ClTarnwickConsolePipeDlg* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ClTarnwickConsolePipeDlg*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, static_cast<LONG_PTR>(lParam));
        self->hWnd = window;
    } else {
        self = reinterpret_cast<ClTarnwickConsolePipeDlg*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    return self ? self->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR ClTarnwickConsolePipeDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return TRUE;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_OUTPUT_READY: OnOutputReady(); return TRUE;
    case WM_RUN_FINISHED: OnRunFinished(); return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
    }
}

void ClTarnwickConsolePipeDlg::OnInitDialog()
{
    const int iconSide = 16;
    SendMessageA(hWnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TARNWICK),
                                                     IMAGE_ICON, iconSide, iconSide, LR_SHARED)));
    for (int i = 0; i < 3; ++i) {
        ahIcons[i] = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kButtonIcons[i]),
                                                   IMAGE_ICON, iconSide, iconSide, 0));
        if (ButtonEx* button = ButtonEx::FromWindow(GetDlgItem(hWnd, kButtons[i]))) button->SetIcon(ahIcons[i]);
    }

    LOGFONTA font = {};
    GetObjectA(GetStockObject(SYSTEM_FIXED_FONT), sizeof(font), &font);
    lstrcpynA(font.lfFaceName, "Courier New", LF_FACESIZE);
    hFont = CreateFontIndirectA(&font);
    HWND edit = GetDlgItem(hWnd, IDC_CONSOLE_OUTPUT);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    SendMessageA(edit, EM_SETLIMITTEXT, NtFamily() ? 0xFFFFFFFFu : 0, 0);
    shownText.SetDroppedLine(StringTable::Load(kDroppedLine));

    // Layout: the edit grows with the window, the buttons keep their distance
    // to the bottom-right corner.
    RECT client, window;
    GetClientRect(hWnd, &client);
    GetWindowRect(hWnd, &window);
    szMinimum.cx = window.right - window.left;
    szMinimum.cy = (window.bottom - window.top) / 2;
    const RECT editRect = ChildRect(hWnd, IDC_CONSOLE_OUTPUT);
    rcEditMargins = {editRect.left, editRect.top, client.right - editRect.right, client.bottom - editRect.bottom};
    for (int i = 0; i < 3; ++i) {
        const RECT button = ChildRect(hWnd, kButtons[i]);
        aptButtons[i] = {client.right - button.left, client.bottom - button.top};
    }

    if (tooltips.Create(hWnd)) {
        tooltips.AddTool(GetDlgItem(hWnd, IDC_CONSOLE_HELP), StringTable::Load(68));
        tooltips.AddTool(GetDlgItem(hWnd, IDCANCEL), StringTable::Load(70));
        tooltips.Activate(bTooltips);
    }

    if (!Start(strCommandLine, false, strFolder)) OnOutputReady();
}

void ClTarnwickConsolePipeDlg::SetRunning(bool running)
{
    bRunning = running;
    EnableWindow(GetDlgItem(hWnd, IDOK), !running);
    EnableWindow(GetDlgItem(hWnd, IDC_CONSOLE_HELP), !running);
    // Cancel stays: it ends a program that does not end by itself.
    EnableWindow(GetDlgItem(hWnd, IDCANCEL), TRUE);
}

void ClTarnwickConsolePipeDlg::Started(const std::string& commandLine)
{
    // Start() runs on the window's thread.
    bChildStarted = true;
    SetWindowTextA(hWnd, commandLine.c_str());
    SetRunning(true);
}

void ClTarnwickConsolePipeDlg::Queue(const std::string& text)
{
    if (text.empty()) return;
    EnterCriticalSection(&csPending);
    try {
        strPending += text;
        // A writer faster than the window: what the window could not keep anyway goes now.
        if (strPending.size() > shownText.Limit() + Slack()) {
            strPending.erase(0, strPending.size() - shownText.Limit());
            bPendingDropped = true;
        }
    } catch (...) {
        // No memory for it: the text is lost, and the window says so.
        bPendingDropped = true;
    }
    const bool post = !bPosted;
    bPosted = true;
    LeaveCriticalSection(&csPending);
    if (post) PostMessageA(hWnd, WM_OUTPUT_READY, 0, 0);
}

void ClTarnwickConsolePipeDlg::Output(const char* text, size_t length)
{
    // Before Started() only our own start-failure message arrives, already ANSI.
    try {
        Queue(bChildStarted ? outputFilter.Filter(text, length) : std::string(text, length));
    } catch (...) {
        NoteLost();
    }
}

void ClTarnwickConsolePipeDlg::ErrorOutput(const char* text, size_t length)
{
    try {
        Queue(errorFilter.Filter(text, length));
    } catch (...) {
        NoteLost();
    }
}

void ClTarnwickConsolePipeDlg::Finished()
{
    // Both readers are done: what they held back can go now.
    try {
        Queue(outputFilter.Flush());
        Queue(errorFilter.Flush());
    } catch (...) {
        NoteLost();
    }
    PostMessageA(hWnd, WM_RUN_FINISHED, 0, 0);
}

void ClTarnwickConsolePipeDlg::NoteLost()
{
    EnterCriticalSection(&csPending);
    bPendingDropped = true;
    const bool post = !bPosted;
    bPosted = true;
    LeaveCriticalSection(&csPending);
    if (post) PostMessageA(hWnd, WM_OUTPUT_READY, 0, 0);
}

void ClTarnwickConsolePipeDlg::OnOutputReady()
{
    std::string text;
    EnterCriticalSection(&csPending);
    text.swap(strPending);
    const bool dropped = bPendingDropped;
    bPendingDropped = false;
    bPosted = false;
    LeaveCriticalSection(&csPending);
    if (text.empty() && !dropped) return;
    HWND edit = GetDlgItem(hWnd, IDC_CONSOLE_OUTPUT);
    try {
        const ConsoleTextLimit::Change change = shownText.Add(text, dropped);
        text.clear();
        text.shrink_to_fit();
        if (change.bReplace) {
            SetWindowTextA(edit, change.strText.c_str());
        } else {
            const int end = GetWindowTextLengthA(edit);
            SendMessageA(edit, EM_SETSEL, end, end);
            SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(change.strText.c_str()));
            return;
        }
    } catch (...) {
        // Out of memory here too: what is shown stays.
        return;
    }
    const int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, end, end);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

void ClTarnwickConsolePipeDlg::OnRunFinished()
{
    OnOutputReady();
    Stop();
    SetRunning(false);
}

void ClTarnwickConsolePipeDlg::OnCommand(WORD id)
{
    switch (id) {
    case IDOK:
        if (!bRunning) EndDialog(hWnd, 1);
        break;
    case IDCANCEL:
        // While the program runs, Cancel ends it and the window stays.
        if (bRunning)
            Stop();
        else
            EndDialog(hWnd, 0);
        break;
    case IDC_CONSOLE_HELP:
        if (hOwner) SendMessageA(hOwner, WM_COMMAND, kHelpCommand, 0);
        break;
    default: break;
    }
}

void ClTarnwickConsolePipeDlg::OnSize(int width, int height)
{
    HWND edit = GetDlgItem(hWnd, IDC_CONSOLE_OUTPUT);
    if (!edit) return;
    MoveWindow(edit, rcEditMargins.left, rcEditMargins.top, width - rcEditMargins.left - rcEditMargins.right,
               height - rcEditMargins.top - rcEditMargins.bottom, TRUE);
    for (int i = 0; i < 3; ++i)
        SetWindowPos(GetDlgItem(hWnd, kButtons[i]), nullptr, width - aptButtons[i].x, height - aptButtons[i].y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hWnd, nullptr, TRUE);
}

void ClTarnwickConsolePipeDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (szMinimum.cx) {
        info->ptMinTrackSize.x = szMinimum.cx;
        info->ptMinTrackSize.y = szMinimum.cy;
    }
}

void ClTarnwickConsolePipeDlg::OnDestroy()
{
    // The window goes: nothing may post to it any more.
    Stop();
    for (HICON& icon : ahIcons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
    if (hFont) DeleteObject(hFont);
    hFont = nullptr;
}
