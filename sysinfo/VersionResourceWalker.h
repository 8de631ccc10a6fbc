#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Walks a raw version resource (nested records: length, value length, type,
// UTF-16 key, value, children, each on a 4-byte boundary). Every length is
// checked against the block; a corrupt record ends the walk with what was
// read so far.
class VersionResourceWalker {
public:
    struct Entry {
        std::u16string key;
        std::u16string value;
    };
    struct Table {
        std::u16string name;
        std::vector<Entry> entries;
    };

    // False when the block holds no root record.
    bool Walk(const uint8_t* block, size_t size);

    uint32_t dwFixed[13] = {};
    std::vector<Table> tables;

private:
    struct Record {
        size_t start, end;         // the record's bytes
        uint16_t valueLength, type;
        std::u16string key;
        size_t valueStart;         // 4-byte aligned, after the key
        size_t childrenStart;      // 4-byte aligned, after the value
    };
    bool ReadRecord(size_t start, size_t limit, Record& record) const;

    const uint8_t* data = nullptr;
    size_t size = 0;
};
