#include "gdiutils/ColorArithmetic.h"

namespace {

const int kHlsMax = 240;
const int kRgbMax = 255;
const int kUndefinedHue = 160;

bool IsUsableFactor(double factor)
{
    return factor > 0.0 && factor <= 1.0;
}

} // namespace

uint32_t ColorArithmetic::Rgb(int red, int green, int blue)
{
    return static_cast<uint32_t>(red & 0xFF) | (static_cast<uint32_t>(green & 0xFF) << 8) |
           (static_cast<uint32_t>(blue & 0xFF) << 16);
}

HlsValue ColorArithmetic::ToHls(uint32_t color)
{
    const int red = Red(color), green = Green(color), blue = Blue(color);
    int max = red > green ? red : green;
    if (blue > max) max = blue;
    int min = red < green ? red : green;
    if (blue < min) min = blue;

    HlsValue hls;
    hls.nLuminance = ((max + min) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (max == min) {
        hls.nSaturation = 0;
        hls.nHue = kUndefinedHue;
        return hls;
    }

    const int delta = max - min;
    if (hls.nLuminance <= kHlsMax / 2)
        hls.nSaturation = (delta * kHlsMax + (max + min) / 2) / (max + min);
    else
        hls.nSaturation = (delta * kHlsMax + (2 * kRgbMax - max - min) / 2) / (2 * kRgbMax - max - min);

    const int sixth = kHlsMax / 6;
    const int redDistance = ((max - red) * sixth + delta / 2) / delta;
    const int greenDistance = ((max - green) * sixth + delta / 2) / delta;
    const int blueDistance = ((max - blue) * sixth + delta / 2) / delta;
    int hue;
    if (red == max)
        hue = blueDistance - greenDistance;
    else if (green == max)
        hue = kHlsMax / 3 + redDistance - blueDistance;
    else
        hue = 2 * kHlsMax / 3 + greenDistance - redDistance;
    if (hue < 0) hue += kHlsMax;
    if (hue > kHlsMax) hue -= kHlsMax;
    hls.nHue = hue;
    return hls;
}

int ColorArithmetic::HueToValue(int hue, int m1, int m2)
{
    // One turn either way: the blue channel looks 80 below the hue.
    if (hue > kHlsMax)
        hue -= kHlsMax;
    else if (hue < 0)
        hue += kHlsMax;

    if (hue < kHlsMax / 6) return m1 + ((m2 - m1) * hue + kHlsMax / 12) / (kHlsMax / 6);
    if (hue < kHlsMax / 2) return m2;
    if (hue < 2 * kHlsMax / 3)
        return m1 + ((m2 - m1) * (2 * kHlsMax / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
    return m1;
}

uint32_t ColorArithmetic::FromHls(int hue, int luminance, int saturation)
{
    if (saturation == 0) {
        const int grey = luminance * kRgbMax / kHlsMax;
        return Rgb(grey, grey, grey);
    }
    int m2;
    if (luminance <= kHlsMax / 2)
        m2 = (luminance * (kHlsMax + saturation) + kHlsMax / 2) / kHlsMax;
    else
        m2 = luminance + saturation - (luminance * saturation + kHlsMax / 2) / kHlsMax;
    const int m1 = 2 * luminance - m2;

    const int red = (HueToValue(hue + kHlsMax / 3, m1, m2) * kRgbMax + kHlsMax / 2) / kHlsMax;
    const int green = (HueToValue(hue, m1, m2) * kRgbMax + kHlsMax / 2) / kHlsMax;
    const int blue = (HueToValue(hue - kHlsMax / 3, m1, m2) * kRgbMax + kHlsMax / 2) / kHlsMax;
    return Rgb(red, green, blue);
}

uint32_t ColorArithmetic::WithLuminance(uint32_t color, int value, bool relative)
{
    const HlsValue hls = ToHls(color);
    int luminance = relative ? hls.nLuminance + value : value;
    if (luminance < 0) luminance = 0;
    if (luminance > kHlsMax) luminance = kHlsMax;
    return FromHls(hls.nHue, luminance, hls.nSaturation);
}

uint32_t ColorArithmetic::Invert(uint32_t color)
{
    return Rgb(kRgbMax - Red(color), kRgbMax - Green(color), kRgbMax - Blue(color));
}

uint32_t ColorArithmetic::Lighten(uint32_t color, double factor)
{
    if (!IsUsableFactor(factor)) return color;
    const int red = Red(color), green = Green(color), blue = Blue(color);
    return Rgb(static_cast<int>(red + factor * (kRgbMax - red)),
               static_cast<int>(green + factor * (kRgbMax - green)),
               static_cast<int>(blue + factor * (kRgbMax - blue)));
}

uint32_t ColorArithmetic::Darken(uint32_t color, double factor)
{
    if (!IsUsableFactor(factor)) return color;
    const int red = Red(color), green = Green(color), blue = Blue(color);
    return Rgb(static_cast<int>(red - factor * red), static_cast<int>(green - factor * green),
               static_cast<int>(blue - factor * blue));
}

int ColorArithmetic::GradientChannel(int start, int end, int index, int last)
{
    if (last <= 0) return start;
    // (end - start) * index is exact in a double, so the last step lands on end.
    return start + static_cast<int>(static_cast<double>(end - start) * index / last);
}

uint32_t ColorArithmetic::GradientColor(uint32_t start, uint32_t end, int index, int last)
{
    return Rgb(GradientChannel(Red(start), Red(end), index, last),
               GradientChannel(Green(start), Green(end), index, last),
               GradientChannel(Blue(start), Blue(end), index, last));
}
