#include <doctest/doctest.h>

// Parsers of outside data and other logic without OS calls. Built into the
// test program and into the native sanitizer build.
#include "tests/ReferenceWildcard.h"
#include "tests/VersionBlock.h"
#include "report/ReportText.h"
#include "sysinfo/PathLocation.h"
#include "app/settings/SettingsRecordCheck.h"
#include "views/ColumnOrderCheck.h"
#include "sysinfo/NativeProcessList.h"
#include "sysinfo/VersionResourceWalker.h"
#include "tools/WildcardMatch.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A process list block with the given entries (pid, name or null); each
// entry is 0x100 bytes, names stored at +0xB8.
std::vector<uint8_t> ProcessBlock(const std::vector<std::pair<uint32_t, const char16_t*>>& entries,
                                  uintptr_t& base)
{
    std::vector<uint8_t> block(entries.size() * 0x100, 0);
    base = 0x10000000;
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t e = i * 0x100;
        Put32(block, e, i + 1 < entries.size() ? 0x100 : 0);
        Put32(block, e + 4, 3);
        Put32(block, e + 0x40, 8);
        Put32(block, e + 0x44, entries[i].first);
        Put32(block, e + 0x48, 4);
        Put32(block, e + 0x4C, 17);
        if (entries[i].second) {
            std::u16string name = entries[i].second;
            for (size_t k = 0; k < name.size(); ++k) Put16(block, e + 0xB8 + 2 * k, name[k]);
            Put16(block, e + 0x38, static_cast<uint16_t>(name.size() * 2));
            Put16(block, e + 0x3A, static_cast<uint16_t>(name.size() * 2 + 2));
            Put32(block, e + 0x3C, static_cast<uint32_t>(base + e + 0xB8));
        }
    }
    return block;
}

} // namespace

TEST_SUITE("process data")
{
    TEST_CASE("the native process list")
    {
        uintptr_t base = 0;
        std::vector<uint8_t> block = ProcessBlock({{0, nullptr}, {4, u"System"}, {8, nullptr}, {12, u"app.exe"}}, base);
        auto entries = NativeProcessList::Parse(block.data(), block.size(), base);
        REQUIRE(entries.size() == 4);
        CHECK(entries[1].dwProcessId == 4);
        CHECK(entries[2].bHasImageName == false);
        CHECK(entries[3].bHasImageName);
        CHECK(entries[3].strImageName == u"app.exe");
        CHECK(entries[3].dwHandleCount == 17);
        CHECK(entries[3].dwParentProcessId == 4);
        CHECK(entries[3].dwThreadCount == 3);

        // One entry only.
        block = ProcessBlock({{0, nullptr}}, base);
        CHECK(NativeProcessList::Parse(block.data(), block.size(), base).size() == 1);

        // A name pointer outside the block reads no name; a bad next offset ends the walk.
        block = ProcessBlock({{0, nullptr}, {4, u"System"}, {12, u"app.exe"}}, base);
        Put32(block, 0x200 + 0x3C, 0x7FFF0000);
        Put32(block, 0x100, 0x7FFFFFFF);
        entries = NativeProcessList::Parse(block.data(), block.size(), base);
        REQUIRE(entries.size() == 2);
        Put32(block, 0x100, 0x100);
        entries = NativeProcessList::Parse(block.data(), block.size(), base);
        REQUIRE(entries.size() == 3);
        CHECK(entries[2].bHasImageName);
        CHECK(entries[2].strImageName.empty());
        // An offset that does not advance ends the walk too.
        Put32(block, 0, 0x10);
        CHECK(NativeProcessList::Parse(block.data(), block.size(), base).size() == 1);
        // A block too short for one entry.
        CHECK(NativeProcessList::Parse(block.data(), 0x20, base).empty());

    }

    TEST_CASE("idle and system entries only when the system gives them")
    {
        // The Windows shape: the first entry has no name.
        uintptr_t base = 0;
        std::vector<uint8_t> block = ProcessBlock({{0, nullptr}, {4, u"System"}, {8, u"smss.exe"}}, base);
        auto entries = NativeProcessList::Parse(block.data(), block.size(), base);
        CHECK(NativeProcessList::HasIdleAndSystem(entries));
        CHECK(std::string(NativeProcessList::FixedName(entries, 0)) == "System Idle Process");
        CHECK(std::string(NativeProcessList::FixedName(entries, 1)) == "System");
        CHECK(NativeProcessList::FixedName(entries, 2) == nullptr);
        // A list of one entry is the idle process; the second is "System" whatever its name.
        block = ProcessBlock({{0, nullptr}}, base);
        entries = NativeProcessList::Parse(block.data(), block.size(), base);
        CHECK(std::string(NativeProcessList::FixedName(entries, 0)) == "System Idle Process");
        block = ProcessBlock({{0, nullptr}, {8, u"other.exe"}}, base);
        entries = NativeProcessList::Parse(block.data(), block.size(), base);
        CHECK(std::string(NativeProcessList::FixedName(entries, 1)) == "System");

        // The Wine shape: the first entry has a name, and so every entry is
        // an ordinary process with its own name.
        block = ProcessBlock({{32, u"services.exe"}, {36, u"winedevice.exe"}, {40, u"app.exe"}}, base);
        entries = NativeProcessList::Parse(block.data(), block.size(), base);
        CHECK_FALSE(NativeProcessList::HasIdleAndSystem(entries));
        for (size_t i = 0; i < entries.size(); ++i) CHECK(NativeProcessList::FixedName(entries, i) == nullptr);
        CHECK(NativeProcessList::FixedName({}, 0) == nullptr);
    }

    TEST_CASE("base priorities map to priority classes")
    {
        const std::pair<uint32_t, uint32_t> table[] = {{0, 0x40},     {4, 0x40},   {5, 0x4000}, {6, 0x4000},
                                                       {7, 0x20},     {8, 0x20},   {9, 0x8000}, {10, 0x8000},
                                                       {11, 0x80},    {13, 0x80},  {14, 0x100}, {31, 0x100},
                                                       {0xFFFFFFFF, 0x100}};
        for (auto entry : table) {
            CAPTURE(entry.first);
            CHECK(NativeProcessList::PriorityClassFromBase(entry.first) == entry.second);
        }
    }

    TEST_CASE("the executable test")
    {
        CHECK(NativeProcessList::LooksExecutable("C:\\WINDOWS\\NOTEPAD.EXE"));
        CHECK(NativeProcessList::LooksExecutable("C:\\x\\command.com"));
        CHECK(NativeProcessList::LooksExecutable("C:\\x\\prog.e"));
        CHECK(NativeProcessList::LooksExecutable("C:\\my.edits\\lib.dll"));  // any ".e"
        CHECK_FALSE(NativeProcessList::LooksExecutable("C:\\windows\\system32\\kernel32.dll"));
    }

    TEST_CASE("paths that lead over the network")
    {
        const auto remoteDrives = [](char drive) { return drive == 'N'; };
        for (const char* path : {"\\\\host\\share\\a.dll", "//host/share/a.dll", "\\\\?\\UNC\\host\\share\\a.dll",
                                 "\\??\\UNC\\host\\a.dll", "\\Device\\Mup\\host\\share\\a.dll",
                                 "\\device\\lanmanredirector\\;N:0\\host\\a.dll", "n:\\tools\\a.dll",
                                 "\\\\?\\N:\\a.dll"}) {
            CAPTURE(path);
            CHECK(PathLocation::IsNetwork(path, remoteDrives));
        }
        for (const char* path : {"C:\\Windows\\system32\\kernel32.dll", "\\\\?\\C:\\a.dll", "\\\\.\\PhysicalDrive0",
                                 "\\SystemRoot\\system32\\ntdll.dll", "a.dll", "", "\\", "N"}) {
            CAPTURE(path);
            CHECK_FALSE(PathLocation::IsNetwork(path, remoteDrives));
        }
        char drive = 0;
        CHECK(PathLocation::Classify("\\??\\c:\\x", drive) == PathLocation::Kind::DriveLetter);
        CHECK(drive == 'C');
    }

    TEST_CASE("wildcard matching")
    {
        struct Case {
            const char* pattern;
            const char* name;
            bool matches;
        };
        const Case cases[] = {
            {"*.dll", "kernel32.dll", true},
            {"*.dll", "app.exe", false},
            {"*", "app.exe", true},
            {"USER32.DLL", "user32.dll", true},
            {"user3?.dll", "user32.dll", true},
            {"user3?.dll", "user3.dll", false},
            {"[a-c]*.dll", "comctl32.dll", true},
            {"[a-c]*.dll", "advapi32.dll", true},
            {"[a-c]*.dll", "gdi32.dll", false},
            {"[!a-c]*.dll", "gdi32.dll", true},
            {"[!a-c]*.dll", "comctl32.dll", false},
            {"[^a-c]*.dll", "gdi32.dll", true},
            {"[A-C]*.DLL", "comctl32.dll", true},
            {"kernel32", "kernel32.dll", false},
            {"kernel32*", "kernel32.dll", true},
            {"*32*", "kernel32.dll", true},
            {"**.dll", "x.dll", true},
            {"*.d?l", "x.dll", true},
            {"", "", true},
            {"", "x", false},
            {"x", "", false},
            {"*", "", true},
            {"?", "", false},
            {"a\\*b", "a*b", true},
            {"a\\*b", "axb", false},
            {"\\[x]", "[x]", true},
            {"[]]x", "]x", true},
            {"[!]]x", "ax", true},
            {"[a-]x", "-x", true},
            {"[ab", "[ab", true},  // unclosed bracket stands for itself
            {"*/x", "a/x", true},
            {"*", "a/x", false},   // "*" does not cross "/"
            {"a?x", "a/x", false},
            {"a[/]x", "a/x", false},
            {"a/*", "a/b", true},
            {"*.dll", ".dll", true},
            {"*a*b*c*", "xaybzc", true},
            {"*a*b*c*", "xaybz", false},
        };
        for (const Case& c : cases) {
            CAPTURE(c.pattern);
            CAPTURE(c.name);
            CHECK(WildcardMatch::Matches(c.pattern, c.name) == c.matches);
        }
        CHECK(WildcardMatch::match("A", "a", 0) == 1);  // no folding asked
        CHECK(WildcardMatch::match("*", "a/b", 0) == 0);
        CHECK(WildcardMatch::match(nullptr, "a") == 1);
        // A long run of stars against a long name ends.
        std::string pattern(40, '*');
        pattern += "x";
        std::string name(60, 'a');
        CHECK_FALSE(WildcardMatch::Matches(pattern.c_str(), name.c_str()));
        // Stars separated by letters against a name that almost matches: the
        // work no longer grows with the power of the number of stars.
        name.assign(60, 'a');
        CHECK_FALSE(WildcardMatch::Matches("*a*a*a*a*a*a*a*a*b", name.c_str()));
        CHECK(WildcardMatch::Matches("*a*a*a*a*a*a*a*a*b", (name + "b").c_str()));
        std::string stars;
        for (int i = 0; i < 200; ++i) stars += "*a";
        CHECK_FALSE(WildcardMatch::Matches((stars + "b").c_str(), std::string(2000, 'a').c_str()));
    }

    TEST_CASE("the linear matcher answers as the recursive one did")
    {
        // Every pattern of up to four elements over a, b, /, *, ?, a set and an
        // escaped star,
        // against every name of up to five characters over a, b, A and /.
        const char* const elements[] = {"a", "b", "/", "*", "?", "[ab]", "[!a]", "\\*"};
        const char letters[] = {'a', 'b', 'A', '/'};
        std::vector<std::string> patterns{""}, names{""};
        for (size_t begin = 0, length = 0; length < 4; ++length) {
            const size_t end = patterns.size();
            for (size_t i = begin; i < end; ++i)
                for (const char* element : elements) patterns.push_back(patterns[i] + element);
            begin = end;
        }
        for (size_t begin = 0, length = 0; length < 5; ++length) {
            const size_t end = names.size();
            for (size_t i = begin; i < end; ++i)
                for (char letter : letters) names.push_back(names[i] + letter);
            begin = end;
        }
        size_t differing = 0;
        for (int flags : {WildcardMatch::PathName | WildcardMatch::CaseFold, 0})
            for (const std::string& pattern : patterns)
                for (const std::string& name : names) {
                    const bool expected = ReferenceMatches(pattern.c_str(), name.c_str(),
                                                           (flags & WildcardMatch::PathName) != 0,
                                                           (flags & WildcardMatch::CaseFold) != 0);
                    if ((WildcardMatch::match(pattern.c_str(), name.c_str(), flags) == 0) != expected) {
                        if (++differing < 5) {
                            CAPTURE(pattern);
                            CAPTURE(name);
                            CAPTURE(flags);
                            CHECK(false);
                        }
                    }
                }
        CHECK(differing == 0);
    }

}

TEST_SUITE("parsers")
{
    TEST_CASE("a stored column order is used only when it arranges exactly the shown columns")
    {
        const std::vector<uint32_t> nt = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        const std::vector<uint32_t> nineX = {0, 1, 2, 7, 9, 3, 4, 5};
        uint32_t order[12] = {1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        CHECK(ColumnOrderCheck::Fits(order, 12, 12, nt));
        for (uint32_t count : {0u, 11u, 13u, 0xFFFFFFFFu}) {
            CAPTURE(count);
            CHECK_FALSE(ColumnOrderCheck::Fits(order, count, 12, nt));
        }
        order[5] = 1;  // a duplicate
        CHECK_FALSE(ColumnOrderCheck::Fits(order, 12, 12, nt));
        // The 9x family's eight: a permutation of them fits, ids it never shows do not.
        const uint32_t eight[12] = {7, 0, 1, 2, 9, 3, 4, 5};
        CHECK(ColumnOrderCheck::Fits(eight, 8, 12, nineX));
        const uint32_t owner[12] = {6, 0, 1, 2, 9, 3, 4, 5};
        CHECK_FALSE(ColumnOrderCheck::Fits(owner, 8, 12, nineX));
        CHECK_FALSE(ColumnOrderCheck::Fits(nullptr, 8, 12, nineX));
        const uint32_t huge[12] = {0xFFFFFFFFu, 0, 1, 2, 9, 3, 4, 5};
        CHECK_FALSE(ColumnOrderCheck::Fits(huge, 8, 12, nineX));
    }

    TEST_CASE("version resources walked within their bounds")
    {
        using V = VersionBlock;
        const std::vector<uint8_t> block =
            V::Root(0x00050001, 0x0A280000,
                    {V::Record(u"StringFileInfo", {}, true, 0,
                               {V::Record(u"040904b0", {}, true, 0,
                                          {V::String(u"CompanyName", u"Orvo"), V::String(u"Empty", u"")})}),
                     V::Record(u"VarFileInfo", {}, true, 0, {})});
        VersionResourceWalker walker;
        REQUIRE(walker.Walk(block.data(), block.size()));
        CHECK(walker.dwFixed[0] == 0xFEEF04BDu);
        CHECK(walker.dwFixed[2] == 0x00050001u);
        REQUIRE(walker.tables.size() == 1);
        CHECK(walker.tables[0].name == u"040904b0");
        REQUIRE(walker.tables[0].entries.size() == 2);
        CHECK(walker.tables[0].entries[0].value == u"Orvo");

        // Cut at every byte, in exact-size copies: never more than the whole.
        for (size_t length = 0; length < block.size(); ++length) {
            std::vector<uint8_t> cut(block.begin(), block.begin() + length);
            cut.shrink_to_fit();
            VersionResourceWalker partial;
            partial.Walk(cut.data(), cut.size());
            CHECK(partial.tables.size() <= 1);
        }
        // Lengths that claim more than the block, or less than a record.
        for (size_t at = 0; at + 1 < block.size(); at += 2) {
            for (uint16_t value : {uint16_t(0), uint16_t(5), uint16_t(0xFFFF)}) {
                std::vector<uint8_t> bad = block;
                bad[at] = static_cast<uint8_t>(value);
                bad[at + 1] = static_cast<uint8_t>(value >> 8);
                VersionResourceWalker broken;
                broken.Walk(bad.data(), bad.size());
                // Records may be taken for others, never made up: two records hold tables.
                CHECK(broken.tables.size() <= 2);
            }
        }
        CHECK_FALSE(walker.Walk(nullptr, 100));
        CHECK(walker.tables.empty());
    }

    TEST_CASE("the settings record check")
    {
        std::vector<uint8_t> defaults(SettingsRecordCheck::kSize, 0xD5);
        auto header = [](uint32_t size, uint32_t version, uint32_t revision) {
            std::vector<uint8_t> bytes(12);
            const uint32_t words[3] = {size, version, revision};
            for (int w = 0; w < 3; ++w)
                for (int i = 0; i < 4; ++i) bytes[w * 4 + i] = static_cast<uint8_t>(words[w] >> (8 * i));
            return bytes;
        };
        // 12 bytes with the right header: accepted, the rest stays as it was.
        std::vector<uint8_t> record = defaults;
        std::vector<uint8_t> file = header(778, 0x00020006, 3);
        CHECK(SettingsRecordCheck::Apply(file.data(), file.size(), record.data()));
        CHECK(std::vector<uint8_t>(record.begin(), record.begin() + 12) == file);
        CHECK(record[12] == 0xD5);
        CHECK(record[777] == 0xD5);

        // A longer file: only the record's 778 bytes count.
        file = header(700, 0x00020006, 2);
        file.resize(2000, 0x11);
        record = defaults;
        CHECK(SettingsRecordCheck::Apply(file.data(), file.size(), record.data()));
        CHECK(record[777] == 0x11);

        for (const std::vector<uint8_t>& rejected :
             {header(779, 0x00020006, 3), header(778, 0x00020005, 3), header(778, 0x00020006, 4)}) {
            record = defaults;
            CHECK_FALSE(SettingsRecordCheck::Apply(rejected.data(), rejected.size(), record.data()));
            CHECK(record == defaults);
        }
        // A file shorter than the header keeps the defaults' header words.
        std::vector<uint8_t> good = defaults;
        const std::vector<uint8_t> goodHeader = header(778, 0x00020006, 3);
        std::copy(goodHeader.begin(), goodHeader.end(), good.begin());
        const uint8_t one[1] = {0x00};
        record = good;
        CHECK(SettingsRecordCheck::Apply(one, 1, record.data()));
        CHECK(record[0] == 0x00);
        CHECK_FALSE(SettingsRecordCheck::Apply(one, 1, nullptr));
        record = good;
        CHECK(SettingsRecordCheck::Apply(nullptr, 0, record.data()));
        CHECK(record == good);
    }
}

TEST_SUITE("reports")
{
    TEST_CASE("one escaping rule per output")
    {
        // Text report: no value can start a line of its own.
        CHECK(ReportText::TextValue("a\r\nName: forged") == "a\\r\\nName: forged");
        CHECK(ReportText::TextValue(std::string("x\x01\x1b[31m\ty\x7f", 10)) == "x\\x01\\x1B[31m\\x09y\\x7F");
        CHECK(ReportText::TextValue(std::string("\0", 1)) == "\\x00");
        CHECK(ReportText::TextValue("C:\\dir\\app.exe \xE9") == "C:\\dir\\app.exe \xE9");

        // XML: what XML 1.0 does not allow becomes "?"; tab, CR and LF stay.
        CHECK(ReportText::XmlEscape("a\x01" "b\x1b" "\tc\r\nd<&>") == "a?b?\tc\r\nd&lt;&amp;&gt;");
        CHECK(ReportText::XmlComment("evil--user-") == "evil- -user- ");
        CHECK(ReportText::XmlComment("a---b") == "a- - -b");
        CHECK(ReportText::XmlComment("-") == "- ");
        CHECK(ReportText::XmlComment("plain <&> text") == "plain <&> text");
        CHECK(ReportText::XmlComment("\x02") == "?");
        CHECK(ReportText::Utf8FromUnits(u"A\u00E9\u20AC") == "A\xC3\xA9\xE2\x82\xAC");
        CHECK(ReportText::Utf8FromUnits(u"\xD83D\xDE00") == "\xF0\x9F\x98\x80");  // a pair: one character
        CHECK(ReportText::Utf8FromUnits(std::u16string(1, char16_t(0xD800))) == "\xEF\xBF\xBD");
        CHECK(ReportText::Utf8FromUnits(std::u16string(1, char16_t(0xFFFF))) == "\xEF\xBF\xBD");

        // Links: percent-encoded ASCII, other bytes as the page's character set has them.
        CHECK(ReportText::UrlSegment("a#b%c d_files") == "a%23b%25c%20d_files");
        CHECK(ReportText::UrlSegment("r\xE9port-1.~_") == "r\xE9port-1.~_");
        CHECK(ReportText::UrlSegment("\"<>?&/\\") == "%22%3C%3E%3F%26%2F%5C");
    }
}
