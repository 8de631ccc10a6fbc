#pragma once

#include "tests/e2e/Window.h"

#include <string>
#include <vector>

// A status bar (msctls_statusbar32) of another process.
class RemoteStatusBar {
public:
    explicit RemoteStatusBar(const Window& bar) : wBar(bar) {}
    const Window& GetWindow() const { return wBar; }

    int Parts() const;
    // Right edges of the parts in client coordinates (-1: to the right end).
    std::vector<int> PartEdges() const;
    std::string Text(int part) const;
    std::vector<std::string> Texts() const;
    // Drawing type of the part text (SBT_* bits, e.g. SBT_OWNERDRAW).
    int TextType(int part) const;
    std::string Tip(int part) const;         // SB_GETTIPTEXTA (SBT_TOOLTIPS bars)
    bool IsSimple() const;
    bool PartRect(int part, RECT& rect) const;

private:
    Window wBar;
};
