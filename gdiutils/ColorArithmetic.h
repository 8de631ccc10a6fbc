#pragma once

#include <cstdint>

// Colour arithmetic on 32-bit COLORREF values (red in bits 0-7, green 8-15,
// blue 16-23) and on the 0..240 hue-luminance-saturation scale of the
// Windows colour dialog. No GDI calls, so it can be tested anywhere.
struct HlsValue {
    int nHue;
    int nLuminance;
    int nSaturation;
};

class ColorArithmetic {
public:
    static uint32_t Rgb(int red, int green, int blue);
    static int Red(uint32_t color) { return static_cast<int>(color & 0xFF); }
    static int Green(uint32_t color) { return static_cast<int>((color >> 8) & 0xFF); }
    static int Blue(uint32_t color) { return static_cast<int>((color >> 16) & 0xFF); }

    static HlsValue ToHls(uint32_t color);
    static uint32_t FromHls(int hue, int luminance, int saturation);
    // Same hue and saturation with the luminance set (or moved by the value
    // when relative), kept within 0..240.
    static uint32_t WithLuminance(uint32_t color, int value, bool relative);

    static uint32_t Invert(uint32_t color);
    // c + factor * (255 - c) per channel; unchanged unless 0 < factor <= 1.
    static uint32_t Lighten(uint32_t color, double factor);
    // c - factor * c per channel; unchanged unless 0 < factor <= 1.
    static uint32_t Darken(uint32_t color, double factor);

    // Channel value at step index (0..last) of a gradient from start to end;
    // index 0 gives start and index last gives end.
    static int GradientChannel(int start, int end, int index, int last);
    static uint32_t GradientColor(uint32_t start, uint32_t end, int index, int last);

private:
    static int HueToValue(int hue, int m1, int m2);
};
