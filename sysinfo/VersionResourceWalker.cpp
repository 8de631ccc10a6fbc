#include "sysinfo/VersionResourceWalker.h"

namespace {
size_t Align4(size_t offset)
{
    return (offset + 3) & ~static_cast<size_t>(3);
}
} // namespace

// A record always ends past its start (at least 6 bytes), so every walk advances.
bool VersionResourceWalker::ReadRecord(size_t start, size_t limit, Record& record) const
{
    if (start + 6 > limit) return false;
    const uint16_t length = static_cast<uint16_t>(data[start] | (data[start + 1] << 8));
    if (length < 6) return false;
    record.start = start;
    record.end = start + length < limit ? start + length : limit;
    record.valueLength = static_cast<uint16_t>(data[start + 2] | (data[start + 3] << 8));
    record.type = static_cast<uint16_t>(data[start + 4] | (data[start + 5] << 8));
    record.key.clear();
    size_t p = start + 6;
    for (; p + 1 < record.end; p += 2) {
        char16_t c = static_cast<char16_t>(data[p] | (data[p + 1] << 8));
        if (c == 0) break;
        record.key.push_back(c);
    }
    p += 2;  // the terminator
    record.valueStart = Align4(p);
    // Text values count characters, binary values bytes.
    const size_t valueBytes = record.type == 1 ? size_t(record.valueLength) * 2 : record.valueLength;
    record.childrenStart = Align4(record.valueStart + valueBytes);
    return true;
}

bool VersionResourceWalker::Walk(const uint8_t* block, size_t length)
{
    data = block;
    size = block ? length : 0;
    tables.clear();
    for (uint32_t& word : dwFixed) word = 0;

    Record root;
    if (!ReadRecord(0, size, root)) return false;
    if (root.valueLength >= 52 && root.valueStart + 52 <= root.end) {
        for (int i = 0; i < 13; ++i) {
            const uint8_t* w = data + root.valueStart + i * 4;
            dwFixed[i] = uint32_t(w[0]) | (uint32_t(w[1]) << 8) | (uint32_t(w[2]) << 16) | (uint32_t(w[3]) << 24);
        }
    }

    Record child;
    for (size_t at = root.childrenStart; ReadRecord(at, root.end, child); at = Align4(child.end)) {
        if (child.key == u"StringFileInfo") {
            Record table;
            for (size_t t = child.childrenStart; ReadRecord(t, child.end, table); t = Align4(table.end)) {
                Table out;
                out.name = table.key;
                Record text;
                for (size_t s = table.childrenStart; ReadRecord(s, table.end, text); s = Align4(text.end)) {
                    Entry entry;
                    entry.key = text.key;
                    size_t chars = text.type == 1 ? text.valueLength : text.valueLength / 2;
                    for (size_t i = 0; i < chars && text.valueStart + 2 * i + 1 < text.end; ++i) {
                        const uint8_t* c = data + text.valueStart + 2 * i;
                        char16_t ch = static_cast<char16_t>(c[0] | (c[1] << 8));
                        if (ch == 0) break;
                        entry.value.push_back(ch);
                    }
                    out.entries.push_back(entry);
                }
                tables.push_back(out);
            }
        }
    }
    return true;
}
