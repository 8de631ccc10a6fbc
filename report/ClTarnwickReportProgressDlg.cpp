#include "report/ClTarnwickReportProgressDlg.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "gdiutils/Orvo_GdiUtilities.h"

#include <commctrl.h>

namespace {
const char kTemplate[] = "CLTARNWICKREPORTPROGRESSDLG";

// The text as it fits the width of its line: cut, with "..." at the end, when longer.
std::string FitToLine(HWND line, const std::string& text)
{
    RECT client = {};
    GetClientRect(line, &client);
    const int width = client.right - client.left;
    HDC dc = GetDC(line);
    if (!dc) return text;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(line, WM_GETFONT, 0, 0));
    auto fits = [&](const std::string& candidate) {
        SIZE size = {};
        return !GetTextExtent(dc, font, candidate.c_str(), &size) || size.cx <= width;
    };
    std::string shown = text;
    for (size_t keep = text.size(); width > 0 && keep > 0 && !fits(shown);)
        shown = text.substr(0, --keep) + "...";
    ReleaseDC(line, dc);
    return shown;
}
} // namespace

ClTarnwickReportProgressDlg::~ClTarnwickReportProgressDlg()
{
    Destroy();
}

bool ClTarnwickReportProgressDlg::Create(HWND owner)
{
    if (hWnd) return true;
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    bAbort = 0;
    hWnd = CreateDialogParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hWnd) return false;
    ShowWindow(hWnd, SW_SHOW);
    UpdateWindow(hWnd);
    return true;
}

void ClTarnwickReportProgressDlg::Destroy()
{
    if (!hWnd) return;
    HWND window = hWnd;
    hWnd = nullptr;
    SetWindowLongPtrA(window, DWLP_USER, 0);
    DestroyWindow(window);
}

INT_PTR CALLBACK ClTarnwickReportProgressDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return TRUE;
    }
    ClTarnwickReportProgressDlg* self =
        reinterpret_cast<ClTarnwickReportProgressDlg*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) self->OnCancel();
        return TRUE;
    case WM_CLOSE:
        self->OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

void ClTarnwickReportProgressDlg::OnCancel()
{
    // One question at a time; once confirmed there is nothing more to ask.
    if (bAsking || bAbort) return;
    bAsking = true;
    const int answer = MessageBoxA(hWnd, StringTable::Load(61).c_str(), StringTable::Load(1).c_str(),
                                   MB_YESNO | MB_ICONHAND);
    bAsking = false;
    if (answer == IDYES) bAbort = 1;
}

HWND ClTarnwickReportProgressDlg::Bar(int bar) const
{
    return hWnd ? GetDlgItem(hWnd, bar == 0 ? IDC_REPORT_PROCESS_BAR : IDC_REPORT_MODULE_BAR) : nullptr;
}

void ClTarnwickReportProgressDlg::SetRange(int bar, uint32_t minimum, uint32_t maximum)
{
    if (HWND control = Bar(bar)) SendMessageA(control, PBM_SETRANGE32, minimum, maximum);
}

void ClTarnwickReportProgressDlg::SetStep(int bar, uint32_t step)
{
    if (HWND control = Bar(bar)) SendMessageA(control, PBM_SETSTEP, step, 0);
}

void ClTarnwickReportProgressDlg::SetPosition(int bar, uint32_t position)
{
    if (HWND control = Bar(bar)) SendMessageA(control, PBM_SETPOS, position, 0);
}

void ClTarnwickReportProgressDlg::Step(int bar)
{
    if (HWND control = Bar(bar)) SendMessageA(control, PBM_STEPIT, 0, 0);
}

void ClTarnwickReportProgressDlg::SetProcessText(const std::string& text)
{
    if (!hWnd) return;
    HWND line = GetDlgItem(hWnd, IDC_REPORT_PROCESS_TEXT);
    SetWindowTextA(line, FitToLine(line, text).c_str());
}

void ClTarnwickReportProgressDlg::SetModuleText(const std::string& text)
{
    if (!hWnd) return;
    HWND line = GetDlgItem(hWnd, IDC_REPORT_MODULE_TEXT);
    SetWindowTextA(line, FitToLine(line, text).c_str());
}
