// The launcher dialogs in a host process, worked from outside as a user
// would: Application Properties, the search-plugin import and the Console.
#include <doctest/doctest.h>

#include "app/res/resource.h"
#include "tests/TestPaths.h"

#include <windows.h>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class DialogHost {
public:
    explicit DialogHost(const std::string& arguments)
    {
        folder = TestPaths::MakeScratchFolder("dialog");
        out = folder + "\\result.txt";
        std::string line = "\"" + TestPaths::BinFolder() + "tw-dialog-host.exe\" " + arguments;
        const size_t slot = line.find("OUT");
        line.replace(slot, 3, out);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    }
    ~DialogHost()
    {
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        TestPaths::RemoveTree(folder);
    }
    // A visible top-level window of the host with this title (any title when null), other than `except`.
    HWND Find(const char* title, HWND except = nullptr, DWORD ms = 20000)
    {
        for (DWORD waited = 0; waited < ms; waited += 50, Sleep(50)) {
            Search search = {process.dwProcessId, title, except, nullptr};
            EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
        }
        return nullptr;
    }
    // The host's result once it ended.
    std::string Result(DWORD ms = 20000)
    {
        if (WaitForSingleObject(process.hProcess, ms) != WAIT_OBJECT_0) return "(still running)";
        std::ifstream file(out, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    std::string folder;

private:
    struct Search {
        DWORD pid;
        const char* title;
        HWND except;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND window, LPARAM parameter)
    {
        Search* search = reinterpret_cast<Search*>(parameter);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char title[512] = {};
        GetWindowTextA(window, title, sizeof(title));
        if (pid == search->pid && window != search->except && IsWindowVisible(window)
            && (!search->title || std::string(title) == search->title)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
    PROCESS_INFORMATION process = {};
    std::string out;
};

std::string Text(HWND window)
{
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

bool WaitUntil(bool (*condition)(HWND), HWND window, DWORD ms = 15000)
{
    for (DWORD waited = 0; waited < ms; waited += 50, Sleep(50))
        if (condition(window)) return true;
    return false;
}

// The edit inside a (possibly extended) combo box.
HWND FindEdit(HWND parent)
{
    if (!parent) return nullptr;
    char name[32] = {};
    GetClassNameA(parent, name, sizeof(name));
    if (lstrcmpiA(name, "Edit") == 0) return parent;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND edit = FindEdit(child)) return edit;
    return nullptr;
}

// One argument as the C runtime reads it back, quotes and all.
std::string Quote(const std::string& argument)
{
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string Plugin(const std::string& name)
{
    return "<search\nname=\"" + name + "\"\ndescription=\"About " + name + "\"\naction=\"http://x.example/\"\n>\n"
           "<input name=\"q\" user>\n</search>\n";
}

} // namespace

TEST_SUITE("launcher dialogs")
{
    TEST_CASE("Application Properties: limits, browse, OK")
    {
        const std::string bin = TestPaths::BinFolder();
        DialogHost host("properties OUT \"Old\" \"" + bin + "tarnwick.exe\" \"C:\\\\\" \"%m\"");
        HWND dialog = host.Find("Application Properties");
        REQUIRE(dialog);
        for (int id : {IDC_APP_DESCRIPTION, IDC_APP_APPLICATION, IDC_APP_STARTPATH, IDC_APP_ARGUMENTS})
            CHECK(SendDlgItemMessageA(dialog, id, EM_GETLIMITTEXT, 0, 0) == 259);
        CHECK(Text(GetDlgItem(dialog, IDC_APP_APPLICATION)) == bin + "tarnwick.exe");

        // Pasting 300 characters keeps 259.
        HWND description = GetDlgItem(dialog, IDC_APP_DESCRIPTION);
        SendMessageA(description, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        std::string typed;
        for (int i = 0; i < 300; ++i) typed += static_cast<char>('a' + i % 26);
        REQUIRE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, typed.size() + 1);
        lstrcpyA(static_cast<char*>(GlobalLock(memory)), typed.c_str());
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
        SendMessageA(description, WM_PASTE, 0, 0);
        CHECK(Text(description) == typed.substr(0, 259));

        // Browse starts in the program's folder: a bare file name lands there.
        PostMessageA(GetDlgItem(dialog, IDC_APP_BROWSE), BM_CLICK, 0, 0);
        HWND open = host.Find(nullptr, dialog);
        REQUIRE(open);
        HWND nameEdit = FindEdit(GetDlgItem(open, 0x47C));  // the file-name combo box
        REQUIRE(nameEdit);
        SendMessageA(nameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("tw-console.exe"));
        PostMessageA(GetDlgItem(open, IDOK), BM_CLICK, 0, 0);
        HWND application = GetDlgItem(dialog, IDC_APP_APPLICATION);
        CHECK(WaitUntil([](HWND edit) { return Text(edit).find("tw-console.exe") != std::string::npos; }, application));
        CHECK(Text(application) == bin + "tw-console.exe");

        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        const std::string result = host.Result();
        CHECK(result.find("result=1\n") == 0);
        CHECK(result.find("\ndescription=" + typed.substr(0, 259) + "\n") != std::string::npos);
        CHECK(result.find("\napplication=" + bin + "tw-console.exe\n") != std::string::npos);
        CHECK(result.find("\nstartpath=C:\\\n") != std::string::npos);
        CHECK(result.find("\nmodified=1\n") != std::string::npos);
        // Another program: the entry shows that program's icon, not the old one.
        CHECK(result.find("\nicon=new\n") != std::string::npos);
    }

    TEST_CASE("Application Properties: Cancel keeps the entry")
    {
        DialogHost host("properties OUT \"Keep\" \"C:\\\\x.exe\" \"\" \"%m\"");
        HWND dialog = host.Find("Application Properties");
        REQUIRE(dialog);
        SetDlgItemTextA(dialog, IDC_APP_DESCRIPTION, "Changed");
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        const std::string result = host.Result();
        CHECK(result.find("result=0\ndescription=Keep\n") == 0);
        CHECK(result.find("\nmodified=0\n") != std::string::npos);
        CHECK(result.find("\nicon=kept\n") != std::string::npos);
    }

    TEST_CASE("search-plugin import: given paths come checked, OK returns only new checks")
    {
        const std::string plugins = TestPaths::MakeScratchFolder("import");
        for (const char* name : {"alpha", "beta", "gamma"})
            TestPaths::WriteFile(plugins + "\\" + name + ".src", Plugin(name).data(), Plugin(name).size());
        TestPaths::WriteFile(plugins + "\\invalid.src", "<search>", 8);
        const std::string alpha = plugins + "\\ALPHA.src";
        {
            DialogHost host("import OUT \"" + plugins + "\" \"" + alpha + "\"");
            HWND dialog = host.Find("Add Mozilla-Search Plugins");
            REQUIRE(dialog);
            HWND list = GetDlgItem(dialog, IDC_IMPORT_LIST);
            REQUIRE(SendMessageA(list, LB_GETCOUNT, 0, 0) == 3);
            CHECK(SendMessageA(list, LB_GETITEMDATA, 0, 0) == 1);
            CHECK(SendMessageA(list, LB_GETITEMDATA, 1, 0) == 0);
            CHECK(SendMessageA(list, LB_GETITEMDATA, 2, 0) == 0);
            // Check beta, clear alpha (an active engine is not removed that way).
            SendMessageA(list, LB_SETCURSEL, 1, 0);
            PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
            CHECK(WaitUntil([](HWND box) { return SendMessageA(box, LB_GETITEMDATA, 1, 0) == 1; }, list));
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
            CHECK(WaitUntil([](HWND box) { return SendMessageA(box, LB_GETITEMDATA, 0, 0) == 0; }, list));
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            CHECK(host.Result() == "result=1\nchosen=" + plugins + "\\beta.src\n");
        }
        {
            DialogHost host("import OUT \"" + plugins + "\"");
            HWND dialog = host.Find("Add Mozilla-Search Plugins");
            REQUIRE(dialog);
            PostMessageA(GetDlgItem(dialog, IDC_IMPORT_SELECTALL), BM_CLICK, 0, 0);
            HWND list = GetDlgItem(dialog, IDC_IMPORT_LIST);
            CHECK(WaitUntil([](HWND box) { return SendMessageA(box, LB_GETITEMDATA, 2, 0) == 1; }, list));
            PostMessageA(GetDlgItem(dialog, IDC_IMPORT_CLEARALL), BM_CLICK, 0, 0);
            CHECK(WaitUntil([](HWND box) { return SendMessageA(box, LB_GETITEMDATA, 2, 0) == 0; }, list));
            PostMessageA(GetDlgItem(dialog, IDC_IMPORT_SELECTALL), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            CHECK(host.Result() == "result=0\n");
        }
        TestPaths::RemoveTree(plugins);
    }

    TEST_CASE("Console window: Cancel ends a run and keeps the text")
    {
        // A run that ends by itself: the e2e tests.
        {
            const std::string endless = "\"" + TestPaths::BinFolder() + "tw-console.exe\" endless";
            DialogHost host("console OUT " + Quote(endless));
            HWND dialog = host.Find(endless.c_str());
            REQUIRE(dialog);
            HWND edit = GetDlgItem(dialog, IDC_CONSOLE_OUTPUT);
            CHECK(WaitUntil([](HWND box) { return Text(box) == "tick\r\n"; }, edit));
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            CHECK(WaitUntil([](HWND box) { return IsWindowEnabled(GetDlgItem(GetParent(box), IDOK)) != FALSE; }, edit));
            CHECK(IsWindow(dialog));
            CHECK(Text(edit) == "tick\r\n");
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            CHECK(host.Result() == "result=0\n");
        }
    }
}
