#include "app/tray/TrayIcon.h"

#include <cstring>

const char TrayIcon::kCallbackMessageName[] = "Tarnwick_TaskBarNotificationMessage";
const char TrayIcon::kTaskbarCreatedName[] = "TaskbarCreated";

namespace {
// The tip flag of the first record form, as the program always sent it.
const UINT kTipExtraFlag = 0x10;
} // namespace

TrayIcon::TrayIcon(PFN_ShellNotifyIcon notify)
    : pfnNotify(notify ? notify : Shell_NotifyIconA), record(), bPrepared(false), bAdded(false),
      bLastAddSucceeded(false)
{
}

TrayIcon::~TrayIcon()
{
    Remove();
}

// Registered once: the main window asks for every message it does not handle itself.
UINT TrayIcon::CallbackMessage()
{
    static const UINT message = RegisterWindowMessageA(kCallbackMessageName);
    return message;
}

UINT TrayIcon::TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageA(kTaskbarCreatedName);
    return message;
}

void TrayIcon::Prepare(HWND hwnd, UINT callbackMessage, UINT id, HICON hIcon, const char* tip)
{
    std::memset(&record, 0, sizeof(record));
    record.cbSize = kRecordSize;
    record.hWnd = hwnd;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON;
    record.uCallbackMessage = callbackMessage;
    record.hIcon = hIcon;
    if (tip && *tip) {
        record.uFlags |= NIF_TIP | kTipExtraFlag;
        // The first record form holds 64 bytes of tip.
        std::strncpy(record.szTip, tip, 63);
        record.szTip[63] = '\0';
    }
    bPrepared = true;
}

void TrayIcon::Add()
{
    if (bAdded || !bPrepared) return;
    bLastAddSucceeded = pfnNotify(NIM_ADD, &record) != FALSE;
    bAdded = true;
}

void TrayIcon::Remove()
{
    if (!bAdded) return;
    pfnNotify(NIM_DELETE, &record);
    bAdded = false;
    bLastAddSucceeded = false;
}

bool TrayIcon::OnMinimize()
{
    if (!IsInStatusArea()) return false;
    ShowWindow(record.hWnd, SW_HIDE);
    return true;
}

void TrayIcon::OnNotify(LPARAM mouseMessage)
{
    const HWND window = record.hWnd;
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: break;
    default: return;
    }
    if (!window) return;
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    BringWindowToTop(window);
    SetForegroundWindow(window);
}

void TrayIcon::OnTaskbarCreated()
{
    if (!bAdded) return;
    Remove();
    Add();
}

void TrayIcon::SetShown(bool on)
{
    if (on) Add();
    else Remove();
}

void TrayIcon::Attach(HWND owner, HINSTANCE instance, UINT iconResource, const char* tip, bool shown)
{
    HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(iconResource), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    Prepare(owner, CallbackMessage(), kIconId, icon, tip);
    if (shown) Add();
}
