// Opens one of the information windows on its own, for a look or a screenshot:
//   tw-infowin-host module PATH [NODE]   the module window, tree node NODE selected
//   tw-infowin-host process PID|self     the process window
//   tw-infowin-host about                the about box
#include "app/commands/ClAboutDlg.h"
#include "app/res/resource.h"
#include "image/ClModuleInformationDlg.h"
#include "sysinfo/ProcessSnapshot.h"
#include "tools/ClProcessInformationDlg.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Selection {
    DWORD dwThread;
    int nNode;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (std::strcmp(name, "#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Selects the n-th visible node of the module window's tree once it is open.
DWORD WINAPI SelectNode(LPVOID parameter)
{
    const Selection* selection = static_cast<const Selection*>(parameter);
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND dialog = nullptr;
        EnumThreadWindows(selection->dwThread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        HWND tree = dialog ? GetDlgItem(dialog, IDC_MODINFO_TREE) : nullptr;
        HTREEITEM item = tree ? TreeView_GetRoot(tree) : nullptr;
        if (item) {
            for (int i = 0; i < selection->nNode && item; ++i) item = TreeView_GetNextVisible(tree, item);
            if (item) TreeView_SelectItem(tree, item);
            return 0;
        }
        Sleep(100);
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const std::string what = argc > 1 ? argv[1] : "";
    ProcessSnapshot snapshot;
    if (what == "module" && argc > 2) {
        static Selection selection = {GetCurrentThreadId(), argc > 3 ? std::atoi(argv[3]) : 0};
        if (selection.nNode > 0) CloseHandle(CreateThread(nullptr, 0, SelectNode, &selection, 0, nullptr));
        ClModuleInformationDlg dialog(snapshot.Os().Is9xFamily());
        return static_cast<int>(dialog.show(nullptr, argv[2], IDI_MODULE));
    }
    if (what == "process" && argc > 2) {
        const uint32_t pid = std::strcmp(argv[2], "self") == 0 ? GetCurrentProcessId()
                                                               : static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 0));
        snapshot.EnumProcesses(nullptr, 0);
        for (const ProcessRecord& record : snapshot.Processes())
            if (record.dwProcessId == pid) {
                ClProcessInformationDlg dialog;
                HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROCESS));
                return static_cast<int>(dialog.show(nullptr, record, icon));
            }
        return 3;
    }
    if (what == "about") return static_cast<int>(ClAboutDlg().show(nullptr));
    return 2;
}
