#include "cli/CliHelp.h"

#include "cli/CliArguments.h"

namespace {

// "  left" padded to `width`, then the text wrapped at 79 columns, its
// further lines lined up with its first; a long left part gets a line of its own.
std::string Entry(const std::string& left, const std::string& text, size_t width)
{
    std::string out = "  " + left;
    if (out.size() + 2 > width) {
        out += "\n";
        out.append(width, ' ');
    } else {
        out.append(width - out.size(), ' ');
    }
    size_t column = width;
    bool lineStart = true;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\n') {
            out += "\n";
            out.append(width, ' ');
            column = width;
            lineStart = true;
            ++i;
            continue;
        }
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        size_t end = text.find_first_of(" \n", i);
        if (end == std::string::npos) end = text.size();
        const size_t length = end - i;
        if (!lineStart && column + 1 + length > 79) {
            out += "\n";
            out.append(width, ' ');
            column = width;
            lineStart = true;
        }
        if (!lineStart) {
            out += ' ';
            ++column;
        }
        out.append(text, i, length);
        column += length;
        lineStart = false;
        i = end;
    }
    return out + "\n";
}

} // namespace

const char* CliHelp::TypeName(FieldType type)
{
    switch (type) {
    case FieldType::Integer: return "integer";
    case FieldType::Boolean: return "boolean";
    case FieldType::Time: return "time";
    case FieldType::Number: return "number";
    default: return "text";
    }
}

std::string CliHelp::Fields(const RecordSchema& schema)
{
    std::string text;
    for (const RecordField& field : schema.fields)
        text += Entry(std::string(field.name) + " (" + TypeName(field.type) + ")", field.meaning, 31);
    for (const RecordList& list : schema.lists) {
        text += Entry(std::string(list.name) + " (list)", list.meaning, 31);
        for (const RecordField& field : list.fields)
            text += Entry(std::string("  ") + field.name + " (" + TypeName(field.type) + ")", field.meaning, 31);
    }
    return text;
}

std::string CliHelp::Tool(const std::vector<const CliCommand*>& commands)
{
    std::string text =
        "Usage: tarnwick-cli COMMAND [OPTIONS] [OPERANDS]\n"
        "       tarnwick-cli COMMAND --help\n"
        "       tarnwick-cli --version\n"
        "\n"
        "The engine of Tarnwick without its window: processes, modules, PE images,\n"
        "reports.\n"
        "\n"
        "Commands:\n";
    for (const CliCommand* command : commands) text += Entry(command->name, command->summary, 14);
    text +=
        "\n"
        "Options go before or after the operands, as --opt VALUE or --opt=VALUE;\n"
        "names and listed values in any case. \"--\" ends the options (a pattern that\n"
        "starts with \"-\" needs it). -h, --help and /? show a command's help.\n"
        "\n"
        "Commands that print records take --format table|tsv|csv|json: table (the\n"
        "default) is for reading, in the console's code page; tsv, csv and json\n"
        "have one schema per command, the same on every Windows, in UTF-8.\n"
        "\n"
        "Exit status: 0 success, 1 failure, 2 bad command line; every failure\n"
        "writes one line on standard error.\n";
    return text;
}

std::string CliHelp::Command(const CliCommand& command)
{
    const std::vector<CliOption> options = CliArguments::OptionsOf(command);
    std::string text = "Usage: tarnwick-cli " + std::string(command.name);
    if (!options.empty()) text += " [OPTIONS]";
    if (command.operands && *command.operands) text += " " + std::string(command.operands);
    std::string summary = command.summary;
    if (!summary.empty() && summary[0] >= 'a' && summary[0] <= 'z') summary[0] = static_cast<char>(summary[0] - 32);
    text += "\n\n" + summary + ".\n";
    if (command.help && *command.help) text += "\n" + std::string(command.help);
    if (!text.empty() && text.back() != '\n') text += "\n";
    text += "\nOptions:\n";
    for (const CliOption& option : options) {
        std::string left = "--" + std::string(option.name);
        if (option.valueName) left += " " + std::string(option.valueName);
        std::string help = option.help ? option.help : "";
        if (help.empty() && option.choices) help = option.choices;
        text += Entry(left, help, 24);
    }
    text += Entry("-h, --help, /?", "this text", 24);
    if (command.schema) {
        text += "\nRecords of --format tsv, csv and json, one per " + std::string(command.schema->meaning) + ":\n";
        text += Fields(*command.schema);
    }
    return text;
}
