#pragma once

#include <windows.h>
#include <commctrl.h>
#include <deque>
#include <map>
#include <string>

// The one renderer of the program's owner-drawn menu items: every item of a
// converted menu, and the items other parts make owner-drawn (the launcher
// pop-ups), drawn with their picture or icon, the text in the menu font (the
// default item in bold), the shortcut right-aligned, grayed and checked
// states. Selection, check marks and greyed pictures come from the drawing
// library. The item records live until Release() (after the menu has been
// tracked and destroyed).
class OwnerDrawMenu {
public:
    OwnerDrawMenu();
    ~OwnerDrawMenu();
    OwnerDrawMenu(const OwnerDrawMenu&) = delete;
    OwnerDrawMenu& operator=(const OwnerDrawMenu&) = delete;

    // The menu font and its bold face, from the system's non-client metrics;
    // whether visual styles are on.
    void RecreateFonts();
    // Pictures: `images` with the image index of each command that has one.
    void SetImages(HIMAGELIST images, const std::map<UINT, int>& commandImages);
    // Commands whose checked state is drawn as a radio dot (one range per call).
    void AddRadioCommands(UINT first, UINT last);

    void Convert(HMENU menu);
    void Release();

    // Items of converted menus; false for others.
    bool Measure(MEASUREITEMSTRUCT& item);
    bool Draw(const DRAWITEMSTRUCT& item);
    // An item made owner-drawn elsewhere: its text (no shortcut) and icon (or null).
    void MeasureLabel(MEASUREITEMSTRUCT& item, const std::string& text) const;
    void DrawLabel(const DRAWITEMSTRUCT& item, const std::string& text, HICON icon) const;
    // WM_MENUCHAR: the item whose mnemonic is `character`, or MNC_IGNORE.
    LRESULT MenuChar(char character, HMENU menu) const;

    HFONT MenuFont() const { return hMenuFont; }
    HFONT BoldMenuFont() const { return hBoldMenuFont; }

private:
    struct Entry {
        UINT nId;
        std::string strText;
        bool bPopup;
        HMENU hMenu;
    };
    // What an item shows.
    struct Look {
        std::string strText;  // label, then a tab and the shortcut
        bool bBold;
        bool bRadio;
        HICON hIcon;
        int nImage;  // in hImages; -1 for none
    };
    const Entry* FromData(ULONG_PTR data) const;
    Look LookOf(const Entry& entry) const;
    void MeasureLook(MEASUREITEMSTRUCT& item, const Look& look) const;
    void Paint(const DRAWITEMSTRUCT& item, const Look& look) const;
    void PaintPicture(HDC dc, const RECT& cell, const Look& look, UINT state, COLORREF back, COLORREF text) const;

    HFONT hMenuFont;
    HFONT hBoldMenuFont;
    HIMAGELIST hImages;
    std::map<UINT, int> images;
    std::map<UINT, UINT> radioRanges;  // first command to last
    bool bThemed;
    std::deque<Entry> entries;
};
