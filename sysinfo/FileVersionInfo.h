#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A file's version resource read through the system's version calls: the
// fixed block, the first translation, and single strings by key.
class FileVersionInfo {
public:
    FileVersionInfo();

    // True when the file has a version resource with a valid fixed block.
    bool Load(const char* path);
    std::string QueryString(const char* key) const;
    std::string LoadAndQuery(const char* path, const char* key);

    uint32_t dwFixed[13];
    uint16_t wLanguage;
    uint16_t wCodePage;

private:
    std::vector<uint8_t> data;
};
