#pragma once

#include "tests/e2e/Window.h"

#include <string>
#include <vector>

// A list box or a combo box of another process. Their text messages
// (LB_GETTEXT, CB_GETLBTEXT) are marshalled by the system: plain local buffers.
class RemoteListBox {
public:
    explicit RemoteListBox(const Window& box);
    const Window& GetWindow() const { return wBox; }
    bool IsComboBox() const { return bCombo; }

    int Count() const;
    std::string Text(int index) const;
    std::vector<std::string> Texts() const;
    int Selection() const;                    // LB_GETCURSEL / CB_GETCURSEL, -1 none
    std::vector<int> SelectedItems() const;   // multiple-selection list boxes too
    int Find(const std::string& text) const;  // exact, -1 when none
    // Sets the selection and tells the owner (LBN_SELCHANGE / CBN_SELCHANGE),
    // as a user's click would.
    bool Select(int index) const;

private:
    Window wBox;
    bool bCombo;
};
