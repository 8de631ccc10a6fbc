#include "tools/ConsoleTextFilter.h"

#include <cstring>

ConsoleTextFilter::ConsoleTextFilter(const bool* leadBytes, Converter converter)
    : abLeadBytes{}, pConvert(converter), bLastWasCR(false)
{
    if (leadBytes) std::memcpy(abLeadBytes, leadBytes, sizeof(abLeadBytes));
}

std::string ConsoleTextFilter::Filter(const char* data, size_t size)
{
    std::string bytes = strHeld;
    strHeld.clear();
    bytes.append(data, size);
    size_t i = 0;
    while (i < bytes.size()) {
        if (abLeadBytes[static_cast<unsigned char>(bytes[i])]) {
            if (i + 1 >= bytes.size()) break;
            i += 2;
        } else {
            ++i;
        }
    }
    if (i < bytes.size()) {
        strHeld = bytes.substr(i);
        bytes.resize(i);
    } else if (!bytes.empty() && bytes.back() == '\r') {
        strHeld = "\r";
        bytes.pop_back();
    }
    return Finish(bytes);
}

std::string ConsoleTextFilter::Flush()
{
    std::string bytes;
    bytes.swap(strHeld);
    return Finish(bytes);
}

std::string ConsoleTextFilter::Finish(std::string bytes)
{
    if (pConvert && !bytes.empty()) pConvert(&bytes[0], bytes.size());
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        if (c == '\0') {
            out += ' ';
        } else if (c == '\n') {
            if (!bLastWasCR) out += '\r';
            out += '\n';
        } else {
            out += c;
        }
        bLastWasCR = (c == '\r');
    }
    return out;
}
