#pragma once

#include <cstddef>
#include <cstdint>

// MD5 message digest (RFC 1321).
class Md5 {
public:
    Md5();
    void Update(const void* data, size_t length);
    void Final(unsigned char digest[16]);

private:
    void Transform(const unsigned char block[64]);

    uint32_t state[4];
    uint64_t bitCount;
    unsigned char buffer[64];
};
