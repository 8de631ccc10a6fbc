#include "ViewImages.h"
#include "../app/res/resource.h"

namespace {
HIMAGELIST LoadStrip(HINSTANCE instance, int id, int size)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) return nullptr;
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 8, 32);
    if (list && ImageList_AddMasked(list, bitmap, RGB(255, 0, 255)) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    DeleteObject(bitmap);
    return list;
}
} // namespace

ViewImages::ViewImages() : hViews(nullptr), hArrows(nullptr) {}

ViewImages::~ViewImages()
{
    if (hViews) ImageList_Destroy(hViews);
    if (hArrows) ImageList_Destroy(hArrows);
}

bool ViewImages::Create(HINSTANCE instance)
{
    if (!hViews) hViews = LoadStrip(instance, IDB_VIEWIMAGES, 16);
    if (!hArrows) hArrows = LoadStrip(instance, IDB_SORTARROWS, 14);
    return hViews && hArrows && ImageList_GetImageCount(hViews) >= kStockCount;
}

int ViewImages::Count() const
{
    return hViews ? ImageList_GetImageCount(hViews) : 0;
}

void ViewImages::Truncate(int count)
{
    if (!hViews) return;
    if (count < kStockCount) count = kStockCount;
    for (int index = Count() - 1; index >= count; --index) ImageList_Remove(hViews, index);
}
