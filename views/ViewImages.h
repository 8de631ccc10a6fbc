#pragma once

#include <windows.h>
#include <commctrl.h>

// The image lists of the views: the 16 x 16 view pictures (eight stock
// pictures, then the icons of the processes and modules shown) and the two
// sort arrows of the list header. Icons added by the views are dropped again
// before the next fill, so that refreshing does not grow the list.
class ViewImages {
public:
    enum Stock { kComputer = 0, kKill, kProcesses, kServices, kProcess, kModule, kRelocated, kService, kStockCount };

    ViewImages();
    ~ViewImages();
    ViewImages(const ViewImages&) = delete;
    ViewImages& operator=(const ViewImages&) = delete;

    bool Create(HINSTANCE instance);
    HIMAGELIST Views() const { return hViews; }
    HIMAGELIST Arrows() const { return hArrows; }
    int Count() const;
    // Removes every image from `count` on; the stock pictures stay.
    void Truncate(int count);

private:
    HIMAGELIST hViews;
    HIMAGELIST hArrows;
};
