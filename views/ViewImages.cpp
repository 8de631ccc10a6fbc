#include "views/ViewImages.h"
#include "app/res/resource.h"

#include <shellapi.h>

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


bool ViewImages::IconKey::operator<(const IconKey& other) const
{
    if (writeTime != other.writeTime) return writeTime < other.writeTime;
    if (size != other.size) return size < other.size;
    return lstrcmpiA(path.c_str(), other.path.c_str()) < 0;
}

int ViewImages::AddFileIcon(const std::string& path)
{
    if (!hViews || path.empty()) return -1;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return -1;
    FindClose(search);
    IconKey key;
    key.path = path;
    key.writeTime = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    key.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    auto found = icons.find(key);
    if (found != icons.end()) return found->second;
    int index = -1;
    HICON small = nullptr;
    if (ExtractIconExA(path.c_str(), 0, nullptr, &small, 1) != 0 && small) {
        index = ImageList_AddIcon(hViews, small);
        DestroyIcon(small);
    }
    icons.emplace(key, index);
    return index;
}
