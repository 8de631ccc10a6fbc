#include "sysutils/Crc32.h"

namespace {
struct Table {
    uint32_t entries[256];
    constexpr Table() : entries()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[i] = c;
        }
    }
};
// Computed by the compiler: no initialisation at run time, nothing to guard.
constexpr Table kTable;
} // namespace

uint32_t Crc32Checksum::Update(uint32_t crc, const void* data, size_t length)
{
    const uint32_t* table = kTable.entries;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    uint32_t c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t Crc32Checksum::Compute(const void* data, size_t length)
{
    return Update(0, data, length);
}
