#pragma once

#include "tests/e2e/Window.h"

#include <commctrl.h>
#include <string>
#include <vector>

class RemoteBuffer;

// One item of a tree view, as read from its process.
struct TreeItem {
    HTREEITEM handle = nullptr;
    std::string text;
    int level = 0;              // 0 for top-level items
    int parent = -1;            // index of the parent in the Items() vector, -1 at top level
    bool selected = false;      // the caret (current selection)
    bool expanded = false;
    bool hasChildren = false;   // has child items (read from the tree, not cChildren)
    UINT state = 0;             // TVIS_* bits
    int image = -1;
    int selectedImage = -1;
    LPARAM param = 0;
};

// A tree view (SysTreeView32 or a superclass of it) of another process,
// read through memory allocated in that process.
class RemoteTreeView {
public:
    explicit RemoteTreeView(const Window& tree) : wTree(tree) {}
    const Window& GetWindow() const { return wTree; }

    // All items, depth first in display order, collapsed branches included.
    std::vector<TreeItem> Items() const;
    int Count() const;                               // TVM_GETCOUNT
    HTREEITEM Selection() const;
    TreeItem Item(HTREEITEM item) const;             // level and parent not filled
    std::string Text(HTREEITEM item) const;
    // First item with this text (exact), or a path of texts from the top.
    HTREEITEM Find(const std::string& text) const;
    HTREEITEM FindPath(const std::vector<std::string>& path) const;
    std::vector<HTREEITEM> ChildrenOf(HTREEITEM parent) const;   // nullptr: top level

    // Selects as a program would (TVM_SELECTITEM, TVGN_CARET): the owner gets
    // TVN_SELCHANGING/TVN_SELCHANGED with action TVC_UNKNOWN.
    bool Select(HTREEITEM item) const;
    bool Expand(HTREEITEM item, bool expand = true) const;
    bool EnsureVisible(HTREEITEM item) const;
    // Item rectangle in the tree's client coordinates (textOnly: the label).
    bool ItemRect(HTREEITEM item, RECT& rect, bool textOnly = true) const;
    // Clicks the item's label with the mouse (a real user's selection: TVC_BYMOUSE).
    bool ClickItem(HTREEITEM item, bool right = false, bool twice = false) const;

private:
    TreeItem ReadItem(const RemoteBuffer& buffer, HTREEITEM handle) const;
    void Walk(const RemoteBuffer& buffer, HTREEITEM first, int level, int parent, HTREEITEM caret,
              std::vector<TreeItem>& items) const;
    Window wTree;
};
