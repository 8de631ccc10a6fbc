#pragma once

#include <windows.h>
#include <cstdint>

// Ids, timers and private messages of the main window, shared by the frame
// and its collaborators.
namespace FrameIds {
enum ChildId : UINT {
    kRebar = 300,
    kToolbar = 301,
    kTree = 302,
    kInfobar = 303,
    kList = 304,
    kStatus = 305,
    kProgress = 306,
    kCpuGraph = 307
};
// lParam of WM_COMMAND 40056 that asks for a full refresh (Ctrl+F5).
const LPARAM kFullRefreshMark = 1;
// Posted after a header drag: store the list's column order.
const UINT kStoreColumnOrder = WM_USER + 1;
const UINT_PTR kSelectionTimer = 1;
const UINT_PTR kDragScrollTimer = 2;
const UINT_PTR kLiveTimer = 3;
const UINT kSelectionDelay = 500;
} // namespace FrameIds

// What the list on the right shows.
enum class ListContent : uint32_t { Processes = 0, Modules = 1, Empty = 2 };
