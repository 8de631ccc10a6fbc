#include "launchers/ApplicationCommandLine.h"

#include <cstring>

namespace {

bool Join(const std::string& program, const std::string& arguments, std::string& out)
{
    if (program.size() + 1 + arguments.size() > ApplicationCommandLine::kMaxLength) return false;
    out = program;
    if (!arguments.empty()) out += ' ' + arguments;
    return true;
}

// The text as it stands between quotes: each quote as \", the backslashes
// before it doubled; trailing backslashes doubled when a quote follows.
std::string InsideQuotes(const std::string& text, bool quoteFollows)
{
    std::string out;
    out.reserve(text.size() + 8);
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(quoteFollows ? backslashes * 2 : backslashes, '\\');
    return out;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool EndsWith(const std::string& text, const char* end)
{
    const size_t length = std::strlen(end);
    return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

bool Refused(const std::string& application, const std::string& arguments, const std::string& modulePath)
{
    return arguments.find("%m") != std::string::npos && ApplicationCommandLine::RunsThroughInterpreter(application)
        && !ApplicationCommandLine::IsSafeForInterpreter(modulePath);
}

} // namespace

std::string ApplicationCommandLine::FileNamePart(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ApplicationCommandLine::Quote(const std::string& text)
{
    return '"' + InsideQuotes(text, true) + '"';
}

bool ApplicationCommandLine::RunsThroughInterpreter(const std::string& application)
{
    std::string name = Lower(FileNamePart(application));
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    // The system ignores trailing dots and spaces of a file name.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return EndsWith(name, ".bat") || EndsWith(name, ".cmd") || name == "cmd.exe" || name == "cmd"
        || name == "command.com" || name == "command";
}

bool ApplicationCommandLine::IsSafeForInterpreter(const std::string& text)
{
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || std::strchr("\"%!^&|<>", c)) return false;
    }
    return true;
}

bool ApplicationCommandLine::Substitute(const std::string& arguments, const std::string& modulePath,
                                        std::string& out)
{
    out.clear();
    bool insideQuotes = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == '%' && i + 1 < arguments.size() && arguments[i + 1] == 'm') {
            const bool quoteFollows = i + 2 < arguments.size() && arguments[i + 2] == '"';
            const std::string text = insideQuotes ? InsideQuotes(modulePath, quoteFollows) : Quote(modulePath);
            if (out.size() + text.size() > kMaxLength) return false;
            out += text;
            ++i;
            continue;
        }
        if (arguments[i] == '"') insideQuotes = !insideQuotes;
        if (out.size() + 1 > kMaxLength) return false;
        out += arguments[i];
    }
    return true;
}

bool ApplicationCommandLine::ForProcess(const std::string& application, const std::string& arguments,
                                        const std::string& modulePath, std::string& out)
{
    if (Refused(application, arguments, modulePath)) return false;
    std::string program = FileNamePart(application);
    if (program.find(' ') != std::string::npos) program = '"' + program + '"';
    std::string substituted;
    return Substitute(arguments, modulePath, substituted) && Join(program, substituted, out);
}

bool ApplicationCommandLine::ForConsole(const std::string& application, const std::string& arguments,
                                        const std::string& modulePath, std::string& out)
{
    if (Refused(application, arguments, modulePath)) return false;
    std::string substituted;
    return Substitute(arguments, modulePath, substituted) && Join('"' + application + '"', substituted, out);
}
