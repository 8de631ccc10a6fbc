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
    // pass, as one argument by the C runtime's rules: in double quotes, a quote
    // inside as \" and the backslashes before a quote doubled. A "%m" that
    // already stands inside quotes of the template gets no quotes of its own.
    // False when the result would be too long.
    static bool Substitute(const std::string& arguments, const std::string& modulePath, std::string& out);
    // For a process created with the program as application name: the
    // program's file name (quoted when it holds a space), then the arguments.
    // False also when the program runs through the command interpreter and
    // the module path is not safe there.
    static bool ForProcess(const std::string& application, const std::string& arguments,
                           const std::string& modulePath, std::string& out);
    // For the console window, which passes no application name: the program
    // path in quotes, then the arguments; refused like ForProcess.
    static bool ForConsole(const std::string& application, const std::string& arguments,
                           const std::string& modulePath, std::string& out);
    // The part after the last backslash (the whole text when there is none).
    static std::string FileNamePart(const std::string& path);

    // `text` as one quoted argument of the C runtime.
    static std::string Quote(const std::string& text);
    // The program is run by the command interpreter: a batch file (.bat,
    // .cmd) or the interpreter itself (cmd.exe, command.com).
    static bool RunsThroughInterpreter(const std::string& application);
    // Nothing in `text` that the command interpreter acts on even inside
    // quotes, or that ends the quotes: no " % ! ^ & | < > and no control
    // characters.
    static bool IsSafeForInterpreter(const std::string& text);
};
