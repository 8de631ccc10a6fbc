#pragma once

#include "launchers/IconImage.h"

#include <windows.h>

// A decoded 16 x 16 image as a colour-and-mask icon: menus of Windows 9x
// know no alpha, so half-transparent edges are blended over `background`.
class IconFromImage {
public:
    // Null for an empty image; the caller destroys the icon.
    static HICON Create(const IconImage& image, COLORREF background);
};
