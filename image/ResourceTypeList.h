#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PeImageView;

struct ResourceTypeEntry {
    uint8_t bIsNumeric;
    uint32_t dwId;
    std::string strName;
    uint32_t nCount;
};

// Resource types of a module and how many resources each holds, read from
// the image's own resource directory in the order the loader reports them.
class ResourceTypeList {
public:
    // Opens and maps the file for this one read.
    bool load(const char* path);
    // Reads from an image that is already mapped.
    bool load(const PeImageView& image);
    const std::vector<ResourceTypeEntry>& Entries() const { return entries; }

    // "RT_..." for a numeric type; "RT_UNKNOWN(ID: n)" for numbers without a name.
    static std::string TypeName(uint32_t id);

private:
    std::vector<ResourceTypeEntry> entries;
};
