#pragma once
// The real main window in the test process, and what tests read of it.

#include "app/mainframe/TarnwickMainFrame.h"
#include "app/startup/TarnwickApp.h"

#include <doctest/doctest.h>
#include "views/ProcessView.h"

#include <windows.h>
#include <commctrl.h>
#include <memory>
#include <string>
#include <vector>

namespace frametest {

// Runs this thread's messages for about `milliseconds` (WM_QUIT is dropped).
void Pump(DWORD milliseconds);
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
std::string TreeText(HWND tree, HTREEITEM item);
HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT how);
int CountBelow(HWND tree, HTREEITEM parent);
// Status part 0 of the main window.
std::string StatusText(HWND frame);
LPARAM ListParam(HWND list, int index);
std::string CellText(HWND list, int row, int column);
// Tab-separated lines of the console tool, without the header.
std::vector<std::vector<std::string>> ConsoleRows(const std::string& arguments);
RECT ClientRectOf(HWND child);
std::vector<char> ReadFile(const std::string& path);

// The real main window in this process, with a settings file of its own.
class Frame {
public:
    explicit Frame(const std::string& settingsFile, const char* commandLine = "--nosplash --priority-normal")
    {
        app.reset(new TarnwickApp(GetModuleHandleA(nullptr), commandLine));
        frame = app->MainFrame();
        REQUIRE(frame);
        frame->UseSettingsFile(settingsFile);
        REQUIRE(frame->Register());
        REQUIRE(frame->Create(nullptr, "Tarnwick 2.6"));
        hwnd = frame->GetHwnd();
        Pump(50);
    }
    ~Frame()
    {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        frame->Unregister();
        // The window's end posted WM_QUIT to this thread.
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    HWND Child(UINT id) const { return GetDlgItem(hwnd, static_cast<int>(id)); }
    HWND Tree() const { return Child(302); }
    HWND List() const { return Child(304); }
    HTREEITEM Processes() const { return TreeNext(Tree(), TreeNext(Tree(), nullptr, TVGN_ROOT), TVGN_CHILD); }
    void Command(UINT id, LPARAM lParam = 0) { SendMessageA(hwnd, WM_COMMAND, id, lParam); }
    int ListCount() const { return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    // The process list row of `pid`, or -1.
    int ProcessRow(DWORD pid) const
    {
        for (int i = 0; i < ListCount(); ++i)
            if (ProcessView::FromParam(ListParam(List(), i))->dwPid == pid) return i;
        return -1;
    }

    std::unique_ptr<TarnwickApp> app;
    TarnwickMainFrame* frame = nullptr;
    HWND hwnd = nullptr;
};

} // namespace frametest
