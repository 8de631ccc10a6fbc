#pragma once

// The commands of tarnwick-cli.
//
// Adding a command:
// 1. Write its handler, `int Handler(const CliArguments& arguments)`, in a
//    file of its own (cli/<Name>Command.cpp), with its `CliCommand` record:
//    name, operands, summary, help text, options, record schema (or null),
//    the least and most operands, the handler.
// 2. Declare the record below and add it to the command table in main.cpp
//    (the order there is the order of the tool's help).
// 3. Handlers return 0 on success; on failure they return what `CliError`
//    returns: Usage(...) for a bad command line (2), Failure(...) or
//    FileFailure(...) for anything else (1), each one line on stderr.
// 4. A command that prints records gives a `RecordSchema` (fields in a fixed
//    order, the same on every OS family) and writes its records through
//    `RecordValues::Stdout(arguments.Format(), schema)`; --format is then
//    taken and documented for it. Its own table, when it has one, is
//    printed for `RecordWriter::Table`.
// Options, -h/--help//?, "--" and the operand counts are checked before the
// handler runs. Describe the command and its schema in docs/console-tool.md.
#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliError.h"

#include <cstdint>
#include <string>
#include <vector>

namespace CliCommands {
typedef std::vector<std::string> Args;

extern const CliCommand kOs;
extern const CliCommand kPe;
extern const CliCommand kPs;
extern const CliCommand kModules;
extern const CliCommand kFindDll;
extern const CliCommand kMachine;
extern const CliCommand kReport;
extern const CliCommand kParams;
extern const CliCommand kModInfo;
extern const CliCommand kPlugins;
extern const CliCommand kLanguages;
extern const CliCommand kHelpFile;
extern const CliCommand kSrc;
extern const CliCommand kSearchUrl;
extern const CliCommand kEngines;
extern const CliCommand kPipe;
extern const CliCommand kCpu;
extern const CliCommand kKill;
extern const CliCommand kSettings;

// The command table, in help order.
const std::vector<const CliCommand*>& All();

// The same as CliError::Usage: "tarnwick-cli: COMMAND: message (see ...)"; returns 2.
int UsageError(const std::string& message);
} // namespace CliCommands
