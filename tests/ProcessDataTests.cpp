#include <doctest/doctest.h>

#include "cli/ProcessIdText.h"
#include "cli/TabText.h"
#include "sysinfo/NativeProcessList.h"
#include "sysinfo/ProcessParametersReader.h"
#include "tools/WildcardMatch.h"

#include <cstring>
#include <map>
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

// Memory of a pretend process: a map of address to bytes.
class FakeMemory : public ProcessMemory {
public:
    void Place(uint32_t address, const std::vector<uint8_t>& bytes)
    {
        for (size_t i = 0; i < bytes.size(); ++i) memory[address + static_cast<uint32_t>(i)] = bytes[i];
    }
    bool Read(uint32_t address, void* buffer, uint32_t size) override
    {
        ++reads;
        uint8_t* out = static_cast<uint8_t*>(buffer);
        for (uint32_t i = 0; i < size; ++i) {
            auto it = memory.find(address + i);
            if (it == memory.end()) return false;
            out[i] = it->second;
        }
        return true;
    }
    std::map<uint32_t, uint8_t> memory;
    int reads = 0;
};

const uint32_t kPeb = 0x7FFD0000;
const uint32_t kParameters = 0x00020000;

// A process whose parameter block holds the given strings.
FakeMemory Target(const std::u16string& commandLine, uint16_t maximumLength, const std::u16string& environment)
{
    FakeMemory m;
    std::vector<uint8_t> peb(488, 0);
    Put32(peb, 16, kParameters);
    m.Place(kPeb, peb);
    std::vector<uint8_t> parameters(656, 0);
    Put16(parameters, 64, static_cast<uint16_t>(commandLine.size() * 2));
    Put16(parameters, 66, maximumLength);
    Put32(parameters, 68, 0x00030000);
    Put32(parameters, 72, 0x00040000);
    m.Place(kParameters, parameters);
    std::vector<uint8_t> text(commandLine.size() * 2 + 2, 0);
    for (size_t i = 0; i < commandLine.size(); ++i) Put16(text, 2 * i, commandLine[i]);
    m.Place(0x00030000, text);
    std::vector<uint8_t> env(environment.size() * 2, 0);
    for (size_t i = 0; i < environment.size(); ++i) Put16(env, 2 * i, environment[i]);
    m.Place(0x00040000, env);
    return m;
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
    }

    TEST_CASE("tab-separated escaping")
    {
        CHECK(TabText::Escape("a\tb\rc\nd\\e") == "a\\tb\\rc\\nd\\\\e");
        CHECK(TabText::Escape("plain") == "plain");
        CHECK(TabText::Row({"a", "", "c"}) == "a\t\tc\n");
    }

    TEST_CASE("process ids on the command line")
    {
        struct Case {
            const char* text;
            bool ok;
            uint32_t pid;
        };
        const Case cases[] = {
            {"104", true, 104},         {"0104", true, 104},  // a leading zero is not octal
            {"0", true, 0},             {"0x68", true, 0x68},   {"0X1f", true, 0x1F},
            {"0x0000FFFF", true, 0xFFFF}, {"4294967295", true, 0xFFFFFFFFu}, {"0xFFFFFFFF", true, 0xFFFFFFFFu},
            {"4294967296", false, 0},   {"0x100000000", false, 0}, {"99999999999999999999", false, 0},
            {"12x", false, 0},          {"0x", false, 0},     {"", false, 0},       {"-1", false, 0},
            {"+5", false, 0},           {" 5", false, 0},     {"5 ", false, 0},     {"0x-1", false, 0},
            {"1e3", false, 0},          {"0b101", false, 0},  {"0xg", false, 0},
        };
        for (const Case& c : cases) {
            CAPTURE(c.text);
            uint32_t pid = 4711;
            CHECK(ProcessIdText::Parse(c.text, pid) == c.ok);
            CHECK(pid == (c.ok ? c.pid : 4711u));
        }
    }

    TEST_CASE("parameters read out of a process")
    {
        FakeMemory m = Target(u"app.exe -x", 22, std::u16string(u"A=1\0B=2\0\0\0", 11));
        ProcessParametersReader reader(m, kPeb);
        CHECK(reader.ReadString(ProcessParametersReader::CommandLine) == std::string("app.exe -x"));
        std::optional<std::string> env = reader.ReadEnvironment();
        REQUIRE(env);
        CHECK(std::strcmp(env->c_str(), "A=1") == 0);
        CHECK(std::strcmp(env->c_str() + 4, "B=2") == 0);
        // The other descriptors are empty: Buffer 0 gives no value.
        CHECK_FALSE(reader.ReadString(ProcessParametersReader::CurrentDirectory));

        // An empty command line is an empty text.
        FakeMemory empty = Target(u"", 2, std::u16string(2, u'\0'));
        CHECK(ProcessParametersReader(empty, kPeb).ReadString(ProcessParametersReader::CommandLine)
              == std::string());

        // The text is cut to MaximumLength - 1 bytes.
        FakeMemory cut = Target(u"abcdef", 6, std::u16string(2, u'\0'));
        // Length 12 > MaximumLength 6: runaway, no value.
        CHECK_FALSE(ProcessParametersReader(cut, kPeb).ReadString(ProcessParametersReader::CommandLine));
        FakeMemory exact = Target(u"abcdef", 12, std::u16string(2, u'\0'));
        CHECK(ProcessParametersReader(exact, kPeb).ReadString(ProcessParametersReader::CommandLine)
              == std::string("abcdef"));
        FakeMemory tight = Target(u"abcdef", 12, std::u16string(2, u'\0'));
        tight.Place(kParameters + 66, {6, 0});  // MaximumLength 6, Length 12
        CHECK_FALSE(ProcessParametersReader(tight, kPeb).ReadString(ProcessParametersReader::CommandLine));
        FakeMemory full = Target(u"abcdef", 12, std::u16string(2, u'\0'));
        full.Place(kParameters + 64, {10, 0});  // Length 10 of MaximumLength 12: "abcde"
        CHECK(ProcessParametersReader(full, kPeb).ReadString(ProcessParametersReader::CommandLine)
              == std::string("abcde"));

        // A text with a zero inside is read up to it.
        FakeMemory inner = Target(std::u16string(u"ab\0cd", 5), 20, std::u16string(2, u'\0'));
        CHECK(ProcessParametersReader(inner, kPeb).ReadString(ProcessParametersReader::CommandLine)
              == std::string("ab"));

        // Unreadable PEB or parameter block.
        FakeMemory none;
        CHECK_FALSE(ProcessParametersReader(none, kPeb).ReadString(ProcessParametersReader::CommandLine));
        CHECK_FALSE(ProcessParametersReader(none, kPeb).ReadEnvironment());
    }

    TEST_CASE("environment blocks: straddling ends, runaway walks, holes")
    {
        // "A=1" and its two zero characters straddle a 4-byte step: the walk
        // goes on to the first all-zero step and converts the extra characters too.
        FakeMemory straddle = Target(u"x", 4, std::u16string(u"A=1\0\0Z\0\0", 8));
        std::optional<std::string> env = ProcessParametersReader(straddle, kPeb).ReadEnvironment();
        REQUIRE(env);
        CHECK(std::strcmp(env->c_str(), "A=1") == 0);
        CHECK(env->size() >= 8);
        CHECK((*env)[5] == 'Z');

        // No zero step before unreadable memory: no value.
        FakeMemory hole = Target(u"x", 4, std::u16string(u"A=1\0B", 5));
        CHECK_FALSE(ProcessParametersReader(hole, kPeb).ReadEnvironment());

        // A block that never ends within the limit: no value, and a bounded walk.
        FakeMemory runaway = Target(u"x", 4, u"");
        std::vector<uint8_t> filler(ProcessParametersReader::kMaxEnvironmentBytes + 64, 'a');
        runaway.Place(0x00040000, filler);
        CHECK_FALSE(ProcessParametersReader(runaway, kPeb).ReadEnvironment());
        CHECK(runaway.reads < 5000);  // whole pages, not 4-byte steps

        // An environment pointer of 0.
        FakeMemory zero = Target(u"x", 4, std::u16string(4, u'\0'));
        std::vector<uint8_t> parameters(4, 0);
        zero.Place(kParameters + 72, parameters);
        CHECK_FALSE(ProcessParametersReader(zero, kPeb).ReadEnvironment());
    }
}
