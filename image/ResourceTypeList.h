#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ResourceTypeEntry {
    uint8_t bIsNumeric;
    uint32_t dwId;
    std::string strName;
    uint32_t nCount;
};

// Resource types of a module and how many resources each holds, as the
// loader reports them.
class ResourceTypeList {
public:
    bool load(const char* path);
    const std::vector<ResourceTypeEntry>& Entries() const { return entries; }

    // "RT_..." for a numeric type; "RT_UNKNOWN(ID: n)" for numbers without a name.
    static std::string TypeName(uint32_t id);

private:
    std::vector<ResourceTypeEntry> entries;
};
