#include <doctest/doctest.h>

#include "sysutils/MessageTemplate.h"

#include <string>

TEST_SUITE("text helpers")
{
    TEST_CASE("message templates: printf forms, wrong and missing arguments, the length bound")
    {
        typedef MessageTemplate::Arg A;
        CHECK(MessageTemplate::Format("%s [PID: %d] rc %u 0x%08X %x %o %c %%", {"a.exe", 12, 7, 255, 255, 8, 65}, 200)
              == "a.exe [PID: 12] rc 7 0x000000FF ff 10 A %");
        CHECK(MessageTemplate::Format("[%5d|%-5d|%05d|%+d|% d|%.3d|%#x|%#o]", {A(42), A(42), A(-42), A(3), A(3), A(7), A(255), A(8)}, 200)
              == "[   42|42   |-0042|+3| 3|007|0xff|010]");
        CHECK(MessageTemplate::Format("[%6s|%-6s|%.2s]", {"ab", "ab", "abcdef"}, 200) == "[    ab|ab    |ab]");
        CHECK(MessageTemplate::Format("%d", {A(int64_t(0xFFFFFFFFu))}, 100) == "-1");
        CHECK(MessageTemplate::Format("%ld %lu %I64d %hd", {1, 2, 3, 4}, 100) == "1 2 3 4");
        // Text for a number, a number for a text, nothing for what is missing.
        CHECK(MessageTemplate::Format("%d|%s|%s|%d|", {"text", 5}, 100) == "text|5|||");
        // %n writes nothing anywhere; an unknown conversion stays as written.
        CHECK(MessageTemplate::Format("a%nb%yc%", {1}, 100) == "a%nb%yc%");
        CHECK(MessageTemplate::Format("%*d%.*s", {1, "x"}, 100) == "1x");
        // Huge widths and long texts stop at the bound.
        CHECK(MessageTemplate::Format("%999999999d", {1}, 100).size() <= 256);
        CHECK(MessageTemplate::Format("%s%s", {std::string(300, 'a'), std::string(300, 'b')}, 400).size() == 400);
        CHECK(MessageTemplate::Format(nullptr, {}, 10).empty());
        CHECK(MessageTemplate::Format("", {1}, 10).empty());
    }

    TEST_CASE("checked templates: a text of a language module must take the arguments its conversions say")
    {
        typedef MessageTemplate::Arg A;
        // Strings 55, 73 and 56 as the program has them, and translations that keep the arguments.
        const std::vector<A> tip = {"a.exe", 12, "Desc", "C:\\a.exe"};
        CHECK(MessageTemplate::Matches("Failed to start \"%s\" !", {"Tool"}));
        CHECK(MessageTemplate::Matches("%s - [PID: %d]\r\nDescription: %s\r\nFile name: %s", tip));
        CHECK(MessageTemplate::Matches("%s - [PID: 0x%08X]\r\nDescription: %s\r\nFile name: %s", tip));
        CHECK(MessageTemplate::Matches("%s [PID: %d] could not be terminated!\r\nErrorCode: %d\r\nErrorDescription: %s\r\n",
                                       {"a.exe", 12, 5, "denied"}));
        CHECK(MessageTemplate::Matches("100%% sicher? \"%-10.4s\" (%5ld, %hu, %x, %o, %i)", {"x", 1, 2, 3, 4, 5}));
        CHECK(MessageTemplate::Matches("no conversions, 100%%", {}));
        // Wrong kind, wrong count, conversions that read or write what is not there.
        for (const char* bad : {"%s%s%s%n", "%s %d", "%d", "%s %s %s %s %s", "%n", "%c", "%p", "%*s",
                                "%.*s", "%I64d", "%lld", "%S", "%ls", "%", "text %", "%y", "%1$s"}) {
            const std::string text = bad;
            CAPTURE(text);
            CHECK_FALSE(MessageTemplate::Matches(bad, {"Tool"}));
        }
        // The same text may fit one string and not another.
        CHECK(MessageTemplate::Matches("PID %s", {"Tool"}));
        CHECK_FALSE(MessageTemplate::Matches("PID %s", tip));
        CHECK_FALSE(MessageTemplate::Matches("%s - [PID: %s]\r\nDescription: %s\r\nFile name: %s", tip));
        CHECK_FALSE(MessageTemplate::Matches(nullptr, {}));

        // A text that does not match gives way to the program's own text.
        const char own[] = "Failed to start \"%s\" !";
        CHECK(MessageTemplate::FormatChecked("%s%s%s%n", own, {"Tool"}, 100) == "Failed to start \"Tool\" !");
        CHECK(MessageTemplate::FormatChecked("PID %s", "%s - [PID: %d]", {"a.exe", 12}, 100) == "a.exe - [PID: 12]");
        CHECK(MessageTemplate::FormatChecked("Start von \"%s\" fehlgeschlagen!", own, {"Tool"}, 100)
              == "Start von \"Tool\" fehlgeschlagen!");
        CHECK(MessageTemplate::FormatChecked(nullptr, own, {"Tool"}, 100) == "Failed to start \"Tool\" !");
        CHECK(MessageTemplate::FormatChecked("%999s", own, {"Tool"}, 100).size() <= 100);
    }
}
