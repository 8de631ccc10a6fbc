// libFuzzer entry: the report and console escapers on arbitrary values. Each
// output must hold nothing that its format could take for structure.
#include "cli/RecordText.h"
#include "cli/TabText.h"
#include "report/ReportText.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Well-formed UTF-8 without surrogates, U+FFFE or U+FFFF.
bool IsXmlUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (!length || i + length > text.size()) return false;
        uint32_t code = length == 1 ? c : c & (0x3F >> (length - 1));
        for (size_t k = 1; k < length; ++k) {
            const unsigned char t = static_cast<unsigned char>(text[i + k]);
            if ((t >> 6) != 2) return false;
            code = (code << 6) | (t & 0x3F);
        }
        if ((code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string value(reinterpret_cast<const char*>(data), size);

    for (char c : ReportText::TextValue(value))
        if (IsControl(static_cast<unsigned char>(c))) __builtin_trap();
    for (char c : TabText::Escape(value))
        if (IsControl(static_cast<unsigned char>(c))) __builtin_trap();

    const std::string xml = ReportText::XmlEscape(value);
    for (size_t i = 0; i < xml.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(xml[i]);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == '<' || c == '>' || c == '"' || c == '\'')
            __builtin_trap();
        if (c == '&' && xml.compare(i, 5, "&amp;") && xml.compare(i, 6, "&quot;") && xml.compare(i, 5, "&#39;")
            && xml.compare(i, 4, "&lt;") && xml.compare(i, 4, "&gt;"))
            __builtin_trap();
    }
    const std::string comment = ReportText::XmlComment(value);
    if (comment.find("--") != std::string::npos || (!comment.empty() && comment.back() == '-')) __builtin_trap();
    for (char c : comment)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') __builtin_trap();

    for (char c : ReportText::HtmlEscape(value))
        if (c == '<' || c == '>' || c == '"') __builtin_trap();

    const std::string url = ReportText::UrlSegment(value);
    for (size_t i = 0; i < url.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (c == '%') {
            if (i + 2 >= url.size() + 0 || !IsHex(url[i + 1]) || !IsHex(url[i + 2])) __builtin_trap();
            i += 2;
        } else if (!(std::isalnum(c) && c < 0x80) && !std::strchr("-._~", c) && c < 0x80) {
            __builtin_trap();
        }
    }

    // csv: read back by the RFC 4180 rules it gives the text as it was
    // (made UTF-8); json: no raw control character, well-formed UTF-8.
    const std::string valid = RecordText::ValidUtf8(value);
    if (!IsXmlUtf8(valid) && valid.find("\xEF\xBF\xBF") == std::string::npos
        && valid.find("\xEF\xBF\xBE") == std::string::npos)
        __builtin_trap();
    const std::string csv = RecordText::CsvField(value);
    std::string read;
    if (!csv.empty() && csv[0] == '"') {
        if (csv.size() < 2 || csv.back() != '"') __builtin_trap();
        for (size_t i = 1; i + 1 < csv.size(); ++i) {
            if (csv[i] == '"' && csv[++i] != '"') __builtin_trap();
            read += csv[i];
        }
    } else {
        if (csv.find_first_of(",\"\r\n") != std::string::npos) __builtin_trap();
        read = csv;
    }
    if (read != valid) __builtin_trap();
    const std::string json = RecordText::JsonString(value);
    for (char c : json)
        if (IsControl(static_cast<unsigned char>(c))) __builtin_trap();

    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (!IsXmlUtf8(ReportText::Utf8FromUnits(units))) __builtin_trap();
    return 0;
}
