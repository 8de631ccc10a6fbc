#include <doctest/doctest.h>

#include "tests/DebugCapture.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "tests/VersionBlock.h"
#include "app/menus/StringTable.h"
#include "app/settings/UserSettingsFile.h"
#include "image/ImportClosure.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/FileVersionInfo.h"
#include "sysinfo/ModuleBasicInformation.h"
#include "sysinfo/ServiceList.h"
#include "sysinfo/TopLevelWindowList.h"
#include "sysinfo/VersionStringTables.h"
#include "views/FileIconSource.h"
#include "views/ItemBuilder.h"

#include <cstring>
#include <vector>

namespace {

UserSettings Defaults()
{
    UserSettings settings;
    UserSettingsFile::SetDefaults(settings);
    return settings;
}

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    return bytes;
}

} // namespace

TEST_SUITE("version resources")
{
    TEST_CASE("string tables of hand-built resources")
    {
        using V = VersionBlock;
        auto block = V::Root(0x00050001, 0x0A280000,
                             {V::Record(u"StringFileInfo", {}, true, 0,
                                        {V::Record(u"040904b0", {}, true, 0,
                                                   {V::String(u"CompanyName", u"Orvo"),
                                                    V::String(u"Comments", u"line one\r\nline two\r\nthree"),
                                                    V::String(u"Empty", u"")}),
                                         V::Record(u"040704E4", {}, true, 0, {V::String(u"CompanyName", u"Orvo DE")})}),
                              V::Record(u"VarFileInfo", {}, true, 0, {})});
        VersionStringTables tables;
        REQUIRE(tables.ParseBlock(block.data(), block.size()) == 2);
        CHECK(tables.dwFixed[0] == 0xFEEF04BDu);
        CHECK(tables.dwFixed[2] == 0x00050001u);
        CHECK(tables.Tables()[0].strName == "040904B0");
        CHECK(tables.Tables()[1].strName == "040704E4");
        REQUIRE(tables.Tables()[0].entries.size() == 3);
        CHECK(tables.Tables()[0].entries[1].second == "line one, line two, three");
        CHECK(tables.Tables()[0].entries[2].second.empty());
        CHECK(tables.Find("companyname") == "Orvo");  // the first table wins
        CHECK(tables.Find("Empty").empty());
        char small[4];
        CHECK_FALSE(tables.Find("CompanyName", small, 4));  // "Orvo" needs 5 bytes: next table's is longer still
        CHECK_FALSE(tables.Find(nullptr, small, 4));

        // Cut anywhere: what was read before the cut stays, nothing faults.
        for (size_t length = 0; length < block.size(); ++length) {
            std::vector<uint8_t> cut(block.begin(), block.begin() + length);
            VersionStringTables partial;
            CHECK(partial.ParseBlock(cut.data(), cut.size()) <= 2);
        }
        // A corrupt length in the middle of the tables.
        std::vector<uint8_t> corrupt = block;
        corrupt[corrupt.size() / 2] = 0xFF;
        corrupt[corrupt.size() / 2 + 1] = 0xFF;
        VersionStringTables broken;
        broken.ParseBlock(corrupt.data(), corrupt.size());
        CHECK(broken.Tables().size() <= 2);
    }

    TEST_CASE("the two readers agree on the libraries of the Wine installation")
    {
        const std::string folder = "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\";
        int compared = 0;
        for (const char* name : {"version.dll", "kernel32.dll", "user32.dll", "comctl32.dll", "shell32.dll",
                                 "explorer.exe", "notepad.exe", "msvcrt.dll"}) {
            CAPTURE(name);
            const std::string path = folder + name;
            FileVersionInfo info;
            VersionStringTables tables;
            const bool has = info.Load(path.c_str());
            const uint32_t count = tables.Parse(path.c_str());
            CHECK(has == (count > 0));
            if (!has) continue;
            for (const char* key : {"FileVersion", "FileDescription", "CompanyName", "ProductName"}) {
                CAPTURE(key);
                CHECK(info.QueryString(key) == tables.Find(key));
            }
            CHECK(std::memcmp(info.dwFixed, tables.dwFixed, sizeof(info.dwFixed)) == 0);
            ++compared;
        }
        CHECK(compared >= 5);

        FileVersionInfo none;
        CHECK_FALSE(none.Load((TestPaths::BinFolder() + "tw-helper.exe").c_str()));
        CHECK(none.wLanguage == 0x0400);
        CHECK(none.wCodePage == 0x04E4);
        CHECK(none.QueryString("FileVersion").empty());
    }

    TEST_CASE("version texts: strings, the fixed version, and nothing")
    {
        const std::string na = "Not Available";
        VersionTexts wine = FileFactsCache::ReadVersionTexts(
            "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\explorer.exe", true, na);
        CHECK(wine.strDescription == "Wine Explorer");
        CHECK(wine.strCompany == "Microsoft Corporation");
        CHECK(wine.strVersion != na);
        VersionTexts nine = FileFactsCache::ReadVersionTexts(
            "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\explorer.exe", false, na);
        CHECK(nine.strDescription == wine.strDescription);
        CHECK(nine.strVersion == wine.strVersion);

        VersionTexts none = FileFactsCache::ReadVersionTexts(TestPaths::BinFolder() + "tw-helper.exe", true, na);
        CHECK(none.strVersion == na);
        CHECK(none.strDescription == na);
        CHECK(none.strCompany == na);

        // restypes.dll has a FileVersion block but no FileVersion string: the fixed version shows.
        VersionTexts fixed = FileFactsCache::ReadVersionTexts(TestPaths::BinFolder() + "restypes.dll", true, na);
        CHECK(fixed.strVersion == "1.2.3.4");
        CHECK(fixed.strDescription == "Resource types");
        CHECK(fixed.strCompany == na);
    }

    TEST_CASE("the cache answers like a fresh read and notices a changed file")
    {
        FileFactsCache cache;
        const std::string na = "Not Available";
        const std::string dll = TestPaths::BinFolder() + "restypes.dll";
        VersionTexts fresh = FileFactsCache::ReadVersionTexts(dll, true, na);
        VersionTexts first = cache.GetVersionTexts(dll, true, na);
        VersionTexts second = cache.GetVersionTexts(dll, true, na);
        CHECK(cache.Hits() == 1);
        CHECK(first.strVersion == fresh.strVersion);
        CHECK(second.strVersion == fresh.strVersion);
        CHECK(second.strDescription == fresh.strDescription);
        CHECK(cache.GetPreferredBase(dll) == FileFactsCache::ReadPreferredBase(dll));
        CHECK(cache.GetPreferredBase(dll) != 0);

        // A copy that is then rewritten: the new content is read.
        std::string folder = TestPaths::MakeScratchFolder("cache");
        std::string copy = folder + "\\lib.dll";
        REQUIRE(CopyFileA(dll.c_str(), copy.c_str(), FALSE));
        CHECK(cache.GetVersionTexts(copy, true, na).strVersion == "1.2.3.4");
        std::vector<uint8_t> bytes = ReadAll(TestPaths::BinFolder() + "tw-helper.exe");
        REQUIRE(TestPaths::WriteFile(copy, bytes.data(), bytes.size()));
        HANDLE file = CreateFileA(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME later = {0x12345678, 0x01D00000};
        SetFileTime(file, nullptr, nullptr, &later);
        CloseHandle(file);
        CHECK(cache.GetVersionTexts(copy, true, na).strVersion == na);
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("settings")
{
    TEST_CASE("defaults")
    {
        UserSettings s = Defaults();
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&s);
        CHECK(s.dwSize == 778);
        CHECK(s.dwVersion == 0x00020006u);
        CHECK(s.dwRevision == 3);
        CHECK(s.wpMainWindow.rcNormalPosition.right == static_cast<LONG>(0x80000000u));
        CHECK(s.wpMainWindow.length == 0);
        CHECK(s.nLeftPaneWidth == 270);
        CHECK(s.crServices == 0x0064C8u);
        CHECK(s.crDynamicLoads == 0xA00000u);
        CHECK(s.nCopySeparator == 2);
        CHECK(s.nCopyDelimiter == 1);
        CHECK(s.aProcessColumns[11].nWidth == 250);
        CHECK(s.aModuleColumns[8].nWidth == 120);
        CHECK(s.aModuleColumns[9].bVisible == 0);
        CHECK(s.aModuleColumns[10].nColumnId == 0);
        CHECK(s.anModuleColumnOrder[11] == 11);
        CHECK(s.ssModuleSort.bAscending == 1);
        CHECK(s.nReportFileType == 3);
        CHECK(s.crCpuBackground == 0xFF000000u);
        CHECK(s.lfViewFont.lfFaceName[0] != '\0');
        CHECK(std::strlen(s.szDateFormat) > 0);
        // Little-endian image at the documented offsets.
        CHECK(bytes[56] == 0x0E);  // 270
        CHECK(bytes[57] == 0x01);
        CHECK(bytes[306] == 2);
        CHECK(bytes[758] == 3);
        CHECK(bytes[773] == 0xFF);
        CHECK(UserSettingsFile::CopySeparator(s) == ';');
        CHECK(UserSettingsFile::CopyDelimiter(s) == '"');
        s.nCopySeparator = 9;
        s.nCopyDelimiter = 3;
        CHECK(UserSettingsFile::CopySeparator(s) == '\t');
        CHECK(UserSettingsFile::CopyDelimiter(s) == '\0');
    }

    TEST_CASE("acceptance rules of Load")
    {
        const std::string folder = TestPaths::MakeScratchFolder("ui");
        const std::string path = folder + "\\Tarnwick.ui";
        UserSettings s = Defaults();
        CHECK_FALSE(UserSettingsFile::Load(s, path));  // no file: defaults stay

        // 12 bytes with the right header: accepted, nothing else changes.
        const uint32_t header[3] = {778, 0x00020006, 3};
        REQUIRE(TestPaths::WriteFile(path, header, 12));
        s.nLeftPaneWidth = 999;
        CHECK(UserSettingsFile::Load(s, path));
        CHECK(s.nLeftPaneWidth == 270);  // the record is the defaults again

        UserSettings stored = Defaults();
        stored.nLeftPaneWidth = 333;
        auto loadVariant = [&](uint32_t size, uint32_t version, uint32_t revision, size_t extra) {
            UserSettings file = stored;
            file.dwSize = size;
            file.dwVersion = version;
            file.dwRevision = revision;
            std::vector<uint8_t> bytes(reinterpret_cast<uint8_t*>(&file), reinterpret_cast<uint8_t*>(&file) + 778);
            bytes.resize(778 + extra, 0xAB);
            TestPaths::WriteFile(path, bytes.data(), bytes.size());
            UserSettings target = Defaults();
            bool read = UserSettingsFile::Load(target, path);
            return std::make_pair(read, target.nLeftPaneWidth);
        };
        CHECK(loadVariant(778, 0x00020006, 3, 0) == std::make_pair(true, uint16_t(333)));
        CHECK(loadVariant(778, 0x00020006, 2, 0) == std::make_pair(true, uint16_t(333)));  // older revision
        CHECK(loadVariant(778, 0x00020006, 4, 0) == std::make_pair(true, uint16_t(270)));  // newer: ignored
        CHECK(loadVariant(778, 0x00020005, 3, 0) == std::make_pair(true, uint16_t(270)));  // other version
        CHECK(loadVariant(779, 0x00020006, 3, 0) == std::make_pair(true, uint16_t(270)));  // larger size
        CHECK(loadVariant(700, 0x00020006, 3, 0) == std::make_pair(true, uint16_t(333)));  // smaller size
        CHECK(loadVariant(778, 0x00020006, 3, 100) == std::make_pair(true, uint16_t(333)));  // longer file
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("Save writes the record and never leaves a broken file")
    {
        const std::string folder = TestPaths::MakeScratchFolder("save");
        const std::string path = folder + "\\Tarnwick.ui";
        UserSettings s = Defaults();
        s.nLeftPaneWidth = 444;
        s.dwSize = 5;  // Save puts the header right
        REQUIRE(UserSettingsFile::Save(s, path));
        std::vector<uint8_t> bytes = ReadAll(path);
        REQUIRE(bytes.size() == 778);
        CHECK(std::memcmp(bytes.data(), &s, 778) == 0);
        CHECK(GetFileAttributesA((path + ".new").c_str()) == INVALID_FILE_ATTRIBUTES);
        UserSettings loaded = Defaults();
        CHECK(UserSettingsFile::Load(loaded, path));
        CHECK(loaded.nLeftPaneWidth == 444);

        // Saving over an existing file replaces it.
        s.nLeftPaneWidth = 555;
        REQUIRE(UserSettingsFile::Save(s, path));
        CHECK(UserSettingsFile::Load(loaded, path));
        CHECK(loaded.nLeftPaneWidth == 555);

        // A save that cannot write its new file leaves the old one as it was.
        REQUIRE(CreateDirectoryA((path + ".new").c_str(), nullptr));
        const std::vector<uint8_t> before = ReadAll(path);
        s.nLeftPaneWidth = 666;
        DebugCapture capture;
        CHECK_FALSE(UserSettingsFile::Save(s, path));
        CHECK(ReadAll(path) == before);
        CHECK(UserSettingsFile::Load(loaded, path));
        CHECK(loaded.nLeftPaneWidth == 555);
        REQUIRE(capture.Lines().size() == 2);
        CHECK(capture.Lines()[0] == "Could not create the file \"" + path + "\"\n");
        CHECK(capture.Lines()[1] == "Unable to save user settings!\n");
        RemoveDirectoryA((path + ".new").c_str());

        // A save interrupted before the rename leaves its new file behind; the
        // settings file itself is still the old, complete one.
        TestPaths::WriteFile(path + ".new", "partial", 7);
        CHECK(UserSettingsFile::Load(loaded, path));
        CHECK(loaded.nLeftPaneWidth == 555);
        // The next save goes through.
        s.nLeftPaneWidth = 777;
        CHECK(UserSettingsFile::Save(s, path));
        CHECK(UserSettingsFile::Load(loaded, path));
        CHECK(loaded.nLeftPaneWidth == 777);
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("formatting")
{
    TEST_CASE("sizes, priorities, identifiers and captions")
    {
        CHECK(ValueFormatter::FormatSizeKb(0) == "0 Kb");
        CHECK(ValueFormatter::FormatSizeKb(1) == "1 Kb");
        CHECK(ValueFormatter::FormatSizeKb(1024) == "1 Kb");
        CHECK(ValueFormatter::FormatSizeKb(1025) == "2 Kb");
        CHECK(ValueFormatter::FormatSizeKb(1048576) == "1.024 Kb");
        CHECK(ValueFormatter::FormatSizeKb(1234567) == "1.206 Kb");
        CHECK(ValueFormatter::FormatSizeKb(0xFFFFFFFFu) == "4.194.304 Kb");

        CHECK(ValueFormatter::PriorityClassText(0x40) == "Low");
        CHECK(ValueFormatter::PriorityClassText(0x4000) == "Below Normal");
        CHECK(ValueFormatter::PriorityClassText(0x20) == "Normal");
        CHECK(ValueFormatter::PriorityClassText(0x8000) == "Above Normal");
        CHECK(ValueFormatter::PriorityClassText(0x80) == "High");
        CHECK(ValueFormatter::PriorityClassText(0x100) == "RealTime");
        CHECK(ValueFormatter::PriorityClassText(0) == "Not Available");
        CHECK(ValueFormatter::PriorityClassText(0xFFFFFFFF) == "Not Available");

        UserSettings s = Defaults();
        ValueFormatter nt(s, true), nine(s, false);
        CHECK(nt.ProcessId(1234) == "1234");
        CHECK(nine.ProcessId(0xFFFB1234u) == "0xFFFB1234");
        CHECK(nine.ProcessId(0x1a) == "0x0000001A");
        CHECK(nt.ProcessCaption("app.exe", 42) == "app.exe - [PID: 42]");
        CHECK(nine.ProcessCaption("app.exe", 42) == "app.exe - [PID: 0x0000002A]");
    }

    TEST_CASE("dates and times through the settings' pictures")
    {
        UserSettings s = Defaults();
        s.bDateUseDefault = 0;
        std::strcpy(s.szDateFormat, "yyyy'-'MM'-'dd");
        s.bTimeUseDefault = 0;
        std::strcpy(s.szTimeFormat, "HH':'mm':'ss");
        ValueFormatter formatter(s, true);
        SYSTEMTIME time = {};
        time.wYear = 2006;
        time.wMonth = 3;
        time.wDay = 14;
        time.wHour = 17;
        time.wMinute = 5;
        time.wSecond = 9;
        char buffer[64];
        CHECK(std::string(formatter.FormatDate(&time, buffer, sizeof(buffer))) == "2006-03-14");
        CHECK(std::string(formatter.FormatTime(&time, buffer, sizeof(buffer))) == "17:05:09");
        CHECK(formatter.FormatDate(nullptr, buffer, sizeof(buffer)) == nullptr);

        // Round trip through local time.
        FILETIME local, utc;
        SystemTimeToFileTime(&time, &local);
        LocalFileTimeToFileTime(&local, &utc);
        CHECK(formatter.FormatDateTime(utc) == "2006-03-14, 17:05:09");
        FILETIME unknown = {0xFFFFFFFF, 0xFFFFFFFF};
        CHECK(formatter.FormatDateTime(unknown) == "Not Available");

        // The locale's own formats differ between long and short dates.
        UserSettings localeDates = Defaults();
        ValueFormatter longDates(localeDates, true);
        localeDates.bDateLong = 0;
        std::string shortDate = longDates.FormatDate(&time, buffer, sizeof(buffer));
        localeDates.bDateLong = 1;
        std::string longDate = longDates.FormatDate(&time, buffer, sizeof(buffer));
        CHECK(shortDate != longDate);
    }

    TEST_CASE("process items on both families")
    {
        UserSettings s = Defaults();
        FileFactsCache cache;
        ServiceList services;
        ServiceRecord host;
        host.strBinaryPath = "\"C:\\Windows\\System32\\SvcHost.exe\" -k netsvcs";
        services.Add(host);

        ProcessRecord record;
        record.strName = "svchost.exe";
        record.strPath = "...";
        record.dwProcessId = 0x1a4;
        record.dwParentProcessId = 8;
        record.strOwner = "...";
        record.strCommandLine = "c:\\windows\\system32\\svchost.EXE -K NETSVCS";
        record.ftCreationTime = {0xFFFFFFFF, 0xFFFFFFFF};
        record.dwSequence = 5;
        record.dwHandleCount = 77;
        record.dwThreadCount = 3;
        record.dwPriorityClass = 0x20;

        ValueFormatter ntFormatter(s, true);
        ItemBuilder nt(ntFormatter, cache);
        ProcessItem item;
        nt.BuildProcessItem(item, record, services, false);
        CHECK(item.nKind == 1);
        CHECK(item.strPid == "420");
        CHECK(item.strParentPid == "8");
        CHECK(item.strHandles == "77");
        CHECK(item.strOwner == "Not Available");
        CHECK(item.strPath == "Not Available");
        CHECK(item.strVersion == "Not Available");
        CHECK(item.strPriority == "Normal");
        CHECK(item.bService == 1);  // case and quotes do not matter
        CHECK(item.nImage == -1);

        record.dwSequence = 1;  // the system process is never a service
        nt.BuildProcessItem(item, record, services, false);
        CHECK(item.bService == 0);
        record.strPath = "C:\\windows\\system32\\services.exe";  // a list without idle and system entries
        nt.BuildProcessItem(item, record, services, false);
        CHECK(item.bService == 1);
        record.strPath = "...";
        record.dwSequence = 5;
        nt.BuildProcessItem(item, record, ServiceList(), false);
        CHECK(item.bService == 0);
        record.strCommandLine = "...";
        nt.BuildProcessItem(item, record, services, false);
        CHECK(item.strCommandLine == "Not Available");
        CHECK(item.bService == 0);

        ValueFormatter nineFormatter(s, false);
        ItemBuilder nine(nineFormatter, cache);
        record.strCommandLine = "c:\\windows\\system32\\svchost.exe -k netsvcs";
        record.strOwner = "\\\\PC\\user";
        record.dwProcessId = 0xFFFB1234u;
        nine.BuildProcessItem(item, record, services, false);
        CHECK(item.strPid == "0xFFFB1234");
        CHECK(item.strHandles == "Not Available");
        CHECK(item.strOwner == "Not Available");
        CHECK(item.strCreated == "Not Available");
        CHECK(item.dwHandles == 0);
        CHECK(item.bService == 0);  // no service test on the 9x family

        // A known path gives version texts and, with an image list, an icon.
        HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
        for (int i = 0; i < 8; ++i) {
            HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
            ImageList_AddIcon(images, icon);
        }
        ItemBuilder withIcons(ntFormatter, cache, images);
        record.strPath = "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\notepad.exe";
        record.strCommandLine = "notepad.exe";
        withIcons.BuildProcessItem(item, record, services, true);
        CHECK(item.strVersion == "Not Available");  // notepad carries icons but no version resource
        CHECK(item.nImage >= 8);
        record.strPath = "...";
        withIcons.BuildProcessItem(item, record, services, true);
        CHECK(item.nImage == 4);
        record.strCommandLine = "c:\\windows\\system32\\svchost.exe -k netsvcs";
        withIcons.BuildProcessItem(item, record, services, true);
        CHECK(item.nImage == 7);
        ImageList_Destroy(images);
    }

    TEST_CASE("the window's rows read no file over the network; the console tool's do")
    {
        struct CountingIcons : FileIconSource {
            std::vector<std::string> asked;
            int AddFileIcon(const std::string& path) override
            {
                asked.push_back(path);
                return 9;
            }
        } icons;
        UserSettings s = Defaults();
        FileFactsCache cache;
        ValueFormatter formatter(s, true);
        ItemBuilder window(formatter, cache, icons);
        window.SetLocalFilesOnly(true);
        const ServiceList services;

        ProcessRecord process;
        process.strName = "remote.exe";
        process.strPath = "\\\\tw-no-host\\share\\remote.exe";
        process.strCommandLine = "remote.exe";
        ProcessItem item;
        window.BuildProcessItem(item, process, services, true);
        CHECK(item.strPath == process.strPath);
        CHECK(item.strVersion == "Not Available");
        CHECK(item.nImage == 4);
        ModuleRecord module;
        module.strName = "remote.exe";
        module.strPath = "\\\\?\\UNC\\tw-no-host\\share\\remote~1.exe";
        ModuleItem moduleItem;
        window.BuildModuleItem(moduleItem, module, nullptr, false, true);
        CHECK(moduleItem.strLocation == module.strPath);
        CHECK(moduleItem.strDescription == "Not Available");
        CHECK(icons.asked.empty());
        CHECK(cache.Size() == 0);

        // A local file is read as before; the console tool reads shares too.
        process.strPath = TestPaths::BinFolder() + "tw-helper.exe";
        window.BuildProcessItem(item, process, services, true);
        CHECK(item.nImage == 9);
        CHECK(icons.asked.size() == 1);
        ItemBuilder console(formatter, cache, icons);
        process.strPath = "\\\\tw-no-host\\share\\remote.exe";
        console.BuildProcessItem(item, process, services, true);
        CHECK(icons.asked.size() == 2);
    }

    TEST_CASE("module items: dynamic, relocated, unknown dates, long paths")
    {
        UserSettings s = Defaults();
        FileFactsCache cache;
        ValueFormatter formatter(s, true);
        ItemBuilder builder(formatter, cache);

        ImportClosure closure;
        REQUIRE(closure.walk((TestPaths::BinFolder() + "tw-helper.exe").c_str()));

        ModuleRecord record;
        record.strName = "restypes.dll";
        record.strPath = TestPaths::BinFolder() + "restypes.dll";
        record.dwBaseAddress = 0x10000000;
        record.dwPreferredBase = 0x10000000;
        record.nFileSizeLow = 1025;
        ModuleItem item;
        builder.BuildModuleItem(item, record, &closure, true, false);
        CHECK(item.nKind == 2);
        CHECK(item.bDynamic == 1);
        CHECK(item.bRelocated == 0);
        CHECK(item.strBaseAddress == "0x10000000");
        CHECK(item.strSize == "2 Kb");
        CHECK(item.strCreated == "Unknown");
        CHECK(item.strModified == "Unknown");
        CHECK(item.strVersion == "1.2.3.4");

        record.strName = "KERNEL32.dll";
        record.dwBaseAddress = 0x7B000000;
        record.ftLastWriteTime = {0x12345678, 0x01C00000};
        builder.BuildModuleItem(item, record, &closure, true, false);
        CHECK(item.bDynamic == 0);
        CHECK(item.bRelocated == 1);
        CHECK(item.strModified != "Unknown");

        // Without a loaded closure every module counts as static.
        record.strName = "restypes.dll";
        builder.BuildModuleItem(item, record, &closure, false, false);
        CHECK(item.bDynamic == 0);

        // A short 8.3 folder is shown long; a path that cannot be expanded stays.
        char shortPath[MAX_PATH] = {};
        const std::string folder = TestPaths::MakeScratchFolder("a-long-folder-name");
        const std::string file = folder + "\\module.dll";
        TestPaths::WriteFile(file, "x", 1);
        if (GetShortPathNameA(file.c_str(), shortPath, MAX_PATH) && std::strchr(shortPath, '~')) {
            record.strPath = shortPath;
            builder.BuildModuleItem(item, record, &closure, true, false);
            CHECK(lstrcmpiA(item.strLocation.c_str(), file.c_str()) == 0);
        }
        record.strPath = "C:\\NOSUCH~1\\x.dll";
        builder.BuildModuleItem(item, record, &closure, true, false);
        CHECK(item.strLocation == "C:\\NOSUCH~1\\x.dll");
        TestPaths::RemoveTree(folder);
    }

    TEST_CASE("strings come from the program's own table")
    {
        CHECK(StringTable::Load(1) == "Tarnwick 2.6");
        CHECK(StringTable::Load(19) == "Not Available");
        CHECK(StringTable::Load(52).empty());
        CHECK(StringTable::Load(65) == "Machine: %s\r\nOS: %s\r\nLocal User: %s");
    }
}

TEST_SUITE("system state")
{
    TEST_CASE("top-level windows with their process")
    {
        HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        REQUIRE(window != nullptr);
        TopLevelWindowList list;
        CHECK(list.Collect());
        bool found = false;
        for (const TopLevelWindowRecord& record : list.Windows())
            if (record.hWnd == window) {
                found = true;
                CHECK(record.szTitle[0] == '\0');
                CHECK(lstrcmpiA(record.szClass, "Static") == 0);
                CHECK(record.dwProcessId == GetCurrentProcessId());
                CHECK(record.dwThreadId == GetCurrentThreadId());
                CHECK((record.dwStyle & WS_POPUP) != 0);
            }
        CHECK(found);
        DestroyWindow(window);
    }

    TEST_CASE("file facts of the module information")
    {
        const std::string folder = TestPaths::MakeScratchFolder("facts");
        ModuleBasicInformation info;
        CHECK_FALSE(info.Load(nullptr, 7));
        CHECK_FALSE(info.Load((folder + "\\missing.dll").c_str(), 7));

        TestPaths::WriteFile(folder + "\\empty.dll", "", 0);
        REQUIRE(info.Load((folder + "\\empty.dll").c_str(), 7));
        CHECK(info.GetSizeKb() == "0 Kb");
        CHECK(info.GetSizeBytes() == "0 Bytes");
        CHECK(info.GetSizeOnDiskBytes() == "0 Bytes");
        CHECK(info.GetOpenWith().empty());  // no program opens a DLL
        CHECK(lstrcmpiA(info.GetLocation().c_str(), folder.c_str()) == 0);

        TestPaths::WriteFile(folder + "\\one.dll", "x", 1);
        SetFileAttributesA((folder + "\\one.dll").c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
        REQUIRE(info.Load((folder + "\\one.dll").c_str(), 7));
        CHECK(info.GetSizeKb() == "1 Kb");
        CHECK(info.GetSizeBytes() == "1 Bytes");
        CHECK(info.GetAttributes() == "AR");
        DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
        if (GetDiskFreeSpaceA((folder.substr(0, 2) + "\\").c_str(), &sectors, &bytes, &freeClusters, &clusters)
            && sectors * bytes == 4096) {
            CHECK(info.GetSizeOnDiskKb() == "4 Kb");
            CHECK(info.GetSizeOnDiskBytes() == "4.096 Bytes");
        }
        CHECK_FALSE(info.GetModified().empty());
        CHECK(info.GetModified().find(", ") != std::string::npos);
        CHECK(info.GetAccessed().size() < info.GetModified().size());
        SetFileAttributesA((folder + "\\one.dll").c_str(), FILE_ATTRIBUTE_NORMAL);

        // An .exe opens itself: without a version resource its capitalised file name shows.
        REQUIRE(info.Load((TestPaths::BinFolder() + "tw-helper.exe").c_str(), 2));
        CHECK(info.GetOpenWith() == "Tw-helper.exe");
        CHECK(ModuleBasicInformation::GroupedNumber(3000000000u, " Bytes") == "3.000.000.000 Bytes");
        TestPaths::RemoveTree(folder);
    }
}

TEST_SUITE("family")
{
    TEST_CASE("formatted rows of the console tool: services, dynamic and static modules")
    {
        HelperProcess helper;
        REQUIRE(helper.Start("load restypes.dll"));
        const std::string cli = ConsoleTool();
        const bool nt = GetVersion() < 0x80000000u;
        std::string out;
        DWORD exitCode = 99;
        REQUIRE(RunAndCapture(cli + " ps", out, exitCode));
        CHECK(exitCode == 0);
        if (nt) {
            CHECK(out.substr(0, out.find('\n'))
                  == "Name\tPID\tParent PID\tVersion\tDescription\tCompany Name\tOwner\tThreads\tHandles\t"
                     "Priority Class\tCreated\tCommandline\tCPU\tPrivate Bytes\tPath\tService");
            // Wine's own service processes.
            CHECK(out.find("\nplugplay.exe\t") != std::string::npos);
            for (const char* service : {"plugplay.exe", "rpcss.exe"}) {
                CAPTURE(service);
                size_t row = out.find(std::string("\n") + service + "\t");
                if (row == std::string::npos) continue;  // among the first two rows
                size_t end = out.find('\n', row + 1);
                CHECK(out.substr(end - 4, 4) == "\tYes");
            }
        } else {
            CHECK(out.substr(0, out.find('\n'))
                  == "Name\tPID\tParent PID\tThreads\tPriority Class\tVersion\tDescription\tCompany Name\tPath\tService");
            CHECK(out.find("\tYes\n") == std::string::npos);
        }

        char pid[16];
        snprintf(pid, sizeof(pid), "%lu", static_cast<unsigned long>(helper.Pid()));
        REQUIRE(RunAndCapture(cli + " modules " + pid, out, exitCode));
        CHECK(exitCode == 0);
        CHECK(out.compare(0, 20, "Module\tLocation\tBase") == 0);
        auto rowOf = [&](const char* name) {
            size_t at = out.find(std::string("\n") + name + "\t");
            if (at == std::string::npos) return std::string();
            size_t end = out.find('\n', at + 1);
            return out.substr(at + 1, end - at - 1);
        };
        const std::string restypes = rowOf("restypes.dll");
        REQUIRE_FALSE(restypes.empty());
        CHECK(restypes.find("\tDynamic\t") != std::string::npos);
        CHECK(restypes.find("\t1.2.3.4\t") != std::string::npos);
        const std::string kernel = rowOf("kernel32.dll");
        REQUIRE_FALSE(kernel.empty());
        CHECK(kernel.find("\tStatic\t") != std::string::npos);
        const std::string exe = rowOf("tw-helper.exe");
        REQUIRE_FALSE(exe.empty());
        CHECK(exe.find("\tStatic\tPreferred") != std::string::npos);
    }
}
