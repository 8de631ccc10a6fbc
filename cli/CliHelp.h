#pragma once

#include "cli/CliCommand.h"

#include <string>
#include <vector>

// The help texts, made from the command table: the tool's (command list,
// shared rules) and each command's (usage, options, record fields).
class CliHelp {
public:
    static std::string Tool(const std::vector<const CliCommand*>& commands);
    static std::string Command(const CliCommand& command);
    // The record fields of a schema, one line each, as the help shows them.
    static std::string Fields(const RecordSchema& schema);
    static const char* TypeName(FieldType type);
};
