#pragma once

#include "views/ProcessItem.h"

#include <windows.h>
#include <commctrl.h>
#include <vector>

class FrameHost;
class FrameWindows;
class ViewImages;

// Dragging processes from the tree or the process list onto the tree's
// "Kill" item: the mouse is captured with a drag picture, the item under the
// pointer is the drop target, and the tree scrolls near its edges.
class DragToKill {
public:
    DragToKill(FrameHost& host, FrameWindows& windows, ViewImages& images);

    void Begin(const std::vector<ProcessItem>& processes, int image);
    bool IsDragging() const { return bDragging; }
    // Pointer moved, in the frame's client coordinates.
    void Move(int x, int y);
    // Ends the drag; true (with the processes) when they were dropped on "Kill".
    bool End(bool drop, std::vector<ProcessItem>& dropped);
    // Timer 2: one line up or down while the pointer is near the tree's edges.
    void OnScrollTimer();

private:
    void UpdateDropTarget(POINT screen);

    FrameHost& host;
    FrameWindows& windows;
    ViewImages& images;
    bool bDragging;
    std::vector<ProcessItem> draggedProcesses;
    HTREEITEM hDropTarget;
};
