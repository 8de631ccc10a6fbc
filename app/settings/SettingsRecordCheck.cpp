#include "app/settings/SettingsRecordCheck.h"

#include <cstring>

namespace {
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
} // namespace

bool SettingsRecordCheck::Apply(const uint8_t* file, size_t fileSize, uint8_t* record)
{
    if (!record) return false;
    uint8_t temporary[kSize];
    std::memcpy(temporary, record, kSize);
    if (file) std::memcpy(temporary, file, fileSize < kSize ? fileSize : kSize);
    const uint32_t size = U32(temporary);
    const uint32_t version = U32(temporary + 4);
    const uint32_t revision = U32(temporary + 8);
    if (version != kVersion || revision > kRevision || size > kSize) return false;
    std::memcpy(record, temporary, kSize);
    return true;
}
