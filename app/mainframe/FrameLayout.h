#pragma once

// Where the main window's children go for a client size: the rebar on top,
// the process tree on the left, the infobar and the list on the right, with
// a 6-pixel splitter between tree and list; the status bar below.
class FrameLayout {
public:
    static const int kSplitterWidth = 6;
    static const int kInfobarHeight = 32;

    struct Rect {
        int left, top, right, bottom;
        int Width() const { return right - left; }
        int Height() const { return bottom - top; }
    };
    struct Input {
        int nClientWidth;
        int nClientHeight;
        int nRebarHeight;  // 0 when the rebar is hidden
        int nStatusHeight; // 0 when the status bar is hidden
        bool bInfobar;
        int nTreeWidth;
    };
    struct Output {
        Rect rcRebar, rcTree, rcInfobar, rcList;
    };

    static Output Compute(const Input& input);

    // The tree width while the splitter is dragged to `x`; false when `x`
    // lies outside [minTrack, clientWidth - minTrack] (the splitter stays).
    static bool SplitterDrag(int x, int grabOffset, int clientWidth, int minTrack, int& treeWidth);
    // Where the window starts: the stored normal rectangle as left, top,
    // width, height in a Rect; `systemChooses` (CW_USEDEFAULT) for a size the
    // stored one does not give and for every field when the place lies off
    // the screen (another monitor, a damaged file).
    static Rect InitialPlace(const Rect& stored, int screenWidth, int screenHeight, int systemChooses);
    // The tree width a window starts with: the stored width, at least the minimum track width.
    static int InitialTreeWidth(int storedWidth, int minTrack);
    // Right edges of the three status-bar parts: part 0 takes what part 1
    // (the CPU graph) leaves, part 2 has no width.
    static void StatusParts(int statusWidth, int cpuPartWidth, int edges[3]);
};
