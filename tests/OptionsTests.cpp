// The Options dialog's logic: copy bits and column items, colours and
// pictures, the stored column order, what OK takes back; the real dialog in
// this process, left alone and edited; the settings listing of the console tool.
#include <doctest/doctest.h>

#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "app/options/ClTarnwickOptionsDlg.h"
#include "app/options/OptionsRecord.h"
#include "app/pluginhost/PluginHost.h"
#include "app/settings/UserSettingsFile.h"
#include "app/res/resource.h"
#include "cli/SettingsListing.h"
#include "views/ColorsAndFormats.h"
#include "views/OptionItems.h"

#include <commctrl.h>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A record with something unusual in every field the pages edit.
UserSettings Unusual()
{
    UserSettings s;
    UserSettingsFile::SetDefaults(s);
    s.bShowInfobar = 0;
    s.bHighlightDynamicLoads = 0;
    s.bHideWhenMinimized = 1;
    s.crBackground = 0x00102030;
    s.crCpuBackground = ColorsAndFormats::kSystemBackground;
    // A custom picture while "User default" is chosen: kept as it is.
    s.bDateUseDefault = 1;
    s.bDateLong = 0;
    ColorsAndFormats::TakePicture(s.szDateFormat, "yyyy'|'MM");
    s.bTimeUseDefault = 0;
    ColorsAndFormats::TakePicture(s.szTimeFormat, "HH'h'mm");
    // Bits no item stands for, and values outside the radio buttons.
    s.dwCopyProcessColumns = 0xF0000280u;
    s.dwCopyModuleColumns = 0x00010081u;
    s.nCopySeparator = 7;
    s.nCopyDelimiter = 9;
    s.aProcessColumns[3].bVisible = 0;
    s.aModuleColumns[6].bVisible = 0;
    s.anProcessColumnOrder[0] = 1;
    s.anProcessColumnOrder[1] = 0;
    s.nProcessColumnCount = 11;
    return s;
}

// Field name -> value, from the console tool's listing.
std::map<std::string, std::string> Fields(const UserSettings& settings)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(SettingsListing::Text(settings));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        fields[line.substr(0, tab)] = tab == std::string::npos ? std::string() : line.substr(tab + 1);
    }
    return fields;
}

// The names of the fields that differ.
std::vector<std::string> Changed(const UserSettings& before, const UserSettings& after)
{
    std::vector<std::string> names;
    const auto a = Fields(before), b = Fields(after);
    for (const auto& field : a)
        if (b.at(field.first) != field.second) names.push_back(field.first);
    return names;
}

// The dialog run modally in this thread; `script` runs from a timer inside
// its loop with the dialog's window, then OK or Cancel ends it.
struct DialogRun {
    static DialogRun* current;
    ClTarnwickOptionsDlg* dialog = nullptr;
    std::function<void(HWND)> script;
    bool ok = true;
    bool ran = false;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD)
    {
        DialogRun* run = current;
        HWND window = run && run->dialog ? run->dialog->GetHwnd() : nullptr;
        if (!window || run->ran) return;
        KillTimer(nullptr, timer);
        run->ran = true;
        run->script(window);
        PostMessageA(window, WM_COMMAND, run->ok ? IDOK : IDCANCEL, 0);
    }
    INT_PTR Run(ClTarnwickOptionsDlg& options)
    {
        dialog = &options;
        current = this;
        SetTimer(nullptr, 0, 50, Tick);
        const INT_PTR result = options.Run(nullptr);
        current = nullptr;
        return result;
    }
};
DialogRun* DialogRun::current = nullptr;

HWND PageControl(HWND dialog, int id)
{
    // Pages are children of the dialog; their controls are grandchildren.
    for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (HWND control = GetDlgItem(page, id)) return control;
    return nullptr;
}

void SetCheck(HWND list, int item, bool checked)
{
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

bool IsChecked(HWND list, int item)
{
    return (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK)
            & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void Click(HWND dialog, int id)
{
    SendMessageA(PageControl(dialog, id), BM_CLICK, 0, 0);
}

std::string Text(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string LocalePicture(LCTYPE type)
{
    char picture[256] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, picture, sizeof(picture));
    return std::string(picture).substr(0, 63);
}

} // namespace

TEST_SUITE("options")
{
    TEST_CASE("copy items stand for their values' bits; other bits stay; radio choices")
    {
        const int processBits[12] = {0, 1, 2, 9, 10, 11, 3, 7, 6, 8, 4, 5};
        const int moduleBits[9] = {0, 1, 7, 2, 5, 6, 8, 3, 4};
        for (size_t item = 0; item < 12; ++item) {
            CAPTURE(item);
            const uint32_t bit = 1u << processBits[item];
            CHECK(OptionItems::SetCopied(0, OptionItems::Processes, item, true) == bit);
            for (size_t other = 0; other < 12; ++other)
                CHECK(OptionItems::IsCopied(bit, OptionItems::Processes, other) == (other == item));
            CHECK(OptionItems::SetCopied(0xFFFFFFFFu, OptionItems::Processes, item, false) == ~bit);
        }
        for (size_t item = 0; item < 9; ++item) {
            CAPTURE(item);
            CHECK(OptionItems::CopyBit(OptionItems::Modules, item) == 1u << moduleBits[item]);
        }
        CHECK(OptionItems::CopyBit(OptionItems::Modules, 9) == 0);
        CHECK(OptionItems::IsCopied(0xFFFFFFFFu, OptionItems::Modules, 12) == false);
        // Select All and Clear All change only the items' bits.
        CHECK(OptionItems::SetAllCopied(0xF0000000u, OptionItems::Processes, true) == 0xF0000FFFu);
        CHECK(OptionItems::SetAllCopied(0xFFFFFFFFu, OptionItems::Processes, false) == 0xFFFFF000u);
        CHECK(OptionItems::SetAllCopied(0x00010000u, OptionItems::Modules, true) == 0x000101FFu);
        CHECK(OptionItems::SetAllCopied(0xFFFFFFFFu, OptionItems::Modules, false) == 0xFFFFFE00u);
        // Items' texts are the option strings.
        CHECK(OptionItems::TextString(OptionItems::Processes, 1) == 169);
        CHECK(OptionItems::TextString(OptionItems::Modules, 8) == 177);
        for (uint8_t stored : {0, 5, 255}) CHECK(OptionItems::SeparatorChoice(stored) == 1);
        for (uint8_t stored : {1, 2, 3, 4}) CHECK(OptionItems::SeparatorChoice(stored) == stored);
        for (uint8_t stored : {0, 4, 200}) CHECK(OptionItems::DelimiterChoice(stored) == 3);
        CHECK(OptionItems::DelimiterChoice(2) == 2);
    }

    TEST_CASE("hiding a column in the options puts the view's column order back to the default")
    {
        UserSettings before = Unusual(), after = before;
        UserSettings edited = before;
        edited.aProcessColumns[11].bVisible = 0;
        CHECK(OptionsRecord::TakeBack(edited, after) == OptionsRecord::kProcessColumns);
        CHECK(after.nProcessColumnCount == 12);
        for (uint32_t i = 0; i < 12; ++i) CHECK(after.anProcessColumnOrder[i] == i);
        CHECK(std::memcmp(after.anModuleColumnOrder, before.anModuleColumnOrder, 48) == 0);
    }

    TEST_CASE("colours, defaults and pictures")
    {
        UserSettings s = Unusual();
        CHECK(ColorsAndFormats::Color(s, 1) == 0x00102030u);
        ColorsAndFormats::SetColor(s, 2, 0x00ABCDEFu);
        ColorsAndFormats::SetDefaultColor(s, 2);
        CHECK(s.crServices == 0x0064C8u);
        // The CPU background's default is the system's own background, drawn as the face colour.
        ColorsAndFormats::SetColor(s, 5, 0x00C8D0D4u);
        ColorsAndFormats::SetDefaultColor(s, 5);
        CHECK(s.crCpuBackground == 0xFF000000u);
        CHECK(ColorsAndFormats::Shown(s.crCpuBackground, 0x00123456u) == 0x00123456u);
        CHECK(ColorsAndFormats::Shown(0x00010203u, 0x00123456u) == 0x00010203u);
        CHECK(ColorsAndFormats::ColorString(6) == 196);

        // At most 63 characters and a terminator; the next field stays.
        const uint32_t timeDefault = s.bTimeUseDefault;
        ColorsAndFormats::SetDatePicture(s, std::string(100, 'd'));
        CHECK(ColorsAndFormats::FieldText(s.szDateFormat) == std::string(63, 'd'));
        CHECK(s.szDateFormat[63] == '\0');
        CHECK(s.bTimeUseDefault == timeDefault);
        // A field without terminator is read to its end only.
        std::memset(s.szTimeFormat, 'h', sizeof(s.szTimeFormat));
        CHECK(ColorsAndFormats::FieldText(s.szTimeFormat) == std::string(64, 'h'));

        ColorsAndFormats::UseOtherDate(s);
        CHECK(s.bDateUseDefault == 0);
        CHECK(s.bDateLong == 0);
        ColorsAndFormats::UseDefaultDate(s, false, "dd.MM.yy");
        CHECK(s.bDateUseDefault == 1);
        CHECK(s.bDateLong == 0);
        CHECK(ColorsAndFormats::FieldText(s.szDateFormat) == "dd.MM.yy");
        CHECK(s.szDateFormat[20] == '\0');
        ColorsAndFormats::UseDefaultTime(s, "HH:mm");
        CHECK(s.bTimeUseDefault == 1);
        CHECK(ColorsAndFormats::FieldText(s.szTimeFormat) == "HH:mm");
    }

    TEST_CASE("OK takes back only the fields the pages edit")
    {
        const UserSettings target = Unusual();
        UserSettings taken = target;
        CHECK(OptionsRecord::TakeBack(target, taken) == 0);
        CHECK(std::memcmp(&taken, &target, sizeof(taken)) == 0);

        // Everything else in the edited copy (placement, sort, widths, report type) is not the dialog's.
        UserSettings edited = target;
        edited.wpMainWindow.rcNormalPosition.left = 123;
        edited.ssProcessSort.nSortColumn = 7;
        edited.aProcessColumns[0].nWidth = 999;
        edited.nReportFileType = 1;
        edited.crCpuGraph = 0x000000FFu;
        edited.nCopyDelimiter = 2;
        edited.lfViewFont.lfHeight = -20;
        const unsigned changes = OptionsRecord::TakeBack(edited, taken);
        CHECK(changes == (OptionsRecord::kCpuColors | OptionsRecord::kCopy | OptionsRecord::kFont));
        CHECK(Changed(target, taken) == std::vector<std::string>{"crCpuGraph", "lfViewFont", "nCopyDelimiter"});
    }

    TEST_CASE("the dialog left alone: every page shown, OK, the record unchanged")
    {
        const UserSettings original = Unusual();
        PluginHost plugins;
        ClTarnwickOptionsDlg options(plugins);
        options.SetSettings(original);
        options.SetInitialPage(ID_OPTIONS_INTERNET_SEARCH);
        DialogRun run;
        std::vector<std::string> headers;
        run.script = [&](HWND dialog) {
            HWND tree = GetDlgItem(dialog, IDC_OPTIONS_TREE);
            HWND header = GetDlgItem(dialog, IDC_OPTIONS_HEADER);
            headers.push_back(Text(header));
            for (HTREEITEM item = TreeView_GetRoot(tree); item;) {
                TreeView_SelectItem(tree, item);
                headers.push_back(Text(header));
                HTREEITEM next = TreeView_GetChild(tree, item);
                if (!next) next = TreeView_GetNextSibling(tree, item);
                if (!next) next = TreeView_GetNextSibling(tree, TreeView_GetParent(tree, item));
                item = next;
            }
            // What the pages show of the unusual values.
            CHECK(IsDlgButtonChecked(GetParent(PageControl(dialog, IDC_COPY_TAB)), IDC_COPY_TAB) == BST_CHECKED);
            CHECK(IsDlgButtonChecked(GetParent(PageControl(dialog, IDC_COPY_NODELIMITER)), IDC_COPY_NODELIMITER)
                  == BST_CHECKED);
            HWND copies = PageControl(dialog, IDC_COPY_PROCESSES);
            CHECK(IsChecked(copies, 3));
            CHECK(IsChecked(copies, 7));
            CHECK_FALSE(IsChecked(copies, 0));
            CHECK_FALSE(IsChecked(PageControl(dialog, IDC_COLUMNS_PROCESSES), 3));
            CHECK(Text(PageControl(dialog, IDC_DATE_PICTURE)).empty());
            CHECK_FALSE(IsWindowEnabled(PageControl(dialog, IDC_DATE_PICTURE)));
            CHECK(Text(PageControl(dialog, IDC_TIME_PICTURE)) == "HH'h'mm");
        };
        REQUIRE(run.Run(options) == 1);
        CHECK(headers == std::vector<std::string>{"Internet Search", "View", "Columns", "Colors & Formats", "Copy",
                                                  "Applications", "Plugins", "Internet Search"});
        CHECK(std::memcmp(&options.Settings(), &original, sizeof(original)) == 0);
        CHECK_FALSE(options.ApplicationsChanged());
        CHECK_FALSE(options.EnginesChanged());
    }

    TEST_CASE("the dialog edited: each edit changes its fields only; Cancel reports nothing")
    {
        const UserSettings original = Unusual();
        PluginHost plugins;
        ClTarnwickOptionsDlg options(plugins);
        options.SetSettings(original);
        DialogRun run;
        run.script = [&](HWND dialog) {
            UserSettings before = options.Settings();
            int steps = 0;
            auto step = [&](const std::vector<std::string>& expected) {
                ++steps;
                CAPTURE(steps);
                const std::vector<std::string> changed = Changed(before, options.Settings());
                std::string names;
                for (const std::string& name : changed) names += name + " ";
                CAPTURE(names);
                CHECK(changed == expected);
                before = options.Settings();
            };
            Click(dialog, IDC_VIEW_TOOLBAR);
            step({"bShowToolbar"});
            SetCheck(PageControl(dialog, IDC_COLUMNS_PROCESSES), 7, false);
            step({"aProcessColumns[7]"});
            // Name always shows: its check stays.
            SetCheck(PageControl(dialog, IDC_COLUMNS_PROCESSES), 0, false);
            CHECK(IsChecked(PageControl(dialog, IDC_COLUMNS_PROCESSES), 0));
            Click(dialog, IDC_COLUMNS_MODULES_NONE);
            step({"aModuleColumns[1]", "aModuleColumns[2]", "aModuleColumns[3]", "aModuleColumns[4]",
                  "aModuleColumns[5]", "aModuleColumns[7]", "aModuleColumns[8]"});
            CHECK(options.Settings().aModuleColumns[0].bVisible == 1);
            // BaseAddress (0x80) comes checked; Location is bit 0x02.
            CHECK(IsChecked(PageControl(dialog, IDC_COPY_MODULES), 2));
            SetCheck(PageControl(dialog, IDC_COPY_MODULES), 1, true);
            step({"dwCopyModuleColumns"});
            CHECK(options.Settings().dwCopyModuleColumns == 0x00010083u);
            Click(dialog, IDC_COPY_PROCESSES_ALL);
            CHECK(options.Settings().dwCopyProcessColumns == 0xF0000FFFu);
            Click(dialog, IDC_COPY_PROCESSES_NONE);
            CHECK(options.Settings().dwCopyProcessColumns == 0xF0000000u);
            CHECK_FALSE(IsChecked(PageControl(dialog, IDC_COPY_PROCESSES), 0));
            step({"dwCopyProcessColumns"});
            Click(dialog, IDC_COPY_COMMA);
            step({"nCopySeparator"});
            CHECK(options.Settings().nCopySeparator == 3);
            // "Other", then 100 characters that WM_SETTEXT puts past the edit's limit.
            Click(dialog, IDC_DATE_OTHER);
            step({"bDateUseDefault"});  // bDateLong was 0 already
            CHECK(Text(PageControl(dialog, IDC_DATE_PICTURE)) == "yyyy'|'MM");
            SendMessageA(PageControl(dialog, IDC_DATE_PICTURE), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(std::string(100, 'y').c_str()));
            step({"szDateFormat"});
            CHECK(ColorsAndFormats::FieldText(options.Settings().szDateFormat) == std::string(63, 'y'));
            // A result the format call cannot give (Wine: over 127 characters) previews as "".
            std::string weekdays;
            for (int i = 0; i < 15; ++i) weekdays += "dddd";
            SetWindowTextA(PageControl(dialog, IDC_DATE_PICTURE), (weekdays + "ddd").c_str());
            SYSTEMTIME today;
            GetLocalTime(&today);
            char expected[256];
            const int written = GetDateFormatA(LOCALE_USER_DEFAULT, 0, &today, (weekdays + "ddd").c_str(), expected,
                                               sizeof(expected));
            CHECK(Text(PageControl(dialog, IDC_DATE_PREVIEW)) == (written > 0 ? std::string(expected) : std::string()));
            SetWindowTextA(PageControl(dialog, IDC_DATE_PICTURE), "yyyy");
            char year[8];
            SYSTEMTIME now;
            GetLocalTime(&now);
            snprintf(year, sizeof(year), "%04u", static_cast<unsigned>(now.wYear));
            CHECK(Text(PageControl(dialog, IDC_DATE_PREVIEW)) == year);
            // User default with Short Date: the locale's short picture, the edit empty and disabled.
            SendMessageA(PageControl(dialog, IDC_DATE_KIND), CB_SETCURSEL, 1, 0);
            Click(dialog, IDC_DATE_DEFAULT);
            step({"bDateUseDefault", "szDateFormat"});
            CHECK(ColorsAndFormats::FieldText(options.Settings().szDateFormat) == LocalePicture(LOCALE_SSHORTDATE));
            CHECK(Text(PageControl(dialog, IDC_DATE_PICTURE)).empty());
            CHECK_FALSE(IsWindowEnabled(PageControl(dialog, IDC_DATE_PICTURE)));
            Click(dialog, IDC_TIME_DEFAULT);
            step({"bTimeUseDefault", "szTimeFormat"});
            CHECK(ColorsAndFormats::FieldText(options.Settings().szTimeFormat) == LocalePicture(LOCALE_STIMEFORMAT));
        };
        run.ok = false;
        CHECK(run.Run(options) == 0);
        CHECK(run.ran);
    }

    TEST_CASE("tarnwick-cli settings: accepted, rejected, unreadable")
    {
        const std::string folder = TestPaths::MakeScratchFolder("cli-settings");
        const std::string path = folder + "\\Tarnwick.ui";
        UserSettings record = Unusual();
        ColorsAndFormats::TakePicture(record.szTimeFormat, "H\th");
        {
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, &record, sizeof(record), &written, nullptr);
            CloseHandle(file);
        }
        std::string out;
        DWORD exitCode = 0;
        REQUIRE(RunAndCapture(ConsoleTool() + " settings \"" + path + "\"", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.rfind("status\taccepted\ndwSize\t778\ndwVersion\t131078\ndwRevision\t3\n", 0) == 0);
        CHECK(out.find("\nszDateFormat\tyyyy'|'MM\n") != std::string::npos);
        CHECK(out.find("\nszTimeFormat\tH\\th\n") != std::string::npos);
        CHECK(out.find("\ncrCpuBackground\t0xFF000000\n") != std::string::npos);
        CHECK(out.find("\ndwCopyProcessColumns\t0xF0000280\n") != std::string::npos);
        CHECK(out.find("\naProcessColumns[3]\t0\t100\n") != std::string::npos);
        CHECK(out.find("\nnCopySeparator\t7\n") != std::string::npos);

        record.dwRevision = 4;
        {
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, &record, sizeof(record), &written, nullptr);
            CloseHandle(file);
        }
        REQUIRE(RunAndCapture(ConsoleTool() + " settings \"" + path + "\"", out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.rfind("status\trejected\n", 0) == 0);
        CHECK(out.find("\nnCopySeparator\t2\n") != std::string::npos);

        REQUIRE(RunAndCapture(ConsoleTool() + " settings \"" + folder + "\\none.ui\"", out, exitCode));
        CHECK(exitCode == 1);
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("every icon of the program has pictures of its own")
    {
        // Icons of two resource scripts once shared picture numbers: one showed the other's.
        HMODULE program = LoadLibraryExA((TestPaths::BinFolder() + "tarnwick.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE);
        REQUIRE(program);
        std::map<WORD, int> owners;
        for (int group : {IDI_TARNWICK, IDI_MODULE, IDI_PROCESS, IDI_HELP, IDI_CANCEL, IDI_OK, IDI_ADD, IDI_REMOVE,
                          IDI_PROPERTIES, IDI_LANGUAGE_PLACEHOLDER}) {
            CAPTURE(group);
            HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(group), MAKEINTRESOURCEA(14));
            REQUIRE(found);
            const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
            REQUIRE(bytes);
            WORD count = 0;
            std::memcpy(&count, bytes + 4, sizeof(count));
            for (WORD i = 0; i < count; ++i) {
                WORD id = 0;
                std::memcpy(&id, bytes + 6 + i * 14 + 12, sizeof(id));
                CHECK(owners.count(id) == 0);
                owners[id] = group;
            }
        }
        FreeLibrary(program);
    }
}
