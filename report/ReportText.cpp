#include "ReportText.h"

namespace {
std::string ReplaceAll(std::string text, const std::string& what, const std::string& with)
{
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// Folder part (with its trailing separator) and base name of a path.
void Split(const std::string& path, std::string& folder, std::string& base)
{
    size_t slash = path.find_last_of("\\/:");
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    base = dot == std::string::npos ? name : name.substr(0, dot);
}
} // namespace

std::string ReportText::XmlEscape(const std::string& text)
{
    std::string out = ReplaceAll(text, "&", "&amp;");
    out = ReplaceAll(out, "\"", "&quot;");
    out = ReplaceAll(out, "'", "&#39;");
    out = ReplaceAll(out, "<", "&lt;");
    return ReplaceAll(out, ">", "&gt;");
}

std::string ReportText::HtmlEscape(const std::string& text)
{
    std::string out = ReplaceAll(text, "&", "&amp;");
    out = ReplaceAll(out, "<", "&lt;");
    out = ReplaceAll(out, ">", "&gt;");
    return ReplaceAll(out, "\"", "&quot;");
}

std::string ReportText::Utf8FromUnits(const std::u16string& units)
{
    std::string out;
    out.reserve(units.size());
    for (char16_t unit : units) {
        const unsigned c = unit;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string ReportText::FolderName(const std::string& reportPath, const std::string& filesWord)
{
    std::string folder, base;
    Split(reportPath, folder, base);
    return base + "_" + filesWord;
}

std::string ReportText::FolderPath(const std::string& reportPath, const std::string& filesWord)
{
    std::string folder, base;
    Split(reportPath, folder, base);
    return folder + base + "_" + filesWord;
}

bool ReportText::Contains(const std::string& text, const std::string& word)
{
    return !word.empty() && text.find(word) != std::string::npos;
}
