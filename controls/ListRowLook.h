#pragma once

#include <windows.h>

// Selection and focus of owner-drawn list rows. With visual styles a selected
// row is the highlight colour lightened by 0.7 under the window text and the
// focused row is framed in the highlight colour; without them the classic
// highlight and the dotted focus rectangle.
class ListRowLook {
public:
    explicit ListRowLook(bool themed) : bThemed(themed) {}
    // Whether visual styles are on now.
    static bool ThemedNow();
    bool Themed() const { return bThemed; }

    // Fills the row's background; returns the colour for its text.
    COLORREF Background(const DRAWITEMSTRUCT& draw) const;
    // The focus mark of a focused row, over what was drawn.
    void Focus(const DRAWITEMSTRUCT& draw) const;

private:
    bool bThemed;
};
