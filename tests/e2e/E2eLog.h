#pragma once

#include <string>

// Where the driver reports trouble: a doctest failure inside a test case,
// standard error outside one (the dump mode).
class E2eLog {
public:
    static void Fail(const std::string& text);
    static void Note(const std::string& text);

    // Set by the test listener around each test case.
    static void SetTestCase(const char* name);
    static bool InTestCase();
    // Test case name reduced to letters, digits and '-', for file names.
    static std::string TestCaseFileName();

private:
    static std::string& CurrentName();
};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
