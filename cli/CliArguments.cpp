#include "cli/CliArguments.h"

#include <cctype>

namespace {

const CliOption kFormatOption = {"format", "FORMAT", "table|tsv|csv|json",
                                 "table (the default), tsv, csv or json", nullptr};

std::vector<std::string> Choices(const char* list)
{
    std::vector<std::string> choices;
    std::string current;
    for (const char* p = list; p && *p; ++p) {
        if (*p == '|') {
            choices.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    if (list) choices.push_back(current);
    return choices;
}

// "a, b or c"
std::string Listed(const char* list)
{
    const std::vector<std::string> choices = Choices(list);
    std::string text;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (i) text += i + 1 == choices.size() ? " or " : ", ";
        text += choices[i];
    }
    return text;
}

} // namespace

bool CliArguments::SameName(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

std::vector<CliOption> CliArguments::OptionsOf(const CliCommand& command)
{
    std::vector<CliOption> options;
    if (command.schema) options.push_back(kFormatOption);
    options.insert(options.end(), command.options.begin(), command.options.end());
    return options;
}

bool CliArguments::Set(const CliOption& option, const std::string& value)
{
    std::string kept = value;
    if (option.choices) {
        bool found = false;
        for (const std::string& choice : Choices(option.choices))
            if (SameName(value, choice.c_str())) {
                kept = choice;
                found = true;
            }
        if (!found) {
            message = "'--" + std::string(option.name) + "' takes " + Listed(option.choices) + ", not '" + value + "'";
            return false;
        }
    }
    values.emplace_back(option.name, kept);
    return true;
}

CliArguments::Outcome CliArguments::Parse(const CliCommand& which, const std::vector<std::string>& words)
{
    command = &which;
    message.clear();
    operands.clear();
    values.clear();
    const std::vector<CliOption> options = OptionsOf(which);

    size_t end = words.size();
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--") {
            end = i;
            break;
        }
        if (words[i] == "-h" || words[i] == "/?" || SameName(words[i], "--help")) return Help;
    }

    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (i >= end || word.size() < 2 || word[0] != '-') {
            if (i != end) operands.push_back(word);
            continue;
        }
        const size_t equals = word.find('=');
        const std::string name = word.compare(0, 2, "--") == 0 ? word.substr(2, equals == std::string::npos
                                                                                   ? std::string::npos
                                                                                   : equals - 2)
                                                              : std::string();
        const CliOption* option = nullptr;
        for (const CliOption& candidate : options)
            if (!name.empty() && SameName(name, candidate.name)) option = &candidate;
        if (!option) {
            message = "unknown option '" + (equals == std::string::npos ? word : word.substr(0, equals)) + "'";
            return Error;
        }
        if (!option->valueName) {
            if (equals != std::string::npos) {
                message = "'--" + std::string(option->name) + "' takes no value";
                return Error;
            }
            if (option->sets) {
                const std::string sets = option->sets;
                const size_t at = sets.find('=');
                for (const CliOption& target : options)
                    if (SameName(sets.substr(0, at), target.name)) {
                        if (!Set(target, sets.substr(at + 1))) return Error;
                    }
            }
            values.emplace_back(option->name, "1");
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < words.size() && i + 1 != end) {
            value = words[++i];
        } else {
            message = "'--" + std::string(option->name) + "' needs " + (option->choices
                                                                             ? Listed(option->choices)
                                                                             : std::string(option->valueName));
            return Error;
        }
        if (!Set(*option, value)) return Error;
    }

    if (operands.size() < which.nMinOperands) {
        message = std::string("missing ") + (which.operands && *which.operands ? which.operands : "operand");
        return Error;
    }
    if (operands.size() > which.nMaxOperands) {
        if (which.nMaxOperands == 0)
            message = "takes no operands (got '" + operands[0] + "')";
        else
            message = "takes at most " + std::to_string(which.nMaxOperands) + " operand"
                    + (which.nMaxOperands == 1 ? "" : "s") + " (got '" + operands[which.nMaxOperands] + "')";
        return Error;
    }
    return Run;
}

bool CliArguments::Has(const char* option) const
{
    for (const auto& value : values)
        if (SameName(value.first, option)) return true;
    return false;
}

std::string CliArguments::Value(const char* option) const
{
    std::string found;
    for (const auto& value : values)
        if (SameName(value.first, option)) found = value.second;
    return found;
}

RecordWriter::Format CliArguments::Format() const
{
    RecordWriter::Format format = RecordWriter::Table;
    const std::string name = Value("format");
    if (!name.empty()) RecordWriter::FormatFromName(name, format);
    return format;
}
