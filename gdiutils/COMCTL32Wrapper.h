#pragma once

#include "sysinfo/WrapperBase.h"

#include <commctrl.h>

// The image-list calls of COMCTL32.DLL, bound at run time so that the
// drawing library imports nothing beyond kernel32, user32 and gdi32.
class COMCTL32Wrapper : public WrapperBase {
public:
    typedef HICON(WINAPI* PFN_ImageList_GetIcon)(HIMAGELIST, int, UINT);
    typedef BOOL(WINAPI* PFN_ImageList_GetIconSize)(HIMAGELIST, int*, int*);

    COMCTL32Wrapper();

    // Null when the library or the entry point is missing.
    HICON ImageList_GetIcon(HIMAGELIST imageList, int index, UINT flags);
    bool ImageList_GetIconSize(HIMAGELIST imageList, int* width, int* height);

    PFN_ImageList_GetIcon pfnImageList_GetIcon;
    PFN_ImageList_GetIconSize pfnImageList_GetIconSize;
};
