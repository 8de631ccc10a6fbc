#pragma once

#include "tests/e2e/Window.h"

#include <commctrl.h>

#include <string>
#include <vector>

// One toolbar button, as read from its process.
struct ToolbarButton {
    int index = -1;
    int id = 0;               // command id (0 for separators)
    int image = -1;
    BYTE state = 0;           // TBSTATE_* bits
    BYTE style = 0;           // TBSTYLE_*/BTNS_* bits
    std::string text;
    bool IsSeparator() const { return (style & TBSTYLE_SEP) != 0; }
    bool IsEnabled() const { return (state & TBSTATE_ENABLED) != 0; }
    bool IsChecked() const { return (state & TBSTATE_CHECKED) != 0; }
    bool IsHidden() const { return (state & TBSTATE_HIDDEN) != 0; }
};

// A toolbar (ToolbarWindow32) of another process.
class RemoteToolbar {
public:
    explicit RemoteToolbar(const Window& toolbar) : wToolbar(toolbar) {}
    const Window& GetWindow() const { return wToolbar; }

    int Count() const;
    std::vector<ToolbarButton> Buttons() const;   // in order, separators included
    std::vector<int> Ids() const;                 // command ids, 0 for separators
    ToolbarButton Button(int index) const;
    int IndexOf(int id) const;                    // -1 when there is no such button
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    bool ButtonRect(int index, RECT& rect) const; // toolbar client coordinates
    // Clicks the button with the mouse; a drop-down button's arrow with arrow = true.
    bool ClickButton(int id, bool arrow = false) const;

private:
    Window wToolbar;
};
