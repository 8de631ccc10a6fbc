#include <doctest/doctest.h>

#include "sysutils/TextHelpers.h"

#include <cstring>
#include <limits>
#include <string>

TEST_SUITE("text helpers")
{
    TEST_CASE("size conversions round up")
    {
        CHECK(TextHelpers::BytesToKB(0) == 0);
        CHECK(TextHelpers::BytesToKB(1) == 1);
        CHECK(TextHelpers::BytesToKB(1024) == 1);
        CHECK(TextHelpers::BytesToKB(1025) == 2);
        CHECK(TextHelpers::BytesToKB(0xFFFFFFFFu) == 4194304u);
        CHECK(TextHelpers::BytesToMB(1048576) == 1);
        CHECK(TextHelpers::BytesToMB(1048577) == 2);
        CHECK(TextHelpers::BytesToGB(1) == 1);
        CHECK(TextHelpers::BytesToGB(0xFFFFFFFFu) == 4);
        CHECK(TextHelpers::RoundToDecimals(3.14159, 2) == doctest::Approx(3.14));
        CHECK(TextHelpers::RoundToDecimals(2.5, 0) == doctest::Approx(3.0));
        CHECK(TextHelpers::RoundToDecimals(1.005, 3) == doctest::Approx(1.005));
    }

    TEST_CASE("path parts")
    {
        char buffer[16];
        CHECK(TextHelpers::CopyFileNamePart("C:\\Windows\\notepad.exe", buffer, sizeof(buffer)) == 11);
        CHECK(std::string(buffer) == "notepad.exe");
        std::strcpy(buffer, "junk");
        CHECK(TextHelpers::CopyFileNamePart("notepad.exe", buffer, sizeof(buffer)) == 0);
        CHECK(buffer[0] == '\0');
        CHECK(TextHelpers::CopyFileNamePart("C:\\a-very-long-file-name.dll", buffer, 8) == 7);
        CHECK(std::string(buffer) == "a-very-");

        CHECK(std::string(TextHelpers::GetFileNamePart("C:\\dir\\x.dll")) == "x.dll");
        CHECK(std::string(TextHelpers::GetFileNamePart("x.dll")) == "x.dll");
        CHECK(std::string(TextHelpers::GetFileNamePart("C:\\dir\\")).empty());
        CHECK(TextHelpers::GetFileNamePart(nullptr) == nullptr);

        CHECK(TextHelpers::IsWin32Path("C:\\Windows") == 1);
        CHECK(TextHelpers::IsWin32Path("\\??\\C:\\Windows") == 0);
        CHECK(TextHelpers::IsWin32Path("\\SystemRoot\\System32\\smss.exe") == 0);
        CHECK(TextHelpers::IsWin32Path("xSystemRootx") == 0);
        CHECK(TextHelpers::IsWin32Path("\\\\server\\share") == 1);

        CHECK(TextHelpers::IsUncPath("\\\\server\\share"));
        CHECK_FALSE(TextHelpers::IsUncPath("\\server"));
        CHECK_FALSE(TextHelpers::IsUncPath(nullptr));
        CHECK(TextHelpers::HasShortNameMarker("C:\\PROGRA~1"));
        CHECK_FALSE(TextHelpers::HasShortNameMarker("C:\\Program Files"));
        CHECK_FALSE(TextHelpers::HasShortNameMarker(nullptr));
    }

    TEST_CASE("native paths become Win32 paths")
    {
        char path[300];
        std::strcpy(path, "\\??\\C:\\Windows\\system32\\csrss.exe");
        CHECK(TextHelpers::FixNativePath(path, sizeof(path), "C:\\WINNT") == 29);
        CHECK(std::string(path) == "C:\\Windows\\system32\\csrss.exe");

        std::strcpy(path, "\\SystemRoot\\System32\\smss.exe");
        int length = TextHelpers::FixNativePath(path, sizeof(path), "C:\\WINNT");
        CHECK(std::string(path) == "C:\\WINNT\\System32\\smss.exe");
        CHECK(length == static_cast<int>(std::strlen(path)));

        // Only at the start: a folder named SystemRoot anywhere else is no system folder.
        for (const char* spoof : {"C:\\x\\SystemRoot\\system32\\version.dll", "\\\\srv\\SystemRoot\\a.exe",
                                  "C:\\SystemRoot\\notepad.exe"}) {
            std::strcpy(path, spoof);
            CHECK(TextHelpers::FixNativePath(path, sizeof(path), "C:\\WINNT") == static_cast<int>(std::strlen(spoof)));
            CHECK(std::string(path) == spoof);
        }
        std::strcpy(path, "\\??\\C:\\x\\SystemRoot\\a.dll");
        TextHelpers::FixNativePath(path, sizeof(path), "C:\\WINNT");
        CHECK(std::string(path) == "C:\\x\\SystemRoot\\a.dll");
        std::strcpy(path, "\\SystemRoot\\");
        TextHelpers::FixNativePath(path, sizeof(path), "C:\\WINNT");
        CHECK(std::string(path) == "C:\\WINNT\\");

        std::strcpy(path, "C:\\plain.exe");
        CHECK(TextHelpers::FixNativePath(path, sizeof(path), "C:\\WINNT") == 12);
        CHECK(std::string(path) == "C:\\plain.exe");

        CHECK(TextHelpers::FixNativePath(path, 259, "C:\\WINNT") == 0);
        CHECK(TextHelpers::FixNativePath(nullptr, 260, "C:\\WINNT") == 0);
        char longPath[400];
        std::memset(longPath, 'a', 261);
        longPath[261] = '\0';
        CHECK(TextHelpers::FixNativePath(longPath, sizeof(longPath), "C:\\WINNT") == 0);
    }

    TEST_CASE("rounding to decimals is defined for every input")
    {
        CHECK(TextHelpers::RoundToDecimals(1.25, 1) == doctest::Approx(1.3));
        CHECK(TextHelpers::RoundToDecimals(2.344, 2) == doctest::Approx(2.34));
        CHECK(TextHelpers::RoundToDecimals(7.5, 0) == 8.0);
        CHECK(TextHelpers::RoundToDecimals(7.4, -3) == 7.0);  // no digits below zero
        // Beyond what 32 bits hold, and below zero: the same rounding.
        CHECK(TextHelpers::RoundToDecimals(5e9 + 0.5, 0) == 5000000001.0);
        CHECK(TextHelpers::RoundToDecimals(1e20, 2) == 1e20);
        CHECK(TextHelpers::RoundToDecimals(-2.346, 2) == doctest::Approx(-2.35));
        CHECK(TextHelpers::RoundToDecimals(-2.5, 0) == -2.0);  // half up
        CHECK(TextHelpers::RoundToDecimals(0.123456789012, 11) == doctest::Approx(0.12345678901));
        CHECK(TextHelpers::RoundToDecimals(3.0, 400) == 3.0);
        CHECK(TextHelpers::RoundToDecimals(3.0, 2147483647) == 3.0);
        const double infinity = std::numeric_limits<double>::infinity();
        CHECK(TextHelpers::RoundToDecimals(infinity, 2) == infinity);
        CHECK(TextHelpers::RoundToDecimals(-infinity, 2) == -infinity);
        CHECK(TextHelpers::RoundToDecimals(1e308, 5) == 1e308);
        const double nan = TextHelpers::RoundToDecimals(std::numeric_limits<double>::quiet_NaN(), 2);
        CHECK(nan != nan);
    }

    TEST_CASE("comparisons and bit counts")
    {
        CHECK(TextHelpers::CompareUnsigned(1, 2) == -1);
        CHECK(TextHelpers::CompareUnsigned(0xFFFFFFFFu, 0) == 1);
        CHECK(TextHelpers::CompareUnsigned(5, 5) == 0);
        CHECK(TextHelpers::CountSetBits(0) == 0);
        CHECK(TextHelpers::CountSetBits(0xFFFFFFFFu) == 32);
        CHECK(TextHelpers::CountSetBits(0x80000001u) == 2);
    }

    TEST_CASE("white space")
    {
        char text[64];
        std::strcpy(text, "  Microsoft  Windows \t 98   SE ");
        CHECK(std::string(TextHelpers::CollapseWhitespace(text)) == "Microsoft Windows 98 SE");
        std::strcpy(text, "   ");
        CHECK(std::string(TextHelpers::CollapseWhitespace(text)).empty());
        CHECK(TextHelpers::CollapseWhitespace(nullptr) == nullptr);

        std::strcpy(text, "abc  \t ");
        char* end = TextHelpers::TrimRight(text);
        CHECK(end == text + 3);
        CHECK(*end == '\0');
        std::strcpy(text, " \t abc ");
        CHECK(TextHelpers::TrimLeft(text) == text);
        CHECK(std::string(text) == "abc ");

        CHECK(TextHelpers::IsBlank(""));
        CHECK(TextHelpers::IsBlank("    "));
        CHECK_FALSE(TextHelpers::IsBlank(" \t "));
        CHECK_FALSE(TextHelpers::IsBlank(" x "));
    }

    TEST_CASE("multi-strings build a common-dialog filter")
    {
        char filter[64];
        std::memset(filter, 'z', sizeof(filter));
        filter[0] = '\0';
        char* position = filter;
        // The first call appends after the empty string at the start.
        position = TextHelpers::AppendMultiString(position, "Text");
        position = TextHelpers::AppendMultiString(position, "*.txt");
        CHECK(std::memcmp(filter, "\0Text\0*.txt\0\0", 13) == 0);
        CHECK(position == filter + 11);
    }

    TEST_CASE("in-place edits")
    {
        char text[64];
        CHECK(TextHelpers::FillBytes(text, '-', 5) == text);
        CHECK(std::string(text) == "-----");

        std::strcpy(text, "a/b/c");
        CHECK(std::string(TextHelpers::ReplaceChar(text, '/', '\\')) == "a\\b\\c");

        std::strcpy(text, "hELLO wORLD");
        CHECK(std::string(TextHelpers::Capitalize(text)) == "Hello world");
        CHECK(TextHelpers::Capitalize(nullptr) == nullptr);

        const char* haystack = "Kernel32.DLL";
        CHECK(TextHelpers::FindNoCase(haystack, "32.dll") == haystack + 6);
        CHECK(TextHelpers::FindNoCase("", "x") == nullptr);
        CHECK(TextHelpers::FindNoCase("abc", "abcd") == nullptr);

        std::strcpy(text, "aXXbXXXc");
        CHECK(TextHelpers::RemoveAll(text, "XX"));
        CHECK(std::string(text) == "abXc");
        std::strcpy(text, "aaaa");
        CHECK(TextHelpers::RemoveAll(text, "aa"));
        CHECK(std::string(text).empty());
        std::strcpy(text, "abc");
        CHECK_FALSE(TextHelpers::RemoveAll(text, "x"));
    }
}
