#include <doctest/doctest.h>

#include "cli/ProcessIdText.h"
#include "cli/TabText.h"
#include "sysinfo/ProcessParametersReader.h"

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

// Memory of a pretend process: a map of address to bytes.
class FakeMemory : public ProcessMemory {
public:
    void Place(uint32_t address, const std::vector<uint8_t>& bytes)
    {
        for (size_t i = 0; i < bytes.size(); ++i) memory[address + static_cast<uint32_t>(i)] = bytes[i];
    }
    bool Read(uint64_t address, void* buffer, uint32_t size) override
    {
        ++reads;
        uint8_t* out = static_cast<uint8_t*>(buffer);
        for (uint32_t i = 0; i < size; ++i) {
            auto it = memory.find(static_cast<uint32_t>(address + i));
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
    TEST_CASE("tab-separated escaping")
    {
        CHECK(TabText::Escape("a\tb\rc\nd\\e") == "a\\tb\\rc\\nd\\\\e");
        CHECK(TabText::Escape("plain") == "plain");
        // Every other control character, and DEL: no terminal escape gets through.
        CHECK(TabText::Escape("a\x1b[31mb\x01" "c\x7f") == "a\\x1B[31mb\\x01c\\x7F");
        CHECK(TabText::Escape(std::string("\0", 1)) == "\\x00");
        CHECK(TabText::Escape("caf\xE9") == "caf\xE9");
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
