#pragma once

#include <windows.h>
#include <shellapi.h>

// The main window's icon in the taskbar's status area: a NOTIFYICONDATA in
// its first, 88-byte form. It stands in for the window while the window is
// hidden ("Hide When Minimized").
class TrayIcon {
public:
    typedef BOOL(WINAPI* PFN_ShellNotifyIcon)(DWORD, PNOTIFYICONDATAA);

    // The first version of the record, which every shell takes: 88 bytes in
    // the 32-bit program (handles and pointers grow in the 64-bit test build).
    static const DWORD kRecordSize = NOTIFYICONDATAA_V1_SIZE;
    static const UINT kIconId = 101;
    static const char kCallbackMessageName[];
    static const char kTaskbarCreatedName[];

    // pfnNotify replaces Shell_NotifyIconA (tests).
    explicit TrayIcon(PFN_ShellNotifyIcon pfnNotify = nullptr);
    // Removes the icon when it was added.
    ~TrayIcon();

    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void SetNotifyFunction(PFN_ShellNotifyIcon notify) { pfnNotify = notify ? notify : Shell_NotifyIconA; }

    // Fills the record; the tip is cut to 63 characters, no tip leaves NIF_TIP off.
    void Prepare(HWND hwnd, UINT callbackMessage, UINT id, HICON hIcon, const char* tip);
    // NIM_ADD unless added; NIM_DELETE only when added. bAdded follows the
    // calls made; the result of the last NIM_ADD is kept apart.
    void Add();
    void Remove();
    // "Hide When Minimized" switched: on adds the icon, off removes it.
    void SetShown(bool on);
    // Fills the record for the owner window with the program's icon and the tip,
    // and adds the icon when `shown`.
    void Attach(HWND owner, HINSTANCE instance, UINT iconResource, const char* tip, bool shown);

    bool IsAdded() const { return bAdded; }
    // The icon is in the status area as far as the shell said.
    bool IsInStatusArea() const { return bAdded && bLastAddSucceeded; }
    const NOTIFYICONDATAA& GetRecord() const { return record; }

    // Window-side handlers.
    // SC_MINIMIZE: hides the window and returns true only while the icon is
    // in the status area (a hidden window without an icon cannot be reached).
    bool OnMinimize();
    // Callback message: a button-up toggles the window; other events are ignored.
    void OnNotify(LPARAM mouseMessage);
    // "TaskbarCreated": the shell restarted, the icon is added anew.
    void OnTaskbarCreated();

    static UINT CallbackMessage();
    static UINT TaskbarCreatedMessage();

private:
    PFN_ShellNotifyIcon pfnNotify;
    NOTIFYICONDATAA record;
    bool bPrepared;
    bool bAdded;
    bool bLastAddSucceeded;
};
