#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 of ISO 3309 / ITU-T V.42 (reflected polynomial 0xEDB88320).
class Crc32Checksum {
public:
    static uint32_t Compute(const void* data, size_t length);
    // Continues a running CRC; start with 0.
    static uint32_t Update(uint32_t crc, const void* data, size_t length);
};
