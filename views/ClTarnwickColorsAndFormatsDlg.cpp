#include "views/ClTarnwickColorsAndFormatsDlg.h"

#include "views/ColorsAndFormats.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "controls/ListRowLook.h"
#include "gdiutils/Orvo_GdiUtilities.h"

#include <commdlg.h>

const char ClTarnwickColorsAndFormatsDlg::kTemplateName[] = "CLTARNWICKCOLORSANDFORMATSDLG";

namespace {

const int kSwatchWidth = 24;
const int kGap = 4;

std::string WindowText(HWND window, int capacity)
{
    std::string text(static_cast<size_t>(capacity), '\0');
    const int length = GetWindowTextA(window, &text[0], capacity);
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

} // namespace

ClTarnwickColorsAndFormatsDlg::ClTarnwickColorsAndFormatsDlg(UserSettings& settings, LiveSettings& live)
    : settings(settings), live(live), hColors(nullptr)
{
}

ClTarnwickColorsAndFormatsDlg::~ClTarnwickColorsAndFormatsDlg()
{
    Destroy();
}

std::string ClTarnwickColorsAndFormatsDlg::LocalePicture(LCTYPE type)
{
    char picture[256] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, type, picture, sizeof(picture))) return std::string();
    picture[sizeof(picture) - 1] = '\0';
    return picture;
}

std::string ClTarnwickColorsAndFormatsDlg::DatePreview(bool useDefault, bool longDate, const std::string& picture)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[256];
    // A failed call leaves the buffer unterminated.
    const int written = useDefault
                            ? GetDateFormatA(LOCALE_USER_DEFAULT, longDate ? DATE_LONGDATE : DATE_SHORTDATE, &now,
                                             nullptr, text, sizeof(text))
                            : GetDateFormatA(LOCALE_USER_DEFAULT, 0, &now, picture.c_str(), text, sizeof(text));
    return written > 0 ? std::string(text) : std::string();
}

std::string ClTarnwickColorsAndFormatsDlg::TimePreview(bool useDefault, const std::string& picture)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[256];
    const int written =
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, useDefault ? nullptr : picture.c_str(), text, sizeof(text));
    return written > 0 ? std::string(text) : std::string();
}

void ClTarnwickColorsAndFormatsDlg::OnInitPage()
{
    hColors = Item(IDC_COLORS_LIST);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hColors, WM_GETFONT, 0, 0));
    HDC dc = GetDC(hColors);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hColors, dc);
    SendMessageA(hColors, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 4 > 18 ? metrics.tmHeight + 4 : 18);
    for (size_t entry = 0; entry < ColorsAndFormats::kAllColorCount; ++entry)
        SendMessageA(hColors, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(StringTable::Load(ColorsAndFormats::ColorString(entry)).c_str()));
    SendMessageA(hColors, LB_SETCURSEL, 0, 0);

    HWND kind = Item(IDC_DATE_KIND);
    SendMessageA(kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(StringTable::Load(48).c_str()));
    SendMessageA(kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(StringTable::Load(49).c_str()));
    SendMessageA(Item(IDC_DATE_PICTURE), EM_LIMITTEXT, ColorsAndFormats::kPictureChars, 0);
    SendMessageA(Item(IDC_TIME_PICTURE), EM_LIMITTEXT, ColorsAndFormats::kPictureChars, 0);
    ShowDate();
    ShowTime();

    AddTip(IDC_COLORS_LIST, 189);
    AddTip(IDC_DATE_DEFAULT, 113);
    AddTip(IDC_DATE_OTHER, 114);
    AddTip(IDC_DATE_KIND, 115);
    AddTip(IDC_DATE_PICTURE, 118);
    AddTip(IDC_TIME_DEFAULT, 116);
    AddTip(IDC_TIME_OTHER, 117);
    AddTip(IDC_TIME_PICTURE, 119);
}

// The date group as the settings say; the edit field holds the picture only under "Other".
void ClTarnwickColorsAndFormatsDlg::ShowDate()
{
    const bool useDefault = settings.bDateUseDefault != 0;
    const bool filling = bFilling;
    bFilling = true;
    CheckRadioButton(hWnd, IDC_DATE_DEFAULT, IDC_DATE_OTHER, useDefault ? IDC_DATE_DEFAULT : IDC_DATE_OTHER);
    SendMessageA(Item(IDC_DATE_KIND), CB_SETCURSEL, settings.bDateLong ? 0 : 1, 0);
    EnableWindow(Item(IDC_DATE_KIND), useDefault);
    EnableWindow(Item(IDC_DATE_PICTURE), !useDefault);
    SetWindowTextA(Item(IDC_DATE_PICTURE),
                   useDefault ? "" : ColorsAndFormats::FieldText(settings.szDateFormat).c_str());
    bFilling = filling;
    ShowPreviews();
}

void ClTarnwickColorsAndFormatsDlg::ShowTime()
{
    const bool useDefault = settings.bTimeUseDefault != 0;
    const bool filling = bFilling;
    bFilling = true;
    CheckRadioButton(hWnd, IDC_TIME_DEFAULT, IDC_TIME_OTHER, useDefault ? IDC_TIME_DEFAULT : IDC_TIME_OTHER);
    EnableWindow(Item(IDC_TIME_PICTURE), !useDefault);
    SetWindowTextA(Item(IDC_TIME_PICTURE),
                   useDefault ? "" : ColorsAndFormats::FieldText(settings.szTimeFormat).c_str());
    bFilling = filling;
    ShowPreviews();
}

void ClTarnwickColorsAndFormatsDlg::ShowPreviews()
{
    SetWindowTextA(Item(IDC_DATE_PREVIEW),
                   DatePreview(settings.bDateUseDefault != 0, settings.bDateLong != 0,
                               ColorsAndFormats::FieldText(settings.szDateFormat))
                       .c_str());
    SetWindowTextA(Item(IDC_TIME_PREVIEW),
                   TimePreview(settings.bTimeUseDefault != 0, ColorsAndFormats::FieldText(settings.szTimeFormat))
                       .c_str());
}

bool ClTarnwickColorsAndFormatsDlg::OnCommand(WORD id, WORD code, HWND)
{
    switch (id) {
    case IDC_COLORS_LIST:
        if (code == LBN_DBLCLK) OnColorEntry(nullptr);
        return true;
    case IDC_DATE_DEFAULT:
    case IDC_DATE_OTHER:
        if (code == BN_CLICKED && !bFilling) OnDateChoice(id == IDC_DATE_DEFAULT);
        return true;
    case IDC_DATE_KIND:
        if (code == CBN_SELCHANGE && !bFilling) OnDateChoice(true);
        return true;
    case IDC_DATE_PICTURE:
        if (code == EN_CHANGE && !bFilling) OnDatePictureEdited();
        return true;
    case IDC_TIME_DEFAULT:
    case IDC_TIME_OTHER:
        if (code == BN_CLICKED && !bFilling) OnTimeChoice(id == IDC_TIME_DEFAULT);
        return true;
    case IDC_TIME_PICTURE:
        if (code == EN_CHANGE && !bFilling) OnTimePictureEdited();
        return true;
    default:
        return false;
    }
}

bool ClTarnwickColorsAndFormatsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_DRAWITEM: {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlID != IDC_COLORS_LIST) return false;
        OnDrawColor(draw);
        result = TRUE;
        return true;
    }
    case WM_CONTEXTMENU: {
        if (reinterpret_cast<HWND>(wParam) != hColors) return false;
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (point.x != -1 || point.y != -1) {
            // A right click picks the entry under it first.
            POINT client = point;
            ScreenToClient(hColors, &client);
            const LRESULT hit = SendMessageA(hColors, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
            if (HIWORD(hit)) return true;
            SendMessageA(hColors, LB_SETCURSEL, LOWORD(hit), 0);
            OnColorEntry(&point);
        } else {
            OnColorEntry(nullptr);
        }
        result = TRUE;
        return true;
    }
    default:
        return false;
    }
}

void ClTarnwickColorsAndFormatsDlg::OnDrawColor(const DRAWITEMSTRUCT& draw)
{
    HDC dc = draw.hDC;
    RECT box = draw.rcItem;
    const ListRowLook look(ListRowLook::ThemedNow());
    const COLORREF textColour = look.Background(draw);
    if (draw.itemID < ColorsAndFormats::kAllColorCount) {
        const size_t entry = draw.itemID;
        RECT swatch = {box.left + kGap, box.top + 2, box.left + kGap + kSwatchWidth, box.bottom - 2};
        FillSolidRect(dc, swatch.left, swatch.top, swatch.right - swatch.left, swatch.bottom - swatch.top,
                      ColorsAndFormats::Shown(ColorsAndFormats::Color(settings, live, entry), GetSysColor(COLOR_BTNFACE)));
        FrameRect(dc, &swatch, GetSysColorBrush(COLOR_WINDOWTEXT));
        RECT text = box;
        text.left = swatch.right + 2 * kGap;
        const int mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF colour = SetTextColor(dc, textColour);
        DrawTextA(dc, StringTable::Load(ColorsAndFormats::ColorString(entry)).c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetTextColor(dc, colour);
        SetBkMode(dc, mode);
    }
    look.Focus(draw);
}

void ClTarnwickColorsAndFormatsDlg::OnColorEntry(const POINT* screen)
{
    const LRESULT selected = SendMessageA(hColors, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || static_cast<size_t>(selected) >= ColorsAndFormats::kAllColorCount) return;
    const size_t entry = static_cast<size_t>(selected);
    POINT where = {0, 0};
    if (screen) {
        where = *screen;
    } else {
        RECT item = {};
        SendMessageA(hColors, LB_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&item));
        where.x = item.left + kGap;
        where.y = item.bottom;
        ClientToScreen(hColors, &where);
    }
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    AppendMenuA(menu, MF_STRING, kDefaultColor, StringTable::Load(197).c_str());
    AppendMenuA(menu, MF_STRING, kCustomColors, StringTable::Load(198).c_str());
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, where.x, where.y, 0, hWnd, nullptr));
    DestroyMenu(menu);
    if (command == kDefaultColor) {
        const uint32_t before = ColorsAndFormats::Color(settings, live, entry);
        ColorsAndFormats::SetDefaultColor(settings, live, entry);
        if (ColorsAndFormats::Color(settings, live, entry) != before) MarkChanged();
    } else if (command == kCustomColors) {
        ChooseCustomColor(entry);
    }
    InvalidateRect(hColors, nullptr, FALSE);
}

void ClTarnwickColorsAndFormatsDlg::ChooseCustomColor(size_t entry)
{
    // The system background stands for the face colour here too.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF custom[16];
    for (COLORREF& colour : custom) colour = face;
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = Owner();
    choose.rgbResult = ColorsAndFormats::Shown(ColorsAndFormats::Color(settings, live, entry), face);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColorA(&choose)) return;
    if (ColorsAndFormats::Color(settings, live, entry) != choose.rgbResult) MarkChanged();
    ColorsAndFormats::SetColor(settings, live, entry, choose.rgbResult);
}

void ClTarnwickColorsAndFormatsDlg::OnDateChoice(bool useDefault)
{
    if (useDefault) {
        const bool longDate = SendMessageA(Item(IDC_DATE_KIND), CB_GETCURSEL, 0, 0) != 1;
        ColorsAndFormats::UseDefaultDate(settings, longDate,
                                         LocalePicture(longDate ? LOCALE_SLONGDATE : LOCALE_SSHORTDATE));
    } else {
        ColorsAndFormats::UseOtherDate(settings);
    }
    MarkChanged();
    ShowDate();
}

void ClTarnwickColorsAndFormatsDlg::OnTimeChoice(bool useDefault)
{
    if (useDefault) ColorsAndFormats::UseDefaultTime(settings, LocalePicture(LOCALE_STIMEFORMAT));
    else ColorsAndFormats::UseOtherTime(settings);
    MarkChanged();
    ShowTime();
}

void ClTarnwickColorsAndFormatsDlg::OnDatePictureEdited()
{
    if (settings.bDateUseDefault) return;
    // At most 63 characters: WM_SETTEXT is not held to the edit's limit.
    ColorsAndFormats::SetDatePicture(settings,
                                     WindowText(Item(IDC_DATE_PICTURE), ColorsAndFormats::kPictureChars + 1));
    MarkChanged();
    ShowPreviews();
}

void ClTarnwickColorsAndFormatsDlg::OnTimePictureEdited()
{
    if (settings.bTimeUseDefault) return;
    ColorsAndFormats::SetTimePicture(settings,
                                     WindowText(Item(IDC_TIME_PICTURE), ColorsAndFormats::kPictureChars + 1));
    MarkChanged();
    ShowPreviews();
}
