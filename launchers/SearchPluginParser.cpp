#include "launchers/SearchPluginParser.h"

#include "launchers/SearchEngine.h"

#include <cstring>

namespace {

inline char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& text, const char* word)
{
    const size_t length = std::strlen(word);
    if (text.size() != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (Lower(text[i]) != Lower(word[i])) return false;
    return true;
}

bool Contains(const std::string& text, const char* word)
{
    return SearchPluginParser::FindNoCase(text, word) != std::string::npos;
}

// Calls handle(line) for every line that ends in a line feed; a last
// fragment without one is left alone.
template <typename Handler>
void ForEachLine(const std::string& text, size_t from, size_t to, Handler handle)
{
    size_t position = from;
    while (position < to) {
        const size_t end = text.find('\n', position);
        if (end == std::string::npos || end >= to) break;
        handle(text.substr(position, end - position));
        position = end + 1;
    }
}

} // namespace

size_t SearchPluginParser::FindNoCase(const std::string& text, const char* pattern, size_t from)
{
    const size_t length = std::strlen(pattern);
    if (length == 0) return from <= text.size() ? from : std::string::npos;
    if (text.size() < length) return std::string::npos;
    const char first = Lower(pattern[0]);
    for (size_t i = from; i + length <= text.size(); ++i) {
        if (Lower(text[i]) != first) continue;
        size_t j = 1;
        while (j < length && Lower(text[i + j]) == Lower(pattern[j])) ++j;
        if (j == length) return i;
    }
    return std::string::npos;
}

bool SearchPluginParser::ReadAttribute(const std::string& line, const char* key, std::string& value)
{
    const size_t keyAt = FindNoCase(line, key);
    if (keyAt == std::string::npos) return false;
    const size_t equals = line.find('=', keyAt + 1);
    if (equals == std::string::npos) return false;
    std::string name;
    for (size_t i = keyAt; i < equals; ++i)
        if (line[i] != ' ' && line[i] != '\t') name += line[i];
    if (!EqualNoCase(name, key)) return false;

    const size_t rest = equals + 1;
    const size_t quote = line.find('"', rest);
    if (quote != std::string::npos) {
        const size_t closing = line.find('"', quote + 1);
        if (closing == std::string::npos || closing == quote + 1) return false;
        value = line.substr(quote + 1, closing - quote - 1);
        return true;
    }
    size_t start = rest;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t' || line[start] == '\r'
                                   || line[start] == '\n' || line[start] == '\v' || line[start] == '\f'))
        ++start;
    size_t stop = line.find(' ', start);
    if (stop == std::string::npos) stop = line.find('\t', start);
    if (stop != std::string::npos) {
        value = line.substr(start, stop - start);
        return true;
    }
    value.clear();
    for (size_t i = start; i < line.size(); ++i)
        if (line[i] != '\r' && line[i] != '\n' && line[i] != '\t') value += line[i];
    return true;
}

bool SearchPluginParser::ParseSearchPlugin(const std::string& input, SearchEngine& engine)
{
    engine.Clear();
    const std::string text(input.c_str());  // up to the first NUL

    const size_t open = FindNoCase(text, "<search");
    const size_t close = FindNoCase(text, "</search>");
    if (open == std::string::npos || close == std::string::npos || close < open) return false;
    std::string block;
    block.reserve(close + 9 - open);
    for (size_t i = open; i < close + 9; ++i)
        if (text[i] != '\r') block += text[i];

    const size_t headerEnd = block.find(">\n");
    if (headerEnd == std::string::npos) return false;

    bool haveName = false, haveDescription = false, haveAction = false;
    ForEachLine(block, 7, headerEnd, [&](const std::string& line) {
        if (line.empty() || line[0] == '#') return;
        std::string value;
        if (!haveName && ReadAttribute(line, "name", value)) {
            engine.strName = engine.strDescription = value;
            haveName = true;
            return;
        }
        if (!haveDescription && ReadAttribute(line, "description", value)) {
            engine.strDescription = value;
            haveDescription = true;
            return;
        }
        if (!haveAction && ReadAttribute(line, "action", value)) {
            engine.strAction = value;
            haveAction = true;
        }
    });

    bool haveUser = false;
    ForEachLine(block, headerEnd + 1, block.size(), [&](const std::string& whole) {
        if (whole.empty() || whole[0] == '#' || !Contains(whole, "<input")) return;
        const std::string line = whole.substr(whole.size() < 6 ? whole.size() : 6);
        if (Contains(line, "next") || Contains(line, "prev")) return;
        if (!Contains(line, "user")) {
            std::string key, value;
            // One past the bound is kept, so that the engine is invalid.
            if (engine.aInputs.size() <= SearchEngine::kMaxInputs && ReadAttribute(line, "name", key)
                && ReadAttribute(line, "value", value))
                engine.aInputs.emplace_back(key, value);
            return;
        }
        if (haveUser) return;
        haveUser = true;
        std::string name;
        if (ReadAttribute(line, "name", name)) engine.strUserParam = name;
    });
    return engine.IsValid();
}
