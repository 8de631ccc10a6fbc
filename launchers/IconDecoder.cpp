#include "launchers/IconDecoder.h"

#include "launchers/SearchEngine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The image library allocates through these: every block carries its size in
// front, the running total is capped (its PNG inflater grows with the data),
// and new blocks are zeroed (its JPEG reader can use a Huffman table that the
// file never defined; zeroed, such a table decodes nothing instead of reading
// far outside it).
struct LibraryMemory {
    size_t nInUse = 0;
    size_t nPeak = 0;
};
thread_local LibraryMemory t_memory;

const size_t kBlockHeader = 16;

void* CappedAlloc(size_t size)
{
    if (size > IconDecoder::kMaxLibraryMemory || t_memory.nInUse + size > IconDecoder::kMaxLibraryMemory)
        return nullptr;
    unsigned char* block = static_cast<unsigned char*>(std::calloc(1, size + kBlockHeader));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof(size));
    t_memory.nInUse += size;
    t_memory.nPeak = std::max(t_memory.nPeak, t_memory.nInUse);
    return block + kBlockHeader;
}

void CappedFree(void* pointer)
{
    if (!pointer) return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kBlockHeader;
    size_t size;
    std::memcpy(&size, block, sizeof(size));
    t_memory.nInUse -= size;
    std::free(block);
}

void* CappedRealloc(void* pointer, size_t size)
{
    if (!pointer) return CappedAlloc(size);
    unsigned char* block = static_cast<unsigned char*>(pointer) - kBlockHeader;
    size_t old;
    std::memcpy(&old, block, sizeof(old));
    if (size > IconDecoder::kMaxLibraryMemory || t_memory.nInUse - old + size > IconDecoder::kMaxLibraryMemory)
        return nullptr;
    unsigned char* grown = static_cast<unsigned char*>(std::realloc(block, size + kBlockHeader));
    if (!grown) return nullptr;
    std::memcpy(grown, &size, sizeof(size));
    t_memory.nInUse = t_memory.nInUse - old + size;
    t_memory.nPeak = std::max(t_memory.nPeak, t_memory.nInUse);
    return grown + kBlockHeader;
}

} // namespace

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 256
#define STBI_MALLOC(size) CappedAlloc(size)
#define STBI_REALLOC(pointer, size) CappedRealloc(pointer, size)
#define STBI_FREE(pointer) CappedFree(pointer)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wtype-limits"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
         | (static_cast<uint32_t>(p[3]) << 24);
}

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

} // namespace

size_t IconDecoder::LastLibraryPeak()
{
    return t_memory.nPeak;
}

bool IconDecoder::Decode(const uint8_t* data, size_t size, uint32_t type, IconImage& out)
{
    out.pixels.clear();
    t_memory.nPeak = 0;
    if (!data || size == 0 || size > kMaxFileSize) return false;
    Picture picture;
    bool ok;
    switch (type) {
    case SearchEngine::IconGif:
    case SearchEngine::IconJpeg:
    case SearchEngine::IconPng: ok = DecodeWithLibrary(data, size, picture); break;
    case SearchEngine::IconIco: ok = DecodeIco(data, size, picture); break;
    default: ok = false;
    }
    if (!ok) return false;
    ScaleToIcon(picture, out);
    return true;
}

bool IconDecoder::JpegTablesValid(const uint8_t* data, size_t size)
{
    // The image library trusts the Huffman tables of a JPEG file: more than
    // 256 symbols make it write past its tables. Every byte pair that it could
    // take for a DHT marker (anywhere: it skips what it does not understand)
    // is read the way it reads one, bytes past the end counting as 0.
    auto at = [&](size_t position) -> uint32_t { return position < size ? data[position] : 0; };
    for (size_t marker = 0; marker + 1 < size; ++marker) {
        if (data[marker] != 0xFF || data[marker + 1] != 0xC4) continue;
        long left = static_cast<long>((at(marker + 2) << 8) | at(marker + 3)) - 2;
        size_t position = marker + 4;
        while (left > 0) {
            const uint32_t kind = at(position);
            if ((kind >> 4) > 1 || (kind & 15) > 3) break;  // refused there before any table is built
            uint32_t symbols = 0, codes = 0;
            for (size_t bits = 1; bits <= 16; ++bits) {
                const uint32_t count = at(position + bits);
                symbols += count;
                codes = (codes << 1) + count;
                if (codes > (1u << bits)) return false;
            }
            if (symbols > 256) return false;
            position += 17 + symbols;
            left -= static_cast<long>(17 + symbols);
        }
    }
    return true;
}

bool IconDecoder::DecodeWithLibrary(const uint8_t* data, size_t size, Picture& picture)
{
    if (size > kMaxFileSize) return false;
    if (!JpegTablesValid(data, size)) return false;
    const int length = static_cast<int>(size);
    int width = 0, height = 0, components = 0;
    // The header alone first: a huge picture is refused before anything is allocated.
    if (!stbi_info_from_memory(data, length, &width, &height, &components)) return false;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    unsigned char* rgba = stbi_load_from_memory(data, length, &width, &height, &components, 4);
    if (!rgba) return false;
    bool ok = width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide;
    if (ok) {
        picture.nWidth = width;
        picture.nHeight = height;
        picture.argb.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (size_t i = 0; i < picture.argb.size(); ++i) {
            const unsigned char* p = rgba + i * 4;
            picture.argb[i] = (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[0]) << 16)
                            | (static_cast<uint32_t>(p[1]) << 8) | p[2];
        }
    }
    stbi_image_free(rgba);
    return ok;
}

bool IconDecoder::DecodeIco(const uint8_t* data, size_t size, Picture& picture)
{
    if (size < 6 || U16(data) != 0 || U16(data + 2) != 1) return false;
    const size_t count = U16(data + 4);
    if (count == 0 || count > (size - 6) / 16) return false;

    struct Candidate {
        size_t nOffset;
        size_t nLength;
        int nDistance;
        int nDepth;
    };
    std::vector<Candidate> candidates;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + 6 + i * 16;
        const int width = entry[0] ? entry[0] : 256;
        const int height = entry[1] ? entry[1] : 256;
        const size_t length = U32(entry + 8);
        const size_t offset = U32(entry + 12);
        if (offset >= size || length == 0 || length > size - offset) continue;
        const int depth = U16(entry + 6) * 256 + entry[2];
        candidates.push_back({offset, length, std::abs(width - 16) + std::abs(height - 16), depth});
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.nDistance != b.nDistance ? a.nDistance < b.nDistance : a.nDepth > b.nDepth;
    });
    // A broken best entry gives way to the next ones, but only a few.
    const size_t tries = std::min<size_t>(candidates.size(), 4);
    for (size_t i = 0; i < tries; ++i) {
        const uint8_t* image = data + candidates[i].nOffset;
        const size_t length = candidates[i].nLength;
        picture = Picture();
        const bool isPng = length >= 8 && std::memcmp(image, kPngSignature, 8) == 0;
        if (isPng ? DecodeWithLibrary(image, length, picture) : DecodeDib(image, length, picture)) return true;
    }
    return false;
}

bool IconDecoder::DecodeDib(const uint8_t* data, size_t size, Picture& picture)
{
    if (size < 40) return false;
    const size_t headerSize = U32(data);
    if (headerSize < 40 || headerSize > size) return false;
    const int32_t width = static_cast<int32_t>(U32(data + 4));
    const int32_t doubleHeight = static_cast<int32_t>(U32(data + 8));
    const unsigned depth = U16(data + 14);
    const uint32_t compression = U32(data + 16);
    const uint32_t colorsUsed = U32(data + 32);
    if (width < 1 || width > kMaxSide || doubleHeight < 2 || doubleHeight > 2 * kMaxSide) return false;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return false;
    if (compression != 0) return false;
    const int height = doubleHeight / 2;

    size_t paletteCount = 0;
    if (depth <= 8) {
        paletteCount = size_t(1) << depth;
        if (colorsUsed != 0 && colorsUsed < paletteCount) paletteCount = colorsUsed;
    }
    const size_t paletteOffset = headerSize;
    const size_t pixelOffset = paletteOffset + paletteCount * 4;
    const size_t xorStride = ((static_cast<size_t>(width) * depth + 31) / 32) * 4;
    const size_t andStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t maskOffset = pixelOffset + xorStride * static_cast<size_t>(height);
    if (maskOffset > size) return false;
    const bool haveMask = andStride * static_cast<size_t>(height) <= size - maskOffset;
    if (!haveMask && depth != 32) return false;

    picture.nWidth = width;
    picture.nHeight = height;
    picture.argb.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = data + pixelOffset + xorStride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t color = 0;
            if (depth <= 8) {
                const size_t bit = static_cast<size_t>(x) * depth;
                const unsigned index = (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
                if (index < paletteCount) color = U32(data + paletteOffset + index * 4) & 0xFFFFFF;
                color |= 0xFF000000u;
            } else if (depth == 24) {
                const uint8_t* p = row + x * 3;
                color = 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
            } else {
                color = U32(row + x * 4);
                if (color >> 24) anyAlpha = true;
            }
            picture.argb[static_cast<size_t>(y) * width + x] = color;
        }
    }
    const bool useMask = depth != 32 || !anyAlpha;
    if (useMask && !haveMask) return false;
    if (useMask) {
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = data + maskOffset + andStride * static_cast<size_t>(height - 1 - y);
            for (int x = 0; x < width; ++x) {
                uint32_t& color = picture.argb[static_cast<size_t>(y) * width + x];
                const bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
                color = (color & 0xFFFFFF) | (transparent ? 0 : 0xFF000000u);
            }
        }
    }
    return true;
}

void IconDecoder::ScaleToIcon(const Picture& picture, IconImage& out)
{
    const int side = IconImage::kSide;
    out.pixels.assign(static_cast<size_t>(side) * side, 0);
    for (int y = 0; y < side; ++y) {
        const int y0 = y * picture.nHeight / side;
        const int y1 = std::max(y0 + 1, (y + 1) * picture.nHeight / side);
        for (int x = 0; x < side; ++x) {
            const int x0 = x * picture.nWidth / side;
            const int x1 = std::max(x0 + 1, (x + 1) * picture.nWidth / side);
            // Box average with colours weighted by their alpha.
            uint64_t a = 0, r = 0, g = 0, b = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const uint32_t c = picture.argb[static_cast<size_t>(sy) * picture.nWidth + sx];
                    const uint32_t alpha = c >> 24;
                    a += alpha;
                    r += ((c >> 16) & 0xFF) * alpha;
                    g += ((c >> 8) & 0xFF) * alpha;
                    b += (c & 0xFF) * alpha;
                }
            const uint64_t n = static_cast<uint64_t>(y1 - y0) * static_cast<uint64_t>(x1 - x0);
            uint32_t pixel = 0;
            if (a) {
                pixel = (static_cast<uint32_t>((a + n / 2) / n) << 24) | (static_cast<uint32_t>((r + a / 2) / a) << 16)
                      | (static_cast<uint32_t>((g + a / 2) / a) << 8) | static_cast<uint32_t>((b + a / 2) / a);
            }
            out.pixels[static_cast<size_t>(y) * side + x] = pixel;
        }
    }
}
