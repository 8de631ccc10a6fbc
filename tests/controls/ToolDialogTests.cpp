#include <doctest/doctest.h>

#include "app/menus/StringTable.h"
#include "app/settings/UserSettingsFile.h"
#include "app/res/resource.h"
#include "sysinfo/DllGetVersionWrapper.h"
#include "sysinfo/ProcessSnapshot.h"
#include "tools/ClTarnwickFindDllDlg.h"
#include "tools/ClTarnwickProcessTerminationDlg.h"
#include "views/ValueFormatter.h"

#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

struct TitleSearch {
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data)
{
    TitleSearch* search = reinterpret_cast<TitleSearch*>(data);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    if (IsWindowVisible(window) && lstrcmpA(text, search->title) == 0) search->found = window;
    return search->found == nullptr;
}

// A top-level window of this thread with the given title.
HWND ThreadWindow(const char* title)
{
    TitleSearch search = {title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Text(HWND window, int id)
{
    char text[4096] = {};
    GetDlgItemTextA(window, id, text, sizeof(text));
    return text;
}

// Steps run one per timer tick inside the modal loop of a dialog, each when
// the window with its title is there. A step may itself run a nested loop.
class ModalScript {
public:
    struct Step {
        const char* szTitle;
        std::function<void(HWND)> action;
    };
    explicit ModalScript(std::vector<Step> steps) : steps(std::move(steps))
    {
        current = this;
        SetTimer(nullptr, 0, 50, Tick);
    }
    ~ModalScript() { current = nullptr; }
    size_t Done() const { return next; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        ModalScript* self = current;
        if (!self || self->next >= self->steps.size()) return;
        if (HWND window = ThreadWindow(self->steps[self->next].szTitle)) {
            self->waited = 0;
            self->steps[self->next++].action(window);
        } else if (++self->waited > 100) {
            // The window never came: end the modal loops instead of hanging.
            const std::string what = std::string("gave up waiting for ") + self->steps[self->next].szTitle;
            MESSAGE(what);
            PostQuitMessage(0);
            return;
        }
        if (current == self && self->next < self->steps.size()) SetTimer(nullptr, 0, 50, Tick);
    }
    static ModalScript* current;
    std::vector<Step> steps;
    size_t next = 0;
    int waited = 0;
};
ModalScript* ModalScript::current = nullptr;

// Posts a burst of commands into the dialog while the first process is
// terminated, as a user hammering OK, Cancel, Esc, the close box and Delete would.
class BurstTerminator : public ProcessTerminator {
public:
    bool Terminate(uint32_t pid, uint32_t, uint64_t) override
    {
        if (calls.empty())
            if (HWND dialog = ThreadWindow("Process Termination")) {
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                PostMessageA(dialog, WM_CLOSE, 0, 0);
                PostMessageA(GetDlgItem(dialog, IDC_PROCESS_LIST), WM_KEYDOWN, VK_DELETE, 0);
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            }
        calls.push_back(pid);
        if (pid != failing) return true;
        RecordError(5);
        return false;
    }
    std::vector<uint32_t> calls;
    uint32_t failing = 0;
};

ProcessRecord Record(const char* name, uint32_t pid)
{
    ProcessRecord record;
    record.strName = name;
    record.dwProcessId = pid;
    return record;
}

// Counts how often the result list is cleared, that is, how many searches started.
int g_clears = 0;
WNDPROC g_listProc = nullptr;
LRESULT CALLBACK CountClears(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LVM_DELETEALLITEMS) ++g_clears;
    return CallWindowProcA(g_listProc, window, message, wParam, lParam);
}

struct Formatting {
    UserSettings settings;
    ValueFormatter formatter;
    Formatting() : formatter((UserSettingsFile::SetDefaults(settings), settings), true) {}
};

} // namespace

TEST_SUITE("controls")
{
    TEST_CASE("termination dialog: commands during the run are ignored; errors; OK and Cancel results")
    {
        Formatting f;
        BurstTerminator terminator;
        terminator.failing = 30;
        ClTarnwickProcessTerminationDlg dialog(&terminator);
        const std::vector<ProcessRecord> records = {Record("a.exe", 10), Record("b.exe", 20), Record("c.exe", 30)};
        std::string errorText;
        ModalScript script({
            {"Process Termination",
             [&](HWND window) {
                 CHECK(SendDlgItemMessageA(window, IDC_PROCESS_LIST, LB_GETCOUNT, 0, 0) == 3);
                 CHECK(Text(window, IDOK) == "&Kill");
                 CHECK(Text(window, IDC_KILL_WARNING) == StringTable::Load(157));
                 CHECK_FALSE(IsWindowVisible(GetDlgItem(window, IDC_SHOW_ERRORS)));
                 SendMessageA(window, WM_COMMAND, IDOK, 0);
                 // The burst came and went during the run: still open, every row done once.
                 CHECK(terminator.calls == std::vector<uint32_t>{10, 20, 30});
                 CHECK(SendDlgItemMessageA(window, IDC_PROCESS_LIST, LB_GETCOUNT, 0, 0) == 3);
                 CHECK(Text(window, IDOK) == "&Ok");
                 CHECK(IsWindowVisible(GetDlgItem(window, IDC_SHOW_ERRORS)));
                 PostMessageA(window, WM_COMMAND, IDC_SHOW_ERRORS, 0);
             }},
            {"Errors",
             [&](HWND window) {
                 errorText = Text(window, IDC_ERROR_TEXT);
                 PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
             }},
            {"Process Termination", [&](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); }},
        });
        CHECK(dialog.Show(nullptr, records, true, f.formatter) == 1);
        CHECK(script.Done() == 3);
        char system[260] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 5,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, sizeof(system), nullptr);
        CHECK(errorText == std::string("c.exe [PID: 30] could not be terminated!\r\nErrorCode: 5\r\nErrorDescription: ")
                               + system + "\r\n");
        REQUIRE(dialog.Entries().size() == 3);
        CHECK(dialog.Entries()[0].nState == TerminationEntry::Terminated);
        CHECK(dialog.Entries()[2].nState == TerminationEntry::Failed);
    }

    TEST_CASE("termination dialog: Delete empties the list; then only Cancel is left, with result 0")
    {
        Formatting f;
        BurstTerminator terminator;
        ClTarnwickProcessTerminationDlg dialog(&terminator);
        ModalScript script({
            {"Process Termination",
             [&](HWND window) {
                 HWND list = GetDlgItem(window, IDC_PROCESS_LIST);
                 SendMessageA(list, LB_SETCURSEL, 1, 0);
                 SendMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
                 CHECK(SendMessageA(list, LB_GETCOUNT, 0, 0) == 1);
                 CHECK(IsWindowEnabled(GetDlgItem(window, IDOK)));
                 SendMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
                 CHECK(SendMessageA(list, LB_GETCOUNT, 0, 0) == 0);
                 CHECK_FALSE(IsWindowEnabled(GetDlgItem(window, IDOK)));
                 CHECK(LOWORD(SendMessageA(window, DM_GETDEFID, 0, 0)) == IDCANCEL);
                 CHECK(GetFocus() == GetDlgItem(window, IDCANCEL));
                 PostMessageA(window, WM_COMMAND, IDOK, 0);
                 PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
             }},
        });
        CHECK(dialog.Show(nullptr, {Record("a.exe", 10), Record("b.exe", 20)}, false, f.formatter) == 0);
        CHECK(terminator.calls.empty());
        CHECK(dialog.Entries().empty());
    }

    TEST_CASE("Find Dll: the result images in the screen's depth, 32 bits with common controls 6")
    {
        CHECK(ClTarnwickFindDllDlg::ImageColorFlag(0x00060000, 16) == ILC_COLOR32);
        CHECK(ClTarnwickFindDllDlg::ImageColorFlag(0x00050050, 16) == ILC_COLOR16);
        HDC screen = GetDC(nullptr);
        const int screenBits = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
        DllGetVersionWrapper comctl("COMCTL32.DLL");
        const DWORD version = comctl.DllGetVersion();
        REQUIRE(version != 0);
        const int expected = HIWORD(version) >= 6 || screenBits >= 32 ? 32 : screenBits;
        int bits = 0;
        ClTarnwickFindDllDlg dialog;
        ModalScript script({{"Find Dll", [&](HWND window) {
                                 HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendDlgItemMessageA(
                                     window, IDC_FINDDLL_RESULTS, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
                                 IMAGEINFO info = {};
                                 BITMAP bitmap = {};
                                 if (images && ImageList_GetImageInfo(images, 0, &info)
                                     && GetObjectA(info.hbmImage, sizeof(bitmap), &bitmap))
                                     bits = bitmap.bmBitsPixel;
                                 PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                             }}});
        CHECK(dialog.Show(nullptr, false) == 0);
        CHECK(bits == expected);
    }

    TEST_CASE("Find Dll: a burst of Find, OK and Cancel during a search leaves one complete result")
    {
        ClTarnwickFindDllDlg dialog;
        std::vector<std::string> rows;
        std::vector<int> indents;
        ModalScript script({
            {"Find Dll",
             [&](HWND window) {
                 SetDlgItemTextA(window, IDC_FINDDLL_PATTERN, "*");
                 g_clears = 0;
                 g_listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                     GetDlgItem(window, IDC_FINDDLL_RESULTS), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountClears)));
                 // Queued behind the search: they arrive while it pumps.
                 for (int i = 0; i < 4; ++i) PostMessageA(window, WM_COMMAND, IDC_FINDDLL_FIND, 0);
                 PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                 PostMessageA(window, WM_COMMAND, IDOK, 0);
                 SendMessageA(window, WM_COMMAND, IDC_FINDDLL_FIND, 0);
                 CHECK(IsWindow(window));
                 CHECK(g_clears == 1);
                 HWND list = GetDlgItem(window, IDC_FINDDLL_RESULTS);
                 const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
                 for (int i = 0; i < count; ++i) {
                     char text[300] = {}, path[300] = {};
                     LVITEMA item = {};
                     item.mask = LVIF_TEXT | LVIF_INDENT | LVIF_IMAGE;
                     item.iItem = i;
                     item.pszText = text;
                     item.cchTextMax = sizeof(text);
                     SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
                     LVITEMA sub = {};
                     sub.iSubItem = 1;
                     sub.pszText = path;
                     sub.cchTextMax = sizeof(path);
                     SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&sub));
                     rows.push_back(std::string(text) + "|" + path + "|" + std::to_string(item.iImage));
                     indents.push_back(item.iIndent);
                 }
                 PostMessageA(window, WM_COMMAND, IDOK, 0);
             }},
        });
        CHECK(dialog.Show(nullptr, false) == 1);
        REQUIRE(script.Done() == 1);

        // Each process once, its modules indented beneath it, as a search of
        // our own finds them (other test programs may come and go meanwhile:
        // only the processes both searches saw are compared).
        ProcessSnapshot snapshot;
        std::vector<DllSearchHit> hits;
        REQUIRE(DllSearch::Run("*", snapshot, hits));
        std::map<std::string, std::vector<std::string>> shown, found;
        std::string current;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (indents[i] == 0) {
                current = rows[i];
                CHECK(shown.count(current) == 0);
                shown[current];
            } else {
                REQUIRE(!current.empty());
                shown[current].push_back(rows[i]);
            }
        }
        for (const DllSearchHit& hit : hits) {
            std::vector<std::string>& modules = found[hit.strProcessName + " [" + std::to_string(hit.dwProcessId) + "]||0"];
            for (const DllSearchHit::Module& module : hit.modules) modules.push_back(module.strName + "|" + module.strPath + "|1");
        }
        int compared = 0;
        for (const auto& process : shown)
            if (found.count(process.first)) {
                CHECK(process.second == found[process.first]);
                ++compared;
            }
        CHECK(compared >= 1);
        const std::string self = "tarnwick-tests";
        bool selfShown = false;
        for (const auto& process : shown) selfShown = selfShown || process.first.find(self) == 0;
        CHECK(selfShown);
    }
}
