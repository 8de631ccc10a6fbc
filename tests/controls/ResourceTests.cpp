#include <doctest/doctest.h>

#include "tests/controls/ExpectedResources.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "tests/TestPaths.h"

#include <set>
#include <string>
#include <vector>

namespace {

// tarnwick.exe loaded as data: its resources without running it.
class ProgramResources {
public:
    ProgramResources()
    {
        const std::string path = TestPaths::BinFolder() + "tarnwick.exe";
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ProgramResources()
    {
        if (module) FreeLibrary(module);
    }
    HMODULE module;
};

std::wstring LoadWide(HMODULE module, UINT id)
{
    wchar_t buffer[1024] = {};
    int length = LoadStringW(module, id, buffer, 1024);
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

struct MenuEntry {
    int nDepth;
    int nId;
    std::wstring strText;
    bool bSeparator;
};

void Flatten(HMENU menu, int depth, std::vector<MenuEntry>& out)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_TYPE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        REQUIRE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        MenuEntry entry;
        entry.nDepth = depth;
        entry.bSeparator = (info.fType & MFT_SEPARATOR) != 0;
        entry.nId = entry.bSeparator ? 0 : (info.hSubMenu ? -1 : static_cast<int>(info.wID));
        entry.strText = entry.bSeparator ? std::wstring() : std::wstring(text);
        out.push_back(entry);
        if (info.hSubMenu) Flatten(info.hSubMenu, depth + 1, out);
    }
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        if (c >= 32 && c < 127) out += static_cast<char>(c);
        else {
            char code[12];
            wsprintfA(code, "\\u%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

} // namespace

TEST_SUITE("resources")
{
    TEST_CASE("every string of tarnwick.exe equals its table entry; other numbers are empty")
    {
        ProgramResources program;
        REQUIRE(program.module != nullptr);
        std::set<UINT> listed;
        for (const ExpectedString& expected : kExpectedStrings) {
            listed.insert(expected.nId);
            CAPTURE(expected.nId);
            CHECK(Narrow(LoadWide(program.module, expected.nId)) == Narrow(expected.szText));
        }
        CHECK(listed.size() == 236);
        CHECK(listed.count(52) == 0);
        for (UINT id = 0; id < 41000; ++id) {
            if (listed.count(id)) continue;
            CAPTURE(id);
            CHECK(LoadWide(program.module, id).empty());
        }
    }

    TEST_CASE("StringTable: language module first, then the program's own table, else empty")
    {
        ProgramResources program;
        REQUIRE(program.module != nullptr);
        // The test program carries the same string table as tarnwick.exe.
        CHECK(StringTable::Load(1) == "Tarnwick 2.6");
        CHECK(StringTable::Load(52).empty());
        CHECK(StringTable::Load(139) == "\tCtrl+F5");
        CHECK(StringTable::Load(65) == "Machine: %s\r\nOS: %s\r\nLocal User: %s");
        CHECK(StringTable::Load(54) == "Do you really want to delete \"%s\" ?");

        // A "language module" that lacks a string: the program's own text is used.
        const std::string library = TestPaths::BinFolder() + "OrvoSysUtils.dll";
        HMODULE withoutStrings = LoadLibraryExA(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        REQUIRE(withoutStrings != nullptr);
        StringTable::SetResourceModule(withoutStrings);
        CHECK(StringTable::Load(19) == "Not Available");
        CHECK(StringTable::Load(52).empty());
        StringTable::SetResourceModule(program.module);
        CHECK(StringTable::Load(40103) == "Find Dll");
        StringTable::SetResourceModule(nullptr);
        FreeLibrary(withoutStrings);
    }

    TEST_CASE("menus: every item with its id and text, separators and nested pop-ups")
    {
        ProgramResources program;
        REQUIRE(program.module != nullptr);
        for (const ExpectedMenu& expected : kExpectedMenus) {
            CAPTURE(expected.nId);
            HMENU menu = LoadMenuW(program.module, MAKEINTRESOURCEW(expected.nId));
            REQUIRE(menu != nullptr);
            std::vector<MenuEntry> actual;
            Flatten(menu, 0, actual);
            DestroyMenu(menu);
            REQUIRE(actual.size() == expected.nCount);
            for (size_t i = 0; i < expected.nCount; ++i) {
                const ExpectedMenuItem& item = expected.pItems[i];
                CAPTURE(i);
                CHECK(actual[i].nDepth == item.nDepth);
                CHECK(actual[i].nId == item.nId);
                CHECK(actual[i].bSeparator == (item.szText == nullptr));
                if (item.szText) CHECK(Narrow(actual[i].strText) == Narrow(item.szText));
            }
        }
    }

    TEST_CASE("menu commands have their status-bar description in the string table")
    {
        ProgramResources program;
        REQUIRE(program.module != nullptr);
        for (const ExpectedMenu& expected : kExpectedMenus)
            for (size_t i = 0; i < expected.nCount; ++i) {
                const int id = expected.pItems[i].nId;
                if (id <= 0) continue;
                CAPTURE(id);
                const bool described = !LoadWide(program.module, static_cast<UINT>(id)).empty();
                // 40085 and 40086 belong to the information windows and carry no description.
                CHECK(described == (id != ID_MODPROP_COPY && id != ID_MODPROP_SELECTALL));
            }
    }

    TEST_CASE("accelerator table 103")
    {
        ProgramResources program;
        REQUIRE(program.module != nullptr);
        HACCEL table = LoadAcceleratorsW(program.module, MAKEINTRESOURCEW(IDR_ACCELERATORS));
        REQUIRE(table != nullptr);
        ACCEL entries[64] = {};
        const int count = CopyAcceleratorTableW(table, entries, 64);
        DestroyAcceleratorTable(table);

        const BYTE ctrl = FVIRTKEY | FCONTROL | FNOINVERT;
        const BYTE alt = FVIRTKEY | FALT | FNOINVERT;
        const ACCEL expected[] = {
            {alt, '1', 40074},  {alt, '2', 40075},  {alt, '3', 40078},  {alt, '4', 40076},
            {alt, '5', 40077},  {ctrl, 'A', 40080}, {alt, 'A', 40031},  {ctrl, 'C', 40034},
            {ctrl, 'D', 40087}, {ctrl, 'E', 40103}, {ctrl, 'F', 40053}, {ctrl, 'K', 40049},
            {ctrl, 'L', 40055}, {ctrl, 'M', 40099}, {ctrl, 'O', 40054}, {ctrl, 'Q', 40039},
            {ctrl, 'R', 40050}, {ctrl, 'S', 40088}, {FVIRTKEY | FNOINVERT, VK_RETURN, 40061},
            {alt, VK_RETURN, 40062},
        };
        const int expectedCount = static_cast<int>(sizeof(expected) / sizeof(expected[0]));
        REQUIRE(count == expectedCount);
        for (int i = 0; i < count; ++i) {
            CAPTURE(i);
            CHECK(static_cast<int>(entries[i].fVirt & 0x7F) == static_cast<int>(expected[i].fVirt));
            CHECK(entries[i].key == expected[i].key);
            CHECK(entries[i].cmd == expected[i].cmd);
        }
    }

    TEST_CASE("icons, bitmaps, the PNG and the style sheet")
    {
        ProgramResources program;
        REQUIRE(program.module != nullptr);

        SUBCASE("icons at 16 x 16, the program icon also at 32 x 32")
        {
            for (int id : {IDI_TARNWICK, IDI_MODULE, IDI_PROCESS, IDI_HELP, IDI_CANCEL, IDI_OK, IDI_LANGUAGE_PROGRAM}) {
                CAPTURE(id);
                HRSRC group = FindResourceA(program.module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));
                REQUIRE(group != nullptr);
                const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(program.module, group)));
                REQUIRE(directory != nullptr);
                const WORD images = *reinterpret_cast<const WORD*>(directory + 4);
                std::set<int> sizes;
                for (WORD i = 0; i < images; ++i) sizes.insert(directory[6 + 14 * i]);
                CHECK(sizes.count(16) == 1);
                if (id == IDI_TARNWICK) CHECK(sizes.count(32) == 1);
            }
        }

        SUBCASE("bitmaps")
        {
            struct Expected {
                int nId;
                int nWidth;
                int nHeight;
            };
            for (Expected expected : {Expected{IDB_SORTARROWS, 28, 14}, Expected{IDB_TOOLBAR, 7 * 16, 16},
                                      Expected{IDB_VIEWIMAGES, 8 * 16, 16}, Expected{IDB_SPLASH, 0, 0}}) {
                CAPTURE(expected.nId);
                HBITMAP bitmap = static_cast<HBITMAP>(
                    LoadImageA(program.module, MAKEINTRESOURCEA(expected.nId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
                REQUIRE(bitmap != nullptr);
                BITMAP info = {};
                GetObjectA(bitmap, sizeof(info), &info);
                if (expected.nWidth) {
                    CHECK(info.bmWidth == expected.nWidth);
                    CHECK(info.bmHeight == expected.nHeight);
                } else {
                    CHECK(info.bmWidth >= 200);
                }
                HDC dc = CreateCompatibleDC(nullptr);
                HGDIOBJ old = SelectObject(dc, bitmap);
                if (expected.nId == IDB_SORTARROWS) {
                    // Two arrows on the mask colour: the corners are background, the middles are not.
                    CHECK(GetPixel(dc, 0, 0) == RGB(192, 192, 192));
                    CHECK(GetPixel(dc, 14, 13) == RGB(192, 192, 192));
                    CHECK(GetPixel(dc, 6, 8) != RGB(192, 192, 192));
                    CHECK(GetPixel(dc, 20, 5) != RGB(192, 192, 192));
                } else if (expected.nId != IDB_SPLASH) {
                    // Every image has the mask colour in its corner and something drawn in it.
                    for (int x = 0; x < info.bmWidth; x += 16) {
                        CAPTURE(x);
                        int drawn = 0;
                        for (int y = 0; y < 16; ++y)
                            for (int dx = 0; dx < 16; ++dx)
                                if (GetPixel(dc, x + dx, y) != RGB(255, 0, 255)) ++drawn;
                        CHECK(drawn > 40);
                    }
                }
                SelectObject(dc, old);
                DeleteDC(dc);
                DeleteObject(bitmap);
            }
        }

        SUBCASE("the search engine's 16 x 16 PNG of type RT_PNG")
        {
            HRSRC found = FindResourceA(program.module, MAKEINTRESOURCEA(IDR_PNG_SEARCH), "RT_PNG");
            REQUIRE(found != nullptr);
            const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(program.module, found)));
            REQUIRE(SizeofResource(program.module, found) > 33);
            CHECK(std::string(reinterpret_cast<const char*>(data), 8) == "\x89PNG\r\n\x1a\n");
            CHECK(std::string(reinterpret_cast<const char*>(data + 12), 4) == "IHDR");
            CHECK(data[19] == 16);   // width, big-endian
            CHECK(data[23] == 16);   // height
        }

        SUBCASE("the report style sheet, RT_CSS 227: 664 bytes, ten CR LF lines")
        {
            HRSRC found = FindResourceA(program.module, MAKEINTRESOURCEA(IDR_CSS_REPORT), "RT_CSS");
            REQUIRE(found != nullptr);
            const DWORD size = SizeofResource(program.module, found);
            CHECK(size == 664);
            const char* data = static_cast<const char*>(LockResource(LoadResource(program.module, found)));
            const std::string text(data, size);
            size_t lines = 0;
            for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
            CHECK(lines == 10);
            CHECK(text.compare(0, 11, "body       ") == 0);
            CHECK(text.substr(text.size() - 3) == "}\r\n");
        }
    }
}
