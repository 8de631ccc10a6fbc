#include <doctest/doctest.h>

#include "tests/TestPaths.h"
#include "app/menus/StringTable.h"
#include "app/startup/ClDebugString.h"
#include "app/settings/UserSettingsFile.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ServiceList.h"
#include "views/ItemBuilder.h"
#include "views/ModuleColumns.h"
#include "views/ModuleView.h"
#include "views/ProcessColumns.h"
#include "views/ProcessView.h"
#include "views/TreeNesting.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"
#include "views/ViewSort.h"

#include <string>
#include <vector>

namespace {

std::string Arrangement(const std::vector<TreeNesting::Node>& nodes, bool nested)
{
    // "pid@depth" per row, in tree order.
    std::string out;
    for (const TreeNesting::Row& row : TreeNesting::Arrange(nodes, nested)) {
        if (!out.empty()) out += ' ';
        out += std::to_string(nodes[row.nIndex].dwPid) + "@" + std::to_string(row.nDepth);
    }
    return out;
}

ModuleItem Module(const char* name, uint32_t order, bool relocated, bool dynamic)
{
    ModuleItem item;
    item.strName = name;
    item.dwLoadOrder = order;
    item.bRelocated = relocated;
    item.bDynamic = dynamic;
    return item;
}

std::string Names(const std::vector<ModuleItem>& items, uint32_t mode, bool ascending)
{
    std::vector<const ModuleItem*> rows;
    for (const ModuleItem& item : items) rows.push_back(&item);
    std::string out;
    for (size_t index : ViewSort::Order(
             rows, [mode](const ModuleItem& a, const ModuleItem& b) { return ModuleColumns::Compare(a, b, 0, mode); },
             ascending)) {
        if (!out.empty()) out += ' ';
        out += items[index].strName;
    }
    return out;
}

// A plain report list in a hidden window, for the views' list code.
class HiddenList {
public:
    HiddenList()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 400, 300, parent, nullptr, nullptr,
                               nullptr);
    }
    ~HiddenList() { DestroyWindow(parent); }
    // Item names in row order.
    std::string Rows() const
    {
        std::string out;
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LVITEMA item = {};
            item.mask = LVIF_PARAM;
            item.iItem = i;
            SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if (!out.empty()) out += ' ';
            out += ModuleView::FromParam(item.lParam)->strName;
        }
        return out;
    }
    HWND parent;
    HWND list;
};

ModuleRecord Record(const char* name, uint32_t order, uint32_t base, uint32_t preferred)
{
    ModuleRecord record;
    record.strName = name;
    record.strPath = std::string("C:\\nowhere\\") + name;
    record.dwLoadOrder = order;
    record.dwBaseAddress = base;
    record.dwPreferredBase = preferred;
    return record;
}

} // namespace

TEST_SUITE("views")
{
    TEST_CASE("process tree nesting: earlier parents only, self-parents and flat lists")
    {
        // 8 is the parent of 12; 20 names 4 as parent, but 4 was enumerated later
        // (the id was reused by a younger process): 20 stays at the top.
        const std::vector<TreeNesting::Node> nodes = {
            {0, 0, 0},   {8, 0, 1},   {20, 4, 2},  {12, 8, 3}, {4, 8, 5},
            {16, 12, 6}, {24, 24, 7}, {28, 12, 8}, {32, 99, 9},
        };
        CHECK(Arrangement(nodes, true) == "0@0 8@1 12@2 16@3 28@3 4@2 20@0 24@0 32@0");
        CHECK(Arrangement(nodes, false) == "0@0 8@0 20@0 12@0 4@0 16@0 24@0 28@0 32@0");

        // A process that is its own parent is at the top; the idle process (0, 0) too.
        CHECK(Arrangement({{0, 0, 0}, {4, 4, 1}}, true) == "0@0 4@0");
        // Every node exactly once even with an id twice in the list.
        CHECK(Arrangement({{1, 0, 0}, {2, 1, 1}, {2, 1, 2}, {3, 2, 3}}, true) == "1@0 2@1 3@2 2@1");
        // A long chain does not exhaust the stack.
        std::vector<TreeNesting::Node> chain;
        for (uint32_t i = 1; i <= 5000; ++i) chain.push_back({i, i - 1, i});
        const auto rows = TreeNesting::Arrange(chain, true);
        REQUIRE(rows.size() == 5000);
        CHECK(rows.back().nDepth == 4999);
    }

    TEST_CASE("column sets per family, visible flags and the always-shown first column")
    {
        UserSettings settings;
        UserSettingsFile::SetDefaults(settings);
        const auto nt = ProcessColumns::Table().ShownColumns(settings.aProcessColumns, true);
        CHECK(nt == std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
        // Owner, Handles, Created and Commandline never on the 9x family.
        const auto win9x = ProcessColumns::Table().ShownColumns(settings.aProcessColumns, false);
        CHECK(win9x == std::vector<uint32_t>{0, 1, 2, 7, 9, 3, 4, 5});

        settings.aProcessColumns[0].bVisible = 0;
        settings.aProcessColumns[2].bVisible = 0;
        settings.aProcessColumns[11].bVisible = 0;
        CHECK(ProcessColumns::Table().ShownColumns(settings.aProcessColumns, true)
              == std::vector<uint32_t>{0, 1, 3, 4, 5, 6, 7, 8, 9, 10});

        const auto modules = ModuleColumns::Table().ShownColumns(settings.aModuleColumns, false);
        CHECK(modules == std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8});
        // Headers and alignment.
        CHECK(ProcessColumns::Table().Find(1)->nHeaderString == 9);
        CHECK(ProcessColumns::Table().Find(1)->align == ColumnAlign::Right);
        CHECK(ModuleColumns::Table().Find(6)->nHeaderString == 15);
        CHECK(ModuleColumns::Table().Find(6)->align == ColumnAlign::Right);
        CHECK(ModuleColumns::Table().Find(9) == nullptr);
    }

    TEST_CASE("comparisons: extensions, numbers, times, and the five module orders both ways")
    {
        CHECK(ModuleColumns::Extension("a.b.DLL") == ".DLL");
        CHECK(ModuleColumns::Extension("noext") == "");
        CHECK(ModuleColumns::Extension("dir.d\\file") == "");
        CHECK(ViewSort::CompareText("abc", "ABD") < 0);
        CHECK(ViewSort::CompareText("Kernel32", "kernel32") == 0);
        // Lower-case folding: "_" sorts before letters, as with _stricmp.
        CHECK(ViewSort::CompareText("a_b", "aAb") < 0);

        ProcessItem low, high;
        low.dwPid = 8;
        high.dwPid = 0x80000000u;
        CHECK(ProcessColumns::Compare(low, high, ProcessColumns::Pid) < 0);
        low.ftCreated = {5, 1};
        high.ftCreated = {1, 2};
        CHECK(ProcessColumns::Compare(low, high, ProcessColumns::Created) < 0);

        const std::vector<ModuleItem> modules = {
            Module("zeta.dll", 3, false, false), Module("Beta.DLL", 2, true, false),
            Module("app.exe", 0, false, false),  Module("alpha.drv", 4, true, true),
            Module("gamma.dll", 1, false, true),
        };
        CHECK(Names(modules, ModuleColumns::ByName, true) == "alpha.drv app.exe Beta.DLL gamma.dll zeta.dll");
        CHECK(Names(modules, ModuleColumns::ByName, false) == "zeta.dll gamma.dll Beta.DLL app.exe alpha.drv");
        // Equal extensions keep their list order (reversed when descending).
        CHECK(Names(modules, ModuleColumns::ByExtension, true) == "zeta.dll Beta.DLL gamma.dll alpha.drv app.exe");
        CHECK(Names(modules, ModuleColumns::ByLoadOrder, true) == "app.exe gamma.dll Beta.DLL zeta.dll alpha.drv");
        CHECK(Names(modules, ModuleColumns::ByRelocation, true) == "app.exe gamma.dll zeta.dll alpha.drv Beta.DLL");
        CHECK(Names(modules, ModuleColumns::ByRelocation, false) == "Beta.DLL alpha.drv zeta.dll gamma.dll app.exe");
        CHECK(Names(modules, ModuleColumns::ByDynamicLoad, true) == "app.exe Beta.DLL zeta.dll alpha.drv gamma.dll");
        CHECK(Names(modules, ModuleColumns::ByDynamicLoad, false) == "gamma.dll alpha.drv zeta.dll Beta.DLL app.exe");

        uint32_t mode = 99;
        CHECK(ModuleColumns::ModeFromCommand(40078, mode));
        CHECK(mode == ModuleColumns::ByLoadOrder);
        CHECK_FALSE(ModuleColumns::ModeFromCommand(40079, mode));
        CHECK(ModuleColumns::ModeFromName("relocated", mode));
        CHECK(mode == ModuleColumns::ByRelocation);
        CHECK(ModuleColumns::MenuPosition(ModuleColumns::ByLoadOrder) == 2);
        CHECK(ModuleColumns::MenuPosition(ModuleColumns::ByRelocation) == 3);
    }

    TEST_CASE("module list: header clicks, sort-mode commands and the hidden sort column")
    {
        UserSettings settings;
        UserSettingsFile::SetDefaults(settings);
        ValueFormatter formatter(settings, true);
        FileFactsCache cache;
        ViewImages images;
        REQUIRE(images.Create(GetModuleHandleA(nullptr)));
        ClDebugString debug;
        ModuleView view(settings, formatter, cache, images, debug);
        // No executable among them: nothing counts as dynamically loaded.
        view.Build({Record("b.dll", 0, 0x10000000, 0x10000000), Record("a.drv", 1, 0x20000000, 0x30000000),
                    Record("c.dll", 2, 0x40000000, 0x40000000)},
                   nullptr, 0);
        for (const auto& item : view.Items()) CHECK_FALSE(item->bDynamic);
        CHECK(view.Items()[1]->nImage == ViewImages::kRelocated);
        CHECK(view.Items()[0]->nImage == ViewImages::kModule);

        HiddenList host;
        view.SetupColumns(host.list);
        view.FillList(host.list);
        CHECK(host.Rows() == "a.drv b.dll c.dll");

        // Size (list position 6) ascending, then the same header descending.
        view.SortByClick(host.list, 6);
        CHECK(settings.ssModuleSort.nSortColumn == ModuleColumns::Size);
        CHECK(settings.ssModuleSort.bAscending == 1);
        view.SortByClick(host.list, 6);
        CHECK(settings.ssModuleSort.bAscending == 0);
        // "Load Order" while sorted by Size: the Module column, ascending.
        view.SetMode(host.list, ModuleColumns::ByLoadOrder);
        CHECK(settings.ssModuleSort.nSortColumn == ModuleColumns::Name);
        CHECK(settings.ssModuleSort.bAscending == 1);
        CHECK(host.Rows() == "b.dll a.drv c.dll");
        // The Module header again flips; a mode command then keeps the direction.
        view.SortByClick(host.list, 0);
        CHECK(host.Rows() == "c.dll a.drv b.dll");
        view.SetMode(host.list, ModuleColumns::ByRelocation);
        CHECK(settings.ssModuleSort.bAscending == 0);
        CHECK(host.Rows() == "a.drv c.dll b.dll");
        view.SetMode(host.list, ModuleColumns::ByRelocation);
        CHECK(settings.ssModuleSort.bAscending == 0);

        // A hidden sort column falls back to the first one, ascending.
        settings.ssModuleSort.nSortColumn = ModuleColumns::Location;
        settings.ssModuleSort.nSortMode = ModuleColumns::ByName;
        settings.aModuleColumns[ModuleColumns::Location].bVisible = 0;
        HiddenList second;
        view.SetupColumns(second.list);
        view.FillList(second.list);
        CHECK(settings.ssModuleSort.nSortColumn == ModuleColumns::Name);
        CHECK(settings.ssModuleSort.bAscending == 1);
        CHECK(second.Rows() == "a.drv b.dll c.dll");
        CHECK(view.Columns().Count() == 8);
        CHECK(settings.aModuleColumns[ModuleColumns::BaseAddress].dwRuntime == 1);
    }
}

TEST_SUITE("views")
{
    TEST_CASE("info tips and messages: a language module's texts that do not fit their arguments give way")
    {
        // tw-lang-hostile: "PID %s" for 73 and 74, "%s%s%s%n" for 54, 55, 75 and 187.
        HMODULE hostile = LoadLibraryA((TestPaths::BinFolder() + "testplugins\\tw-lang-hostile.dll").c_str());
        REQUIRE(hostile);
        StringTable::SetResourceModule(hostile);
        REQUIRE(StringTable::Load(73) == "PID %s");

        UserSettings settings;
        UserSettingsFile::SetDefaults(settings);
        FileFactsCache cache;
        ViewImages images;
        REQUIRE(images.Create(GetModuleHandleA(nullptr)));
        ClDebugString debug;
        ProcessItem process;
        process.strName = "a.exe";
        process.dwPid = 0x1234;
        process.strDescription = "Tool %n %s";
        process.strPath = "C:\\x\\a.exe";
        ModuleItem module;
        module.strLocation = "C:\\x\\b.dll";
        module.strDescription = "Lib";
        for (bool nt : {true, false}) {
            CAPTURE(nt);
            ValueFormatter formatter(settings, nt);
            ProcessView processes(settings, formatter, cache, images);
            CHECK(processes.InfoTip(process)
                  == (nt ? "a.exe - [PID: 4660]\r\nDescription: Tool %n %s\r\nFile name: C:\\x\\a.exe"
                         : "a.exe - [PID: 0x00001234]\r\nDescription: Tool %n %s\r\nFile name: C:\\x\\a.exe"));
            ModuleView modules(settings, formatter, cache, images, debug);
            CHECK(modules.InfoTip(module) == "C:\\x\\b.dll\r\nDescription: Lib");
        }
        CHECK(StringTable::Format(55, {"Tool"}) == "Failed to start \"Tool\" !");
        CHECK(StringTable::Format(54, {"Tool"}) == "Do you really want to delete \"Tool\" ?");
        CHECK(StringTable::FormatOwn(187, {"r_files", "Access denied."})
              == "Could not create folder 'r_files'.\nError: Access denied.");

        // The German texts fit and are used.
        HMODULE german = LoadLibraryA((TestPaths::BinFolder() + "Language\\German_tarnwick.lang").c_str());
        REQUIRE(german);
        StringTable::SetResourceModule(german);
        ValueFormatter formatter(settings, true);
        ProcessView processes(settings, formatter, cache, images);
        CHECK(processes.InfoTip(process) == "a.exe - [PID: 4660]\r\nBeschreibung: Tool %n %s\r\nDateiname: C:\\x\\a.exe");
        CHECK(StringTable::Format(55, {"Tool"}) == "\"Tool\" konnte nicht gestartet werden!");
        StringTable::SetResourceModule(nullptr);
        FreeLibrary(german);
        FreeLibrary(hostile);
    }

    TEST_CASE("a process seen before keeps its file facts; a new one with the same id does not")
    {
        UserSettings settings;
        UserSettingsFile::SetDefaults(settings);
        ValueFormatter formatter(settings, true);
        FileFactsCache cache;
        ItemBuilder builder(formatter, cache);
        ServiceList services;
        ProcessRecord record;
        record.strName = "app.exe";
        record.strPath = "C:\\nowhere\\app.exe";
        record.dwProcessId = 40;
        record.ftCreationTime.dwLowDateTime = 7;
        ProcessItem previous;
        builder.BuildProcessItem(previous, record, services, false);
        CHECK(previous.strVersion == "Not Available");
        previous.strVersion = "1.2.3.4";
        previous.strCompany = "Somebody";

        ProcessItem again;
        record.dwThreadCount = 9;
        builder.BuildProcessItem(again, record, services, false, &previous);
        CHECK(again.strVersion == "1.2.3.4");
        CHECK(again.strCompany == "Somebody");
        CHECK(again.strThreads == "9");

        // Same id, later start: another program; its file is read.
        record.ftCreationTime.dwLowDateTime = 8;
        builder.BuildProcessItem(again, record, services, false, &previous);
        CHECK(again.strVersion == "Not Available");
    }
}
