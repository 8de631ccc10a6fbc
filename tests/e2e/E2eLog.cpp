#include "tests/e2e/E2eLog.h"

#include <doctest/doctest.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>

std::string& E2eLog::CurrentName()
{
    static std::string name;
    return name;
}

void E2eLog::SetTestCase(const char* name)
{
    CurrentName() = name ? name : "";
}

bool E2eLog::InTestCase()
{
    return !CurrentName().empty();
}

std::string E2eLog::TestCaseFileName()
{
    std::string out;
    for (char c : CurrentName()) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!out.empty() && out.back() != '-')
            out += '-';
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
    return out.empty() ? "no-test" : out;
}

void E2eLog::Fail(const std::string& text)
{
    if (InTestCase())
        FAIL_CHECK(text);
    else
        std::fprintf(stderr, "e2e: %s\n", text.c_str());
}

void E2eLog::Note(const std::string& text)
{
    if (InTestCase())
        MESSAGE(text);
    else
        std::fprintf(stderr, "e2e: %s\n", text.c_str());
}

std::string Format(const char* format, ...)
{
    char buffer[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    return buffer;
}
