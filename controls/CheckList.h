#pragma once

#include <windows.h>
#include <commctrl.h>
#include <string>

// A list view of check boxes, one column wide, without a header: the check
// lists of the option pages.
class CheckList {
public:
    CheckList() : hList(nullptr) {}
    // Gives the list its check boxes and its one column.
    void Attach(HWND list);
    HWND GetHwnd() const { return hList; }

    int Add(const std::string& text, bool checked);
    int Count() const;
    bool IsChecked(int item) const;
    void SetChecked(int item, bool checked);

    // The item whose check a LVN_ITEMCHANGED or LVN_ITEMCHANGING notification
    // changes (-1: none), and whether the check is set afterwards.
    static int CheckChange(const NMLISTVIEW& change, bool& checked);

private:
    HWND hList;
};
