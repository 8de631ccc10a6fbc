// Opens one of the dialogs of the Report, Kill and Find Dll commands over an
// empty owner window, with sample data, for a look or a screenshot:
//   tw-dialogs-demo report|progress|kill|kill-run|errors|find
#include <windows.h>
#include <commctrl.h>

#include "app/startup/MessagePump.h"
#include "app/menus/StringTable.h"
#include "app/settings/UserSettingsFile.h"
#include "report/ClTarnwickReportDlg.h"
#include "report/GuiReportProgress.h"
#include "tools/ClTarnwickFindDllDlg.h"
#include "tools/ClTarnwickProcessTerminationDlg.h"
#include "tools/ClTarnwickShowErrorsDlg.h"
#include "views/ValueFormatter.h"

#include <cstring>

namespace {

// Every second process refuses to go.
class DemoTerminator : public ProcessTerminator {
public:
    bool Terminate(uint32_t pid, uint32_t, uint64_t) override
    {
        Sleep(300);
        if (pid % 8 == 0) return true;
        RecordError(5);
        return false;
    }
};

void CALLBACK PressKill(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (HWND dialog = FindWindowA(nullptr, "Process Termination")) PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

ProcessRecord Record(const char* name, uint32_t pid)
{
    ProcessRecord record;
    record.strName = name;
    record.dwProcessId = pid;
    return record;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = "TarnwickDialogsDemo";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowExA(0, windowClass.lpszClassName, StringTable::Load(1).c_str(), WS_OVERLAPPEDWINDOW,
                                 0, 0, 800, 600, nullptr, nullptr, instance, nullptr);
    ShowWindow(owner, SW_SHOW);
    UpdateWindow(owner);

    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    ValueFormatter formatter(settings, true);
    const std::string what = commandLine ? commandLine : "";
    std::vector<ProcessRecord> records = {Record("explorer.exe", 8), Record("notepad.exe", 212),
                                          Record("winword.exe", 320), Record("calc.exe", 1001)};

    if (what == "report") {
        std::vector<ProcessItem> items;
        for (const ProcessRecord& record : records) {
            ProcessItem item;
            item.strName = record.strName;
            item.dwPid = record.dwProcessId;
            items.push_back(item);
        }
        ClTarnwickReportDlg().Show(owner, items, nullptr, true, 2, formatter);
    } else if (what == "progress") {
        GuiReportProgress progress(owner);
        progress.Begin();
        progress.SetRange(0, 0, 4);
        progress.SetPosition(0, 2);
        progress.SetRange(1, 0, 40);
        progress.SetPosition(1, 25);
        progress.SetProcessText(formatter.ProcessCaption("notepad.exe", 212));
        progress.SetModuleText("comctl32.dll");
        while (!progress.IsAborted() && IsWindow(progress.DialogWindow())) {
            progress.Pump();
            Sleep(20);
        }
        progress.End();
    } else if (what == "kill" || what == "kill-run") {
        DemoTerminator terminator;
        if (what == "kill-run") SetTimer(nullptr, 0, 500, PressKill);
        ClTarnwickProcessTerminationDlg(&terminator).Show(owner, records, true, formatter);
    } else if (what == "errors") {
        std::string text;
        for (int i = 0; i < 3; ++i)
            text += "notepad.exe [PID: 212] could not be terminated!\r\nErrorCode: 5\r\nErrorDescription: Access "
                    "denied.\r\n\r\n";
        ClTarnwickShowErrorsDlg().Show(owner, text);
    } else if (what == "find") {
        ClTarnwickFindDllDlg().Show(owner, true);
    }
    DestroyWindow(owner);
    return 0;
}
