#include "cli/TabText.h"

std::string TabText::Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                static const char kHex[] = "0123456789ABCDEF";
                out += "\\x";
                out += kHex[static_cast<unsigned char>(c) >> 4];
                out += kHex[c & 15];
            } else {
                out += c;
            }
            break;
        }
    }
    return out;
}

std::string TabText::Row(const std::vector<std::string>& fields)
{
    std::string row;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) row += '\t';
        row += fields[i];
    }
    row += '\n';
    return row;
}
