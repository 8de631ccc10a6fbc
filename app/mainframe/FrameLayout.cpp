#include "app/mainframe/FrameLayout.h"

namespace {
int AtLeast(int value, int floor)
{
    return value < floor ? floor : value;
}
} // namespace

FrameLayout::Output FrameLayout::Compute(const Input& in)
{
    const int w = AtLeast(in.nClientWidth, 0);
    const int h = AtLeast(in.nClientHeight, 0);
    const int t = in.nRebarHeight;
    const int s = in.nStatusHeight;
    const int i = in.bInfobar ? kInfobarHeight : 0;
    const int l = in.nTreeWidth;
    const int bottom = AtLeast(h - s, t);
    Output out;
    out.rcRebar = {0, 0, w, t};
    out.rcTree = {0, t, l, bottom};
    out.rcInfobar = {l, t, AtLeast(w, l), t + i};
    out.rcList = {l + kSplitterWidth, t + i, AtLeast(w, l + kSplitterWidth), AtLeast(bottom, t + i)};
    return out;
}

bool FrameLayout::SplitterDrag(int x, int grabOffset, int clientWidth, int minTrack, int& treeWidth)
{
    if (x < minTrack || x > clientWidth - minTrack) return false;
    treeWidth = AtLeast(x - grabOffset, 0);
    return true;
}

int FrameLayout::InitialTreeWidth(int storedWidth, int minTrack)
{
    return storedWidth < minTrack ? minTrack : storedWidth;
}

void FrameLayout::StatusParts(int statusWidth, int cpuPartWidth, int edges[3])
{
    const int w = AtLeast(statusWidth, 0);
    edges[0] = AtLeast(w - cpuPartWidth, 0);
    edges[1] = w;
    edges[2] = w;
}

FrameLayout::Rect FrameLayout::InitialPlace(const Rect& stored, int screenWidth, int screenHeight, int systemChooses)
{
    // The record's "system chooses" marker, 0x80000000, in right or bottom.
    const int unset = static_cast<int>(0x80000000u);
    Rect place = {stored.left, stored.top, systemChooses, systemChooses};
    const long long storedWidth = static_cast<long long>(stored.right) - stored.left;
    const long long storedHeight = static_cast<long long>(stored.bottom) - stored.top;
    if (stored.right != unset && stored.bottom != unset && storedWidth > 0 && storedHeight > 0
        && storedWidth <= 0x7FFFFFFF && storedHeight <= 0x7FFFFFFF) {
        place.right = static_cast<int>(storedWidth);
        place.bottom = static_cast<int>(storedHeight);
    }
    const long long width = place.right == systemChooses ? 100 : place.right;
    const long long height = place.bottom == systemChooses ? 100 : place.bottom;
    const bool onScreen = place.left < screenWidth && place.top < screenHeight && place.left + width > 0
                          && place.top + height > 0;
    if (!onScreen) place = {systemChooses, systemChooses, systemChooses, systemChooses};
    return place;
}
