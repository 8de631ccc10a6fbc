#pragma once

#include "cli/RecordSchema.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CliArguments;

// One option of a command: a switch (--tree) or an option with a value
// (--sort MODE, --sort=MODE). Names and listed values match in any case.
struct CliOption {
    const char* name;       // without the dashes
    const char* valueName;  // "MODE"; null for a switch
    const char* choices;    // "name|ext|order": the values taken; null for any text
    const char* help;       // one line
    const char* sets;       // a switch that stands for another option ("format=tsv"); usually null
};

// One command of tarnwick-cli, as listed in the command table (main.cpp).
// The tool parses its options and operands, answers -h, --help and /? from
// this record, reports bad command lines in one line, and adds
// --format table|tsv|csv|json when the command has a record schema.
struct CliCommand {
    static const size_t kAny = SIZE_MAX;

    const char* name;
    const char* operands;  // usage text after the options: "[PATTERN|PID]..."
    const char* summary;   // one line for the tool's command list
    const char* help;      // the text of "COMMAND --help": what it prints, its exit status
    std::vector<CliOption> options;
    const RecordSchema* schema;  // the records of --format; null when it prints none
    size_t nMinOperands;
    size_t nMaxOperands;  // kAny: no limit
    int (*run)(const CliArguments& arguments);
};
