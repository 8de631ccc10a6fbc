#include "sysinfo/PathLocation.h"

#include <cctype>
#include <cstring>

namespace {
bool StartsWith(const std::string& text, const char* prefix, bool ignoreCase)
{
    const size_t length = std::strlen(prefix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        char a = text[i], b = prefix[i];
        if (a == '/') a = '\\';
        if (ignoreCase) {
            a = static_cast<char>(std::tolower(static_cast<unsigned char>(a)));
            b = static_cast<char>(std::tolower(static_cast<unsigned char>(b)));
        }
        if (a != b) return false;
    }
    return true;
}

bool IsSlash(char c)
{
    return c == '\\' || c == '/';
}
} // namespace

PathLocation::Kind PathLocation::Classify(const std::string& path, char& drive)
{
    drive = 0;
    if (StartsWith(path, "\\\\?\\UNC\\", true) || StartsWith(path, "\\??\\UNC\\", true)
        || StartsWith(path, "\\Device\\Mup\\", true) || StartsWith(path, "\\Device\\LanmanRedirector\\", true)
        || StartsWith(path, "\\Device\\WebDavRedirector\\", true))
        return Kind::Network;
    size_t at = 0;
    if (StartsWith(path, "\\\\?\\", false) || StartsWith(path, "\\??\\", false)) at = 4;
    else if (StartsWith(path, "\\\\.\\", false)) return Kind::Local;
    else if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) return Kind::Network;
    if (path.size() >= at + 2 && path[at + 1] == ':' && std::isalpha(static_cast<unsigned char>(path[at]))) {
        drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[at])));
        return Kind::DriveLetter;
    }
    return Kind::Local;
}
