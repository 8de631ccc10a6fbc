#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A decoded icon: 16 x 16 pixels as 0xAARRGGBB, row by row from the top.
// Pixels with alpha below 128 are the mask's transparent ones.
struct IconImage {
    static constexpr int kSide = 16;

    std::vector<uint32_t> pixels;

    bool Empty() const { return pixels.empty(); }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * kSide + static_cast<size_t>(x)]; }
    bool Transparent(int x, int y) const { return (At(x, y) >> 24) < 128; }
};
