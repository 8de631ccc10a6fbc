#include "report/ReportText.h"

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

std::string ReportText::TextValue(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else
            out += c;
    }
    return out;
}

namespace {
// Control characters XML 1.0 does not allow.
std::string XmlAllowed(std::string text)
{
    for (char& c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') c = '?';
    }
    return text;
}
} // namespace

std::string ReportText::XmlEscape(const std::string& text)
{
    std::string out = ReplaceAll(XmlAllowed(text), "&", "&amp;");
    out = ReplaceAll(out, "\"", "&quot;");
    out = ReplaceAll(out, "'", "&#39;");
    out = ReplaceAll(out, "<", "&lt;");
    return ReplaceAll(out, ">", "&gt;");
}

std::string ReportText::XmlComment(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : XmlAllowed(text)) {
        if (c == '-' && !out.empty() && out.back() == '-') out += ' ';
        out += c;
    }
    if (!out.empty() && out.back() == '-') out += ' ';
    return out;
}

std::string ReportText::HtmlEscape(const std::string& text)
{
    std::string out = ReplaceAll(text, "&", "&amp;");
    out = ReplaceAll(out, "<", "&lt;");
    out = ReplaceAll(out, ">", "&gt;");
    return ReplaceAll(out, "\"", "&quot;");
}

std::string ReportText::UrlSegment(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
                        || c == '.' || c == '_' || c == '~' || u >= 0x80;
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

std::string ReportText::Utf8FromUnits(const std::u16string& units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        unsigned c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
            continue;
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) c = 0xFFFD;
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
