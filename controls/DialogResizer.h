#pragma once

#include <windows.h>

#include <vector>

// Keeps the controls of a resizable dialog in place: each control moves or
// stretches with the right and bottom edges as its anchors say, and the size
// the dialog had when attached is its minimum.
class DialogResizer {
public:
    enum Anchor {
        Fixed = 0,
        MoveX = 1,   // keeps its distance to the right edge
        MoveY = 2,   // keeps its distance to the bottom edge
        SizeX = 4,   // stretches with the width
        SizeY = 8,   // stretches with the height
    };

    // Records the dialog's present size (WM_INITDIALOG, before any control is anchored).
    void Attach(HWND dialog);
    void Add(int controlId, unsigned anchors);
    // WM_SIZE.
    void Layout();
    // WM_GETMINMAXINFO.
    void LimitSize(MINMAXINFO* info) const;

private:
    struct Item {
        HWND hControl;
        RECT rcInitial;
        unsigned nAnchors;
    };
    HWND hDialog = nullptr;
    SIZE szClient = {0, 0};
    SIZE szMinimum = {0, 0};
    std::vector<Item> items;
};
