#pragma once

#include <windows.h>
#include <vector>

// Owner-drawn list boxes and combo boxes of fixed row height ask their parent
// for the height (WM_MEASUREITEM) while the dialog's template is being made,
// before the dialog object has its window. The shared dialog procedure asks
// the object again once it has, and gives each list the height it answered.
class MeasureReplay {
public:
    struct Request {
        HWND hControl;
        MEASUREITEMSTRUCT measure;
    };
    // One request for each such child of `dialog`, filled as the list itself fills it.
    static std::vector<Request> Requests(HWND dialog);
    // The height of the answered request, set on its list.
    static void Apply(const Request& request);
};
