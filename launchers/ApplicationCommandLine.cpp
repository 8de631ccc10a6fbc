#include "launchers/ApplicationCommandLine.h"

namespace {

bool Join(const std::string& program, const std::string& arguments, std::string& out)
{
    if (program.size() + 1 + arguments.size() > ApplicationCommandLine::kMaxLength) return false;
    out = program;
    if (!arguments.empty()) out += ' ' + arguments;
    return true;
}

} // namespace

std::string ApplicationCommandLine::FileNamePart(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ApplicationCommandLine::Substitute(const std::string& arguments, const std::string& modulePath,
                                        std::string& out)
{
    const bool needsQuotes = modulePath.find(' ') != std::string::npos;
    out.clear();
    bool insideQuotes = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == '%' && i + 1 < arguments.size() && arguments[i + 1] == 'm') {
            const bool quote = needsQuotes && !insideQuotes;
            if (out.size() + modulePath.size() + 2 > kMaxLength) return false;
            if (quote) out += '"';
            out += modulePath;
            if (quote) out += '"';
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
    std::string program = FileNamePart(application);
    if (program.find(' ') != std::string::npos) program = '"' + program + '"';
    std::string substituted;
    return Substitute(arguments, modulePath, substituted) && Join(program, substituted, out);
}

bool ApplicationCommandLine::ForConsole(const std::string& application, const std::string& arguments,
                                        const std::string& modulePath, std::string& out)
{
    std::string substituted;
    return Substitute(arguments, modulePath, substituted) && Join('"' + application + '"', substituted, out);
}
