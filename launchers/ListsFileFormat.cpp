#include "launchers/ListsFileFormat.h"

namespace {

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

bool ReadFields(const std::vector<std::string>& raw, size_t count, std::vector<std::string>& out)
{
    if (raw.size() != count) return false;
    out.clear();
    for (size_t i = 1; i < raw.size(); ++i) {
        std::string field;
        if (!ListsFileFormat::Unescape(raw[i], field) || field.size() > ListsFileFormat::kMaxField) return false;
        out.push_back(field);
    }
    return true;
}

} // namespace

std::string ListsFileFormat::Escape(const std::string& field)
{
    std::string out;
    for (char c : field) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

bool ListsFileFormat::Unescape(const std::string& field, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\0') return false;
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) return false;
        switch (field[i]) {
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case '\\': out += '\\'; break;
        default: return false;
        }
    }
    return true;
}

ListsFileFormat::Contents ListsFileFormat::Parse(const std::string& text)
{
    Contents contents;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        const std::vector<std::string> raw = SplitTabs(line);
        std::vector<std::string> fields;
        if (raw[0] == "app" && ReadFields(raw, 5, fields)) {
            if (fields[0].empty() || fields[1].empty()) continue;
            contents.applications.push_back({fields[0], fields[1], fields[2], fields[3]});
        } else if (raw[0] == "engine" && ReadFields(raw, 2, fields)) {
            if (!fields[0].empty()) contents.engines.push_back(fields[0]);
        }
    }
    return contents;
}

std::string ListsFileFormat::Write(const Contents& contents)
{
    std::string text = "# Tarnwick: user-defined applications and active search engines\r\n";
    for (const ApplicationEntry& app : contents.applications)
        text += "app\t" + Escape(app.strDescription) + '\t' + Escape(app.strApplication) + '\t'
              + Escape(app.strStartPath) + '\t' + Escape(app.strArguments) + "\r\n";
    for (const std::string& engine : contents.engines) text += "engine\t" + Escape(engine) + "\r\n";
    return text;
}
