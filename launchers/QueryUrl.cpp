#include "launchers/QueryUrl.h"

#include "launchers/SearchEngine.h"
#include "launchers/Utf8Text.h"

#include <cstring>

namespace {

const char kHex[] = "0123456789ABCDEF";

bool Unreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
        || c == '.' || c == '~';
}

bool HexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

void AppendEscape(std::string& out, unsigned char c)
{
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

// Letters an address may show as they are: no C1 controls, no spaces or
// separators of other scripts, no marks that turn the text's direction.
bool ShownAsItIs(char32_t c)
{
    if (c < 0xA0 || c == 0xAD || c == 0x2028 || c == 0x2029 || c == 0xFEFF || c >= 0xFFF0) return false;
    if ((c >= 0x2000 && c <= 0x200F) || (c >= 0x202A && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F)) return false;
    return c != 0x3000 && c != 0x1680 && c != 0x180E;
}

} // namespace

const char QueryUrl::kBuiltinTemplate[] = "https://www.google.%s/search";

std::string QueryUrl::Encode(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size() * 3);
    for (char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (Unreserved(c))
            out += ch;
        else
            AppendEscape(out, c);
    }
    return out;
}

std::string QueryUrl::EncodeKeepingEscapes(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size() * 3);
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (Unreserved(c) || (c == '%' && i + 2 < utf8.size() && HexDigit(utf8[i + 1]) && HexDigit(utf8[i + 2])))
            out += utf8[i];
        else
            AppendEscape(out, c);
    }
    return out;
}

std::string QueryUrl::CleanAction(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '#') break;
        if (c >= 0x80) {
            char32_t value = 0;
            const size_t length = Utf8Text::SequenceAt(utf8, i, value);
            if (length && ShownAsItIs(value)) {
                out.append(utf8, i, length);
                i += length;
            } else {
                AppendEscape(out, c);
                ++i;
            }
            continue;
        }
        if (c <= 0x20 || c == 0x7F || std::strchr("\"<>\\^`{|}", c))
            AppendEscape(out, c);
        else
            out += static_cast<char>(c);
        ++i;
    }
    return out;
}

std::string QueryUrl::AsciiForm(const std::string& url)
{
    std::string out;
    out.reserve(url.size());
    for (char ch : url) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80)
            AppendEscape(out, c);
        else
            out += ch;
    }
    return out;
}

std::string QueryUrl::BuildQueryUrl(const SearchEngine& engine, const std::string& term)
{
    std::string url = CleanAction(engine.strAction);
    if (url.find('?') == std::string::npos)
        url += '?';
    else if (url.back() != '?' && url.back() != '&')
        url += '&';
    url += EncodeKeepingEscapes(engine.strUserParam);
    url += '=';
    url += Encode(term);
    for (const auto& input : engine.aInputs) {
        url += '&';
        url += EncodeKeepingEscapes(input.first);
        url += '=';
        url += EncodeKeepingEscapes(input.second);
    }
    return url;
}

std::string QueryUrl::BuiltinDomain(const std::string& languageCode)
{
    // Only these codes are also the country domains of the search site.
    static const char* const kCountries[] = {"de", "es", "fr", "it", "nl"};
    std::string code;
    for (char c : languageCode) code += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    for (const char* country : kCountries)
        if (code == country) return code;
    return "com";
}

void QueryUrl::MakeBuiltinEngine(const std::string& languageCode, SearchEngine& engine)
{
    engine.Clear();
    engine.strName = engine.strDescription = "Google";
    engine.strUserParam = "q";
    const std::string domain = BuiltinDomain(languageCode);
    const std::string templateText = kBuiltinTemplate;
    const size_t slot = templateText.find("%s");
    engine.strAction = templateText.substr(0, slot) + domain + templateText.substr(slot + 2);
}

std::string QueryUrl::LanguagePrefix(uint16_t languageId)
{
    switch (languageId & 0x3FF) {
    case 7: return "de";
    case 10: return "es";
    case 12: return "fr";
    case 16: return "it";
    case 19: return "nl";
    default: return "en";
    }
}
