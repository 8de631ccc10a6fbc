#include "controls/MeasureReplay.h"

namespace {

bool ClassIs(HWND window, const char* name)
{
    char text[32] = {};
    GetClassNameA(window, text, sizeof(text));
    return lstrcmpiA(text, name) == 0;
}

} // namespace

std::vector<MeasureReplay::Request> MeasureReplay::Requests(HWND dialog)
{
    std::vector<Request> requests;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        Request request = {child, {}};
        if (ClassIs(child, "ListBox") && (style & LBS_OWNERDRAWFIXED) && !(style & LBS_OWNERDRAWVARIABLE)) {
            request.measure.CtlType = ODT_LISTBOX;
            request.measure.itemHeight = static_cast<UINT>(SendMessageA(child, LB_GETITEMHEIGHT, 0, 0));
        } else if (ClassIs(child, "ComboBox") && (style & CBS_OWNERDRAWFIXED) && !(style & CBS_OWNERDRAWVARIABLE)) {
            request.measure.CtlType = ODT_COMBOBOX;
            request.measure.itemHeight = static_cast<UINT>(SendMessageA(child, CB_GETITEMHEIGHT, 0, 0));
        } else {
            continue;
        }
        RECT client = {};
        GetClientRect(child, &client);
        request.measure.CtlID = static_cast<UINT>(GetDlgCtrlID(child));
        request.measure.itemID = 0;
        request.measure.itemWidth = static_cast<UINT>(client.right - client.left);
        requests.push_back(request);
    }
    return requests;
}

void MeasureReplay::Apply(const Request& request)
{
    const UINT height = request.measure.itemHeight;
    if (height == 0 || height > 255) return;  // what a fixed-height list accepts
    if (request.measure.CtlType == ODT_LISTBOX)
        SendMessageA(request.hControl, LB_SETITEMHEIGHT, 0, height);
    else
        SendMessageA(request.hControl, CB_SETITEMHEIGHT, 0, height);
}
