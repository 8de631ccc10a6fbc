#pragma once

#include <cstddef>
#include <string>

// Command lines of user-defined applications. Nothing here calls the
// operating system.
class ApplicationCommandLine {
public:
    // The longest command line CreateProcess takes, without its terminator.
    static constexpr size_t kMaxLength = 32766;

    // The argument template with every "%m" replaced by the module path in one
    // pass; the path is quoted when it holds a space and the "%m" is not
    // already inside quotes. False when the result would be too long.
    static bool Substitute(const std::string& arguments, const std::string& modulePath, std::string& out);
    // For a process created with the program as application name: the
    // program's file name (quoted when it holds a space), then the arguments.
    static bool ForProcess(const std::string& application, const std::string& arguments,
                           const std::string& modulePath, std::string& out);
    // For the console window, which passes no application name: the program
    // path in quotes, then the arguments.
    static bool ForConsole(const std::string& application, const std::string& arguments,
                           const std::string& modulePath, std::string& out);
    // The part after the last backslash (the whole text when there is none).
    static std::string FileNamePart(const std::string& path);
};
