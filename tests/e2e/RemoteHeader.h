#pragma once

#include "tests/e2e/Window.h"

#include <commctrl.h>
#include <string>
#include <vector>

// One header item, as read from its process.
struct HeaderItem {
    int index = -1;           // position in the header's item array (the column)
    int order = -1;           // position on screen
    std::string text;
    int format = 0;           // HDF_* bits
    int width = 0;
    HBITMAP bitmap = nullptr; // HDF_BITMAP picture
    int image = -1;           // HDF_IMAGE picture from the header's image list
    LPARAM param = 0;

    // Sort arrow shown on the item: +1 ascending, -1 descending, 0 none. Reads
    // HDF_SORTUP/HDF_SORTDOWN, or an HDF_IMAGE picture (image 0 ascending,
    // image 1 descending, the convention of the program's arrow image list).
    int SortArrow() const;
    bool HasBitmap() const { return (format & HDF_BITMAP) && bitmap; }
    bool PictureOnRight() const { return (format & HDF_BITMAP_ON_RIGHT) != 0; }
};

// A header control of another process (for a list view: RemoteListView::Header()).
class RemoteHeader {
public:
    explicit RemoteHeader(const Window& header) : wHeader(header) {}
    const Window& GetWindow() const { return wHeader; }

    int Count() const;
    std::vector<int> Order() const;                 // HDM_GETORDERARRAY: indexes in display order
    std::vector<HeaderItem> Items() const;          // in display order
    std::vector<HeaderItem> ItemsByIndex() const;   // in column order
    std::vector<std::string> Texts() const;         // in display order
    HeaderItem Item(int index) const;
    // The item showing a sort arrow, or index -1.
    HeaderItem SortedItem() const;
    bool ItemRect(int index, RECT& rect) const;     // header client coordinates
    // Clicks the item with the mouse (HDN_ITEMCLICK, a list's LVN_COLUMNCLICK).
    bool ClickItem(int index) const;

private:
    Window wHeader;
};
