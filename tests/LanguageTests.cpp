// Language modules, the choose-language dialog, Language.ini and help files.
#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/TestPaths.h"
#include "app/startup/ClDebugString.h"
#include "app/language/ClTarnwickChooseLangDlg.h"
#include "app/language/HelpFile.h"
#include "app/language/LanguageModuleList.h"
#include "app/language/LanguageSettings.h"
#include "app/language/ResourceModule.h"
#include "app/res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// A scratch program folder with language modules and help pages.
class ProgramFolder {
public:
    ProgramFolder()
    {
        root = TestPaths::MakeScratchFolder("lang") + "\\";
        CreateDirectoryA((root + "Language").c_str(), nullptr);
        CreateDirectoryA((root + "Doc").c_str(), nullptr);
    }
    ~ProgramFolder()
    {
        for (HMODULE module : loaded) FreeLibrary(module);
        TestPaths::RemoveTree(root.substr(0, root.size() - 1));
    }
    void AddModule(const std::string& source, const std::string& name)
    {
        REQUIRE(CopyFileA((TestPaths::BinFolder() + source).c_str(), (root + "Language\\" + name).c_str(), FALSE));
    }
    void AddAllModules()
    {
        AddModule("Language\\German_tarnwick.lang", "German_tarnwick.lang");
        AddModule("testplugins\\tw-lang-07ff.dll", "x07ff_tarnwick.lang");
        AddModule("testplugins\\tw-lang-noicon.dll", "french_tarnwick.lang");
    }
    void AddPage(const char* name) { TestPaths::WriteFile(root + "Doc\\" + name, "<html></html>", 13); }
    HMODULE Load(const std::string& name)
    {
        HMODULE module = LoadLibraryA((root + "Language\\" + name).c_str());
        if (module) loaded.push_back(module);
        return module;
    }
    std::string root;
    std::vector<HMODULE> loaded;
};

// A module's resources without running it.
class DataModule {
public:
    explicit DataModule(const std::string& path) : module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~DataModule()
    {
        if (module) FreeLibrary(module);
    }
    HMODULE module;
};

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR context)
{
    auto* names = reinterpret_cast<std::vector<std::string>*>(context);
    if (IS_INTRESOURCE(name)) names->push_back("#" + std::to_string(reinterpret_cast<uintptr_t>(name)));
    else names->push_back(name);
    return TRUE;
}

std::vector<std::string> ResourceNames(HMODULE module, LPCSTR type)
{
    std::vector<std::string> names;
    EnumResourceNamesA(module, type, &CollectName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

std::map<UINT, std::wstring> Strings(HMODULE module)
{
    std::map<UINT, std::wstring> strings;
    for (const std::string& block : ResourceNames(module, reinterpret_cast<LPCSTR>(RT_STRING))) {
        const UINT first = (static_cast<UINT>(std::stoul(block.substr(1))) - 1) * 16;
        for (UINT id = first; id < first + 16; ++id) {
            wchar_t text[1024] = {};
            const int length = LoadStringW(module, id, text, 1024);
            if (length > 0) strings[id] = std::wstring(text, static_cast<size_t>(length));
        }
    }
    return strings;
}

// The printf conversions of a text, in order ("%s %d %08X").
std::string Conversions(const std::wstring& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') continue;
        if (i + 1 < text.size() && text[i + 1] == L'%') {
            ++i;
            continue;
        }
        std::string spec = "%";
        for (++i; i < text.size(); ++i) {
            spec += static_cast<char>(text[i]);
            if (wcschr(L"diouxXcsSpeEfgGn", text[i])) break;
        }
        out += spec + " ";
    }
    return out;
}

// A menu's shape: depth, command id or pop-up, separators.
void MenuShape(HMENU menu, int depth, std::vector<std::string>& out, std::vector<std::wstring>* texts)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_TYPE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        REQUIRE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        std::string entry = std::to_string(depth) + ":";
        if (info.fType & MFT_SEPARATOR) entry += "-";
        else if (info.hSubMenu) entry += "popup";
        else entry += std::to_string(info.wID);
        out.push_back(entry);
        if (texts && !(info.fType & MFT_SEPARATOR)) texts->push_back(text);
        if (info.hSubMenu) MenuShape(info.hSubMenu, depth + 1, out, texts);
    }
}

// Control ids of a dialog template (DIALOG or DIALOGEX), read within its size.
class DialogIds {
public:
    // ids: the controls' ids; icons: resource numbers static controls show.
    static bool Read(HMODULE module, const std::string& name, std::vector<int>& ids, std::vector<int>* icons = nullptr)
    {
        LPCSTR id = name[0] == '#' ? MAKEINTRESOURCEA(std::stoul(name.substr(1))) : name.c_str();
        HRSRC resource = FindResourceA(module, id, reinterpret_cast<LPCSTR>(RT_DIALOG));
        if (!resource) return false;
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
        const size_t size = SizeofResource(module, resource);
        if (!data || size < 26) return false;
        DialogIds reader(data, size);
        return reader.Parse(ids, icons);
    }

private:
    DialogIds(const BYTE* data, size_t size) : data(data), size(size) {}
    bool Word(WORD& value)
    {
        if (offset + 2 > size) return false;
        value = static_cast<WORD>(data[offset] | (data[offset + 1] << 8));
        offset += 2;
        return true;
    }
    bool Dword(DWORD& value)
    {
        WORD low, high;
        if (!Word(low) || !Word(high)) return false;
        value = low | (static_cast<DWORD>(high) << 16);
        return true;
    }
    bool Skip(size_t count)
    {
        if (offset + count > size) return false;
        offset += count;
        return true;
    }
    bool SkipSzOrOrd(WORD* ordinal = nullptr)
    {
        WORD first;
        if (!Word(first)) return false;
        if (first == 0xFFFF) return ordinal ? Word(*ordinal) : Skip(2);
        for (WORD c = first; c != 0;)
            if (!Word(c)) return false;
        return true;
    }
    void Align()
    {
        offset = (offset + 3) & ~static_cast<size_t>(3);
    }
    bool Parse(std::vector<int>& ids, std::vector<int>* icons)
    {
        WORD version, signature, count;
        DWORD style;
        if (!Word(version) || !Word(signature)) return false;
        const bool extended = version == 1 && signature == 0xFFFF;
        offset = 0;
        if (extended) {
            if (!Skip(4 + 4 + 4) || !Dword(style) || !Word(count) || !Skip(8)) return false;
        } else {
            if (!Dword(style) || !Skip(4) || !Word(count) || !Skip(8)) return false;
        }
        if (!SkipSzOrOrd() || !SkipSzOrOrd() || !SkipSzOrOrd()) return false;
        if (style & DS_SETFONT) {
            if (!Skip(extended ? 6 : 2) || !SkipSzOrOrd()) return false;
        }
        for (WORD i = 0; i < count; ++i) {
            Align();
            DWORD id;
            if (extended) {
                if (!Skip(12 + 8) || !Dword(id)) return false;
            } else {
                WORD shortId;
                if (!Skip(8 + 8) || !Word(shortId)) return false;
                id = shortId;
            }
            WORD extra;
            WORD windowClass = 0, title = 0;
            if (!SkipSzOrOrd(&windowClass) || !SkipSzOrOrd(&title) || !Word(extra) || !Skip(extra)) return false;
            ids.push_back(static_cast<int>(static_cast<short>(id)));
            if (icons && windowClass == 0x0082 && title) icons->push_back(title);
        }
        return true;
    }

    const BYTE* data;
    size_t size;
    size_t offset = 0;
};

// What the choose-language dialog showed, read while it runs.
struct DialogVisit {
    int pick;       // item to choose, -1: Cancel
    bool visited = false;
    std::vector<std::string> texts;
    std::vector<int> images;
    int selected = -1;
    int imageCount = 0;
    std::string caption;
};
DialogVisit* g_dialogVisit = nullptr;

void CALLBACK VisitDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    for (const char* title : {"Choose Language", "Sprache w\xE4hlen"})
        if (!dialog) dialog = FindWindowA(nullptr, title);
    if (!dialog || !g_dialogVisit || g_dialogVisit->visited) return;
    KillTimer(nullptr, timer);
    DialogVisit& visit = *g_dialogVisit;
    visit.visited = true;
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof(caption));
    visit.caption = caption;
    HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_LIST);
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        visit.texts.push_back(text);
        visit.images.push_back(item.iImage);
    }
    visit.selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(combo, CBEM_GETIMAGELIST, 0, 0));
    visit.imageCount = images ? ImageList_GetImageCount(images) : -1;
    if (visit.pick >= 0) {
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(visit.pick), 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    } else {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

INT_PTR RunChooser(ClTarnwickChooseLangDlg& dialog, DialogVisit& visit)
{
    g_dialogVisit = &visit;
    SetTimer(nullptr, 0, 50, &VisitDialog);
    const INT_PTR result = dialog.DoModal(nullptr);
    g_dialogVisit = nullptr;
    return result;
}

int IndexOfText(const std::vector<std::string>& texts, const std::string& text)
{
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return static_cast<int>(i);
    return -1;
}

// Closes the next "Help file not found!" box and keeps its text.
std::string g_boxText;
void CALLBACK CloseHelpBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA("#32770", "Tarnwick 2.6");
    if (!box) return;
    KillTimer(nullptr, timer);
    char text[128] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    g_boxText = text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_SUITE("languages")
{
    TEST_CASE("the German module carries the program's strings, menus and dialogs under the same ids")
    {
        DataModule own(TestPaths::BinFolder() + "tarnwick.exe");
        DataModule german(TestPaths::BinFolder() + "Language\\German_tarnwick.lang");
        REQUIRE(own.module);
        REQUIRE(german.module);

        const std::map<UINT, std::wstring> english = Strings(own.module);
        const std::map<UINT, std::wstring> deutsch = Strings(german.module);
        CHECK(english.size() >= 234);
        for (const auto& entry : english) {
            CAPTURE(entry.first);
            REQUIRE(deutsch.count(entry.first) == 1);
            CHECK(Conversions(deutsch.at(entry.first)) == Conversions(entry.second));
        }
        for (const auto& entry : deutsch) {
            CAPTURE(entry.first);
            CHECK(english.count(entry.first) == 1);
        }
        CHECK(deutsch.at(2) == L"Prozesse");

        const std::vector<std::string> menus = ResourceNames(own.module, reinterpret_cast<LPCSTR>(RT_MENU));
        CHECK(menus.size() == 7);
        CHECK(ResourceNames(german.module, reinterpret_cast<LPCSTR>(RT_MENU)) == menus);
        for (const std::string& name : menus) {
            CAPTURE(name);
            const UINT id = static_cast<UINT>(std::stoul(name.substr(1)));
            HMENU ownMenu = LoadMenuA(own.module, MAKEINTRESOURCEA(id));
            HMENU germanMenu = LoadMenuA(german.module, MAKEINTRESOURCEA(id));
            std::vector<std::string> ownShape, germanShape;
            std::vector<std::wstring> ownTexts, germanTexts;
            MenuShape(ownMenu, 0, ownShape, &ownTexts);
            MenuShape(germanMenu, 0, germanShape, &germanTexts);
            CHECK(germanShape == ownShape);
            if (id == IDR_MAINMENU) {
                CHECK(germanTexts.front() == L"&Datei");
                CHECK(germanTexts != ownTexts);
            }
            DestroyMenu(ownMenu);
            DestroyMenu(germanMenu);
        }

        // Every dialog of the program has a German template with the same controls.
        const std::vector<std::string> dialogs = ResourceNames(own.module, reinterpret_cast<LPCSTR>(RT_DIALOG));
        CHECK(!dialogs.empty());
        for (const std::string& name : dialogs) {
            CAPTURE(name);
            std::vector<int> ownIds, germanIds, icons;
            REQUIRE(DialogIds::Read(own.module, name, ownIds));
            REQUIRE(DialogIds::Read(german.module, name, germanIds, &icons));
            CHECK(std::multiset<int>(germanIds.begin(), germanIds.end())
                  == std::multiset<int>(ownIds.begin(), ownIds.end()));
            // Pictures a template names load from the module that holds it.
            for (int icon : icons) {
                CAPTURE(icon);
                CHECK(FindResourceA(german.module, MAKEINTRESOURCEA(icon), reinterpret_cast<LPCSTR>(RT_GROUP_ICON)));
            }
        }
    }

    TEST_CASE("menus and dialogs missing in a module come from the program")
    {
        ProgramFolder folder;
        folder.AddAllModules();
        HMODULE own = GetModuleHandleA(nullptr);
        HMODULE french = folder.Load("french_tarnwick.lang");
        HMODULE german = folder.Load("German_tarnwick.lang");
        REQUIRE(french);
        REQUIRE(german);
        CHECK(ResourceModule::ForMenu(french, own, IDR_MAINMENU) == own);
        CHECK(ResourceModule::ForMenu(german, own, IDR_MAINMENU) == german);
        CHECK(ResourceModule::ForDialog(french, own, ClTarnwickChooseLangDlg::kTemplate) == own);
        CHECK(ResourceModule::ForDialog(german, own, ClTarnwickChooseLangDlg::kTemplate) == german);
        CHECK(ResourceModule::ForDialog(nullptr, own, ClTarnwickChooseLangDlg::kTemplate) == own);
    }

    TEST_CASE("the choose-language dialog: English, installed languages, their flags, the choice")
    {
        ProgramFolder folder;
        folder.AddAllModules();
        HMODULE german = folder.Load("German_tarnwick.lang");
        HINSTANCE self = GetModuleHandleA(nullptr);

        {
            ClTarnwickChooseLangDlg dialog(self, german, folder.root);
            DialogVisit visit;
            visit.pick = -1;
            CHECK(RunChooser(dialog, visit) == 0);
            REQUIRE(visit.visited);
            CHECK(visit.caption == "Choose Language");
            // English, French (installed, no icon), German; never the 0x07FF module.
            REQUIRE(visit.texts.size() == 3);
            CHECK(visit.texts[0] == "English");
            CHECK(visit.images[0] == 0);
            const int deutsch = IndexOfText(visit.texts, "Deutsch");
            REQUIRE(deutsch > 0);
            CHECK(visit.selected == deutsch);
            // One picture per module found, placeholders included.
            CHECK(visit.imageCount == 4);
            std::set<int> images(visit.images.begin(), visit.images.end());
            CHECK(images.size() == 3);
            for (int image : visit.images) CHECK(image < 4);
        }
        {
            ClTarnwickChooseLangDlg dialog(self, self, folder.root);
            DialogVisit visit;
            visit.pick = 0;
            CHECK(RunChooser(dialog, visit) == 1);
            CHECK(visit.selected == 0);
            CHECK(std::string(dialog.GetChosenModulePath()).empty());
        }
        {
            ClTarnwickChooseLangDlg dialog(self, self, folder.root);
            DialogVisit visit;
            visit.pick = 2;
            CHECK(RunChooser(dialog, visit) == 1);
            REQUIRE(visit.texts.size() == 3);
            const std::string chosen = dialog.GetChosenModulePath();
            const std::string expected = visit.texts[2] == "Deutsch" ? "german_tarnwick.lang" : "french_tarnwick.lang";
            std::string lower = chosen;
            for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            CHECK(lower.size() > expected.size());
            CHECK(lower.substr(lower.size() - expected.size()) == expected);
        }
        {
            ProgramFolder empty;
            RemoveDirectoryA((empty.root + "Language").c_str());
            ClTarnwickChooseLangDlg dialog(self, self, empty.root);
            DialogVisit visit;
            visit.pick = -1;
            CHECK(RunChooser(dialog, visit) == 0);
            CHECK(visit.texts == std::vector<std::string>{"English"});
        }
    }

    TEST_CASE("the languages survey says what the dialog lists")
    {
        ProgramFolder folder;
        folder.AddAllModules();
        TestPaths::WriteFile(folder.root + "Language\\broken_tarnwick.lang", "MZ", 2);
        DebugCapture capture;
        const std::vector<LanguageModuleList::File> files = LanguageModuleList(folder.root).Survey();
        std::map<std::string, LanguageModuleList::File> byName;
        for (const LanguageModuleList::File& file : files) byName[file.strName] = file;
        REQUIRE(files.size() == 4);
        CHECK(byName["German_tarnwick.lang"].status == LanguageModuleList::Listed);
        CHECK(byName["German_tarnwick.lang"].wLanguageId == 0x0407);
        CHECK(byName["German_tarnwick.lang"].strNativeName == "Deutsch");
        CHECK(byName["x07ff_tarnwick.lang"].status == LanguageModuleList::NotInstalled);
        CHECK(byName["x07ff_tarnwick.lang"].wLanguageId == 0x07FF);
        CHECK(byName["french_tarnwick.lang"].status == LanguageModuleList::Listed);
        CHECK(byName["broken_tarnwick.lang"].status == LanguageModuleList::Invalid);
    }

    TEST_CASE("Language.ini: written choice, and only a usable module counts at start")
    {
        ProgramFolder folder;
        folder.AddAllModules();
        LanguageSettings settings(folder.root);
        ClDebugString trace;
        trace.enable(true);
        DebugCapture capture;
        CHECK(settings.WriteModuleName("German_tarnwick.lang", &trace));
        REQUIRE(capture.Lines().size() == 1);
        CHECK(capture.Lines()[0] == "\"" + folder.root + "Language\\Language.ini\" written successfully!\n");
        CHECK(settings.ReadModuleName() == "German_tarnwick.lang");
        HMODULE chosen = settings.LoadChosenModule();
        REQUIRE(chosen);
        CHECK(chosen == GetModuleHandleA((folder.root + "Language\\German_tarnwick.lang").c_str()));
        FreeLibrary(chosen);

        for (const char* bad : {"..\\Language\\German_tarnwick.lang", "missing_tarnwick.lang", "x07ff_tarnwick.lang",
                                "German_tarnwick.dll", "C:\\German_tarnwick.lang"}) {
            CAPTURE(bad);
            settings.WriteModuleName(bad, nullptr);
            capture.Clear();
            CHECK(settings.LoadChosenModule() == nullptr);
            REQUIRE(!capture.Lines().empty());
            CHECK(capture.Lines().back().find("not usable, using English") != std::string::npos);
        }
        settings.WriteModuleName(std::string(300, 'x') + "_tarnwick.lang", nullptr);
        CHECK(settings.LoadChosenModule() == nullptr);
        // English: nothing to load, nothing to report.
        settings.WriteModuleName("", nullptr);
        capture.Clear();
        CHECK(settings.LoadChosenModule() == nullptr);
        CHECK(capture.Lines().empty());

        LanguageSettings tooLong(std::string(250, 'a') + "\\");
        CHECK(tooLong.IniPath().empty());
        CHECK_FALSE(tooLong.WriteModuleName("", nullptr));
    }

    TEST_CASE("help: the interface language's page, else English, else the message")
    {
        ProgramFolder folder;
        CHECK(HelpFile::Find(folder.root, 0x0407).empty());
        folder.AddPage("en_tarnwick.htm");
        CHECK(HelpFile::Find(folder.root, 0x0407) == folder.root + "Doc\\en_tarnwick.htm");
        folder.AddPage("de_tarnwick.htm");
        CHECK(HelpFile::Find(folder.root, 0x0407) == folder.root + "Doc\\de_tarnwick.htm");
        CHECK(HelpFile::Find(folder.root, 0x0807) == folder.root + "Doc\\de_tarnwick.htm");
        CHECK(HelpFile::Find(folder.root, 0x0409) == folder.root + "Doc\\en_tarnwick.htm");
        CHECK(HelpFile::Find(folder.root, 0x040C) == folder.root + "Doc\\en_tarnwick.htm");

        char buffer[520];
        CHECK(HelpFile::GetHelpFile(folder.root, buffer, sizeof(buffer), 0x0407, nullptr)
              == static_cast<int>(folder.root.size() + 19));
        CHECK(std::string(buffer) == folder.root + "Doc\\de_tarnwick.htm");
        // A buffer too small for the path: the path counts as missing.
        g_boxText.clear();
        SetTimer(nullptr, 0, 50, &CloseHelpBox);
        CHECK(HelpFile::GetHelpFile(folder.root, buffer, 10, 0x0407, nullptr) == -1);
        CHECK(g_boxText == "Help file not found!");
        CHECK(buffer[0] == '\0');

        ProgramFolder none;
        g_boxText.clear();
        SetTimer(nullptr, 0, 50, &CloseHelpBox);
        CHECK(HelpFile::GetHelpFile(none.root, buffer, sizeof(buffer), 0x0409, nullptr) == -1);
        CHECK(g_boxText == "Help file not found!");

        // The shipped pages.
        CHECK(HelpFile::Find(TestPaths::BinFolder(), 0x0407) == TestPaths::BinFolder() + "Doc\\de_tarnwick.htm");
        CHECK(HelpFile::Find(TestPaths::BinFolder(), 0x0409) == TestPaths::BinFolder() + "Doc\\en_tarnwick.htm");
    }
}
