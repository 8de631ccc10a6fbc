#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Hand-built picture files for the icon decoder tests and fuzz seeds.
class IconSamples {
public:
    typedef std::vector<uint8_t> Bytes;
    // An RGBA PNG whose data is stored uncompressed; the header may claim other sides.
    static Bytes Png(int width, int height, const std::vector<uint32_t>& argb, int headerWidth = 0,
                     int headerHeight = 0);
    // A PNG of the given sides whose compressed data inflates to `inflated` bytes of zeros.
    static Bytes DeflateBombPng(int width, int height, size_t inflated);
    // A DIB icon image (header, palette, pixels bottom-up, AND mask) of one colour;
    // depth 1, 4, 8, 24 or 32. Pixels whose mask bit is set: every x < maskedColumns.
    static Bytes Dib(int side, unsigned depth, uint32_t rgb, int maskedColumns, uint8_t alpha = 0);
    // An ICO container of images with the sides given in the directory.
    static Bytes Ico(const std::vector<std::pair<int, Bytes>>& images);
};
