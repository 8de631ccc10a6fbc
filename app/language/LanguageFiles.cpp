#include "app/language/LanguageFiles.h"

namespace {
char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

const char* LanguageFiles::Prefix(uint16_t languageId)
{
    switch (languageId & 0x3FF) {
    case 0x07: return "de";
    case 0x0A: return "es";
    case 0x0C: return "fr";
    case 0x10: return "it";
    case 0x13: return "nl";
    default: return "en";
    }
}

bool LanguageFiles::IsModuleName(const std::string& name)
{
    static const char kSuffix[] = "_tarnwick.lang";
    const size_t suffixLength = sizeof(kSuffix) - 1;
    if (name.size() < suffixLength || name.size() > kMaxPath) return false;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>'
            || c == '|')
            return false;
    }
    const size_t start = name.size() - suffixLength;
    for (size_t i = 0; i < suffixLength; ++i)
        if (Lower(name[start + i]) != kSuffix[i]) return false;
    return true;
}

bool LanguageFiles::Join(const std::string& folder, const std::string& name, std::string& out)
{
    if (folder.size() > kMaxPath || name.size() > kMaxPath - folder.size()) return false;
    out = folder + name;
    return true;
}

std::string LanguageFiles::HelpCandidate(const std::string& programFolder, const char* prefix)
{
    std::string docFolder;
    std::string path;
    if (!prefix || !Join(programFolder, "Doc\\", docFolder)) return std::string();
    if (!Join(docFolder, std::string(prefix) + "_tarnwick.htm", path)) return std::string();
    return path;
}
