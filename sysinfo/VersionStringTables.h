#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Every string table of a file's version resource, read by our own walk of
// the raw resource.
class VersionStringTables {
public:
    struct Table {
        std::string strName;  // e.g. "040904B0"
        std::vector<std::pair<std::string, std::string>> entries;
    };

    // Number of string tables found; 0 without a version resource.
    uint32_t Parse(const char* path);
    // Parses a raw resource held in memory.
    uint32_t ParseBlock(const uint8_t* block, size_t size);
    bool Find(const char* key, char* buffer, size_t bufferSize) const;
    std::string Find(const char* key) const;

    const std::vector<Table>& Tables() const { return tables; }
    uint32_t dwFixed[13] = {};

private:
    std::vector<Table> tables;
};
