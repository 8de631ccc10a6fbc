#pragma once

#include "cli/CliCommand.h"
#include "cli/RecordWriter.h"

#include <string>
#include <vector>

// A command's command line, parsed by the rules every command shares:
// --opt VALUE and --opt=VALUE; switches take no value; listed values match
// in any case and are kept in their listed spelling; the last of a repeated
// option wins; "--" ends the options (a pattern that starts with "-" needs
// it); "-h", "--help" and "/?" before it ask for help; a lone "-" is an
// operand; any other word starting with "-" is an unknown option.
class CliArguments {
public:
    enum Outcome { Run, Help, Error };

    // `words`: what follows the command name.
    Outcome Parse(const CliCommand& command, const std::vector<std::string>& words);

    // Why Parse gave Error: one line, without the tool's name.
    const std::string& Message() const { return message; }
    const CliCommand& Command() const { return *command; }
    const std::vector<std::string>& Operands() const { return operands; }
    bool Has(const char* option) const;
    // The option's value ("" when it was not given; a switch gives "1").
    std::string Value(const char* option) const;
    // --format (table when not given).
    RecordWriter::Format Format() const;

    // The options a command takes: its own, and --format with a schema.
    static std::vector<CliOption> OptionsOf(const CliCommand& command);
    static bool SameName(const std::string& a, const char* b);

private:
    bool Set(const CliOption& option, const std::string& value);

    const CliCommand* command = nullptr;
    std::string message;
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> values;
};
