#pragma once

#include "launchers/IconImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The image front end for search-engine icons: GIF, JPEG and PNG through the
// stb_image decoder, ICO containers read here (the entry nearest 16 x 16;
// PNG entries through stb, DIB entries with their AND mask here). The result
// is always 16 x 16. Nothing here calls the operating system.
class IconDecoder {
public:
    static constexpr size_t kMaxFileSize = 256 * 1024;
    static constexpr int kMaxSide = 256;
    // The most the image library may hold at once while decoding one picture.
    static constexpr size_t kMaxLibraryMemory = 4 * 1024 * 1024;

    // type: SearchEngine::IconType (2 GIF, 3 JPEG, 4 PNG, 5 ICO). False for
    // anything refused or broken; `out` is then empty.
    static bool Decode(const uint8_t* data, size_t size, uint32_t type, IconImage& out);
    // The most the image library held at once during the last Decode on this thread.
    static size_t LastLibraryPeak();

private:
    struct Picture {
        int nWidth = 0;
        int nHeight = 0;
        std::vector<uint32_t> argb;
    };
    static bool DecodeWithLibrary(const uint8_t* data, size_t size, Picture& picture);
    static bool JpegTablesValid(const uint8_t* data, size_t size);
    static bool DecodeIco(const uint8_t* data, size_t size, Picture& picture);
    static bool DecodeDib(const uint8_t* data, size_t size, Picture& picture);
    static void ScaleToIcon(const Picture& picture, IconImage& out);
};
