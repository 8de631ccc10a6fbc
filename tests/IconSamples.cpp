#include "tests/IconSamples.h"

#include "sysutils/Crc32.h"

namespace {

void Put32BE(IconSamples::Bytes& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void Put16(IconSamples::Bytes& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(IconSamples::Bytes& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Chunk(IconSamples::Bytes& out, const char* type, const IconSamples::Bytes& data)
{
    Put32BE(out, static_cast<uint32_t>(data.size()));
    IconSamples::Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    Put32BE(out, Crc32Checksum::Compute(typed.data(), typed.size()));
}

IconSamples::Bytes PngWith(int width, int height, const IconSamples::Bytes& zlibData)
{
    IconSamples::Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    IconSamples::Bytes header;
    Put32BE(header, static_cast<uint32_t>(width));
    Put32BE(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", zlibData);
    Chunk(out, "IEND", {});
    return out;
}

uint32_t Adler32(const IconSamples::Bytes& data)
{
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

} // namespace

IconSamples::Bytes IconSamples::Png(int width, int height, const std::vector<uint32_t>& argb, int headerWidth,
                                    int headerHeight)
{
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const uint32_t c = argb[static_cast<size_t>(y) * width + x];
            raw.insert(raw.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                   static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 24)});
        }
    }
    Bytes zlib = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        zlib.push_back(at + length >= raw.size() ? 1 : 0);
        Put16(zlib, static_cast<uint32_t>(length));
        Put16(zlib, static_cast<uint32_t>(~length & 0xFFFF));
        zlib.insert(zlib.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + length));
        if (raw.empty()) break;
    }
    Put32BE(zlib, Adler32(raw));
    return PngWith(headerWidth ? headerWidth : width, headerHeight ? headerHeight : height, zlib);
}

IconSamples::Bytes IconSamples::DeflateBombPng(int width, int height, size_t inflated)
{
    // One fixed-Huffman block: a literal 0, then matches of 258 at distance 1.
    Bytes zlib = {0x78, 0x01};
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](uint32_t value, int length, bool reversed) {
        for (int i = 0; i < length; ++i) {
            const uint32_t bit = reversed ? (value >> (length - 1 - i)) & 1 : (value >> i) & 1;
            bits |= bit << count;
            if (++count == 8) {
                zlib.push_back(static_cast<uint8_t>(bits));
                bits = 0;
                count = 0;
            }
        }
    };
    put(1, 1, false);          // final block
    put(1, 2, false);          // fixed Huffman codes
    put(0x30, 8, true);        // literal 0
    for (size_t made = 1; made + 258 <= inflated; made += 258) {
        put(0xC5, 8, true);    // length 258 (symbol 285)
        put(0, 5, true);       // distance 1
    }
    put(0, 7, true);           // end of block
    if (count) zlib.push_back(static_cast<uint8_t>(bits));
    Put32BE(zlib, 0);
    return PngWith(width, height, zlib);
}

IconSamples::Bytes IconSamples::Dib(int side, unsigned depth, uint32_t rgb, int maskedColumns, uint8_t alpha)
{
    Bytes out;
    const unsigned paletteCount = depth <= 8 ? 1u << depth : 0;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(side));
    Put32(out, static_cast<uint32_t>(side * 2));
    Put16(out, 1);
    Put16(out, depth);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (unsigned i = 0; i < paletteCount; ++i) Put32(out, i == 1 ? rgb : 0);
    const size_t xorStride = ((static_cast<size_t>(side) * depth + 31) / 32) * 4;
    for (int y = 0; y < side; ++y) {
        Bytes row(xorStride, 0);
        for (int x = 0; x < side; ++x) {
            if (depth <= 8) {
                const size_t bit = static_cast<size_t>(x) * depth;
                row[bit / 8] |= static_cast<uint8_t>(1u << (8 - depth - bit % 8));  // index 1
            } else {
                uint8_t* p = &row[static_cast<size_t>(x) * (depth / 8)];
                p[0] = static_cast<uint8_t>(rgb);
                p[1] = static_cast<uint8_t>(rgb >> 8);
                p[2] = static_cast<uint8_t>(rgb >> 16);
                if (depth == 32) p[3] = alpha;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    const size_t andStride = ((static_cast<size_t>(side) + 31) / 32) * 4;
    for (int y = 0; y < side; ++y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < maskedColumns && x < side; ++x) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

IconSamples::Bytes IconSamples::Ico(const std::vector<std::pair<int, Bytes>>& images)
{
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const auto& image : images) {
        out.push_back(static_cast<uint8_t>(image.first & 0xFF));
        out.push_back(static_cast<uint8_t>(image.first & 0xFF));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(image.second.size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(image.second.size());
    }
    for (const auto& image : images) out.insert(out.end(), image.second.begin(), image.second.end());
    return out;
}
