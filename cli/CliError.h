#pragma once

#include <string>

// The console tool's one error style: every failure is one line on
// standard error, "tarnwick-cli: COMMAND: what failed: why", with control
// characters written as \xNN so that no path or name can add a line.
class CliError {
public:
    // The command named in the lines that follow ("" before one is known).
    static void SetCommand(const std::string& name);
    static const std::string& CommandName();

    // A bad command line: the line ends with the help hint. Returns 2.
    static int Usage(const std::string& message);
    // Something failed. Returns 1.
    static int Failure(const std::string& message);
    // A file or folder that could not be used: its path, what failed and the
    // system's message for `systemError`. Returns 1.
    static int FileFailure(const std::string& path, const std::string& what, unsigned long systemError);

    // The system's text for an error code, on one line without its final
    // full stop; "error N" when the system has none.
    static std::string SystemMessage(unsigned long systemError);
    // Control characters as \xNN.
    static std::string OneLine(const std::string& text);
};
