#pragma once

#include <windows.h>
#include <commctrl.h>
#include <deque>
#include <map>
#include <string>

// Owner-drawn popup menus: every item of a converted menu is drawn with its
// command's picture, the text in the menu font (the default item in bold),
// the shortcut right-aligned, grayed and checked states. The item records
// live until Release() (after the menu has been tracked and destroyed).
class OwnerDrawMenu {
public:
    OwnerDrawMenu();
    ~OwnerDrawMenu();
    OwnerDrawMenu(const OwnerDrawMenu&) = delete;
    OwnerDrawMenu& operator=(const OwnerDrawMenu&) = delete;

    // The menu font and its bold face, from the system's non-client metrics.
    void RecreateFonts();
    // Pictures: `images` with the image index of each command that has one.
    void SetImages(HIMAGELIST images, const std::map<UINT, int>& commandImages);
    // Commands whose checked state is drawn as a radio dot (one range per call).
    void AddRadioCommands(UINT first, UINT last);

    void Convert(HMENU menu);
    void Release();

    bool Measure(MEASUREITEMSTRUCT& item);
    bool Draw(const DRAWITEMSTRUCT& item);
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
    const Entry* FromData(ULONG_PTR data) const;

    HFONT hMenuFont;
    HFONT hBoldMenuFont;
    HIMAGELIST hImages;
    std::map<UINT, int> images;
    std::map<UINT, UINT> radioRanges;  // first command to last
    std::deque<Entry> entries;
};
