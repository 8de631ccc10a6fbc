#include "gdiutils/COMCTL32Wrapper.h"

#include "sysinfo/DebugOutput.h"

COMCTL32Wrapper::COMCTL32Wrapper()
    : WrapperBase("COMCTL32.DLL"),
      pfnImageList_GetIcon(Resolve<PFN_ImageList_GetIcon>("ImageList_GetIcon")),
      pfnImageList_GetIconSize(Resolve<PFN_ImageList_GetIconSize>("ImageList_GetIconSize"))
{
}

HICON COMCTL32Wrapper::ImageList_GetIcon(HIMAGELIST imageList, int index, UINT flags)
{
    if (!pfnImageList_GetIcon) {
        DebugOutput::Write("COMCTL32Wrapper::ImageList_GetIcon failed\n");
        return nullptr;
    }
    return pfnImageList_GetIcon(imageList, index, flags);
}

bool COMCTL32Wrapper::ImageList_GetIconSize(HIMAGELIST imageList, int* width, int* height)
{
    if (!pfnImageList_GetIconSize) {
        DebugOutput::Write("COMCTL32Wrapper::ImageList_GetIconSize failed\n");
        return false;
    }
    return pfnImageList_GetIconSize(imageList, width, height) != FALSE;
}
