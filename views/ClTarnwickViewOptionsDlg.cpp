#include "views/ClTarnwickViewOptionsDlg.h"

#include "views/ColorsAndFormats.h"
#include "app/res/resource.h"
#include "gdiutils/Orvo_GdiUtilities.h"

#include <commdlg.h>
#include <cstdio>
#include <cstring>

const char ClTarnwickViewOptionsDlg::kTemplateName[] = "CLTARNWICKVIEWOPTIONSDLG";

namespace {

// The check boxes, their settings fields (the record is packed: offsets) and tips.
struct Check {
    int nId;
    size_t nOffset;
    unsigned nTip;
};

const Check kChecks[] = {
    {IDC_VIEW_TOOLBAR, offsetof(UserSettings, bShowToolbar), 40045},
    {IDC_VIEW_INFOBAR, offsetof(UserSettings, bShowInfobar), 40046},
    {IDC_VIEW_STATUSBAR, offsetof(UserSettings, bShowStatusbar), 40047},
    {IDC_VIEW_RESOLVE, offsetof(UserSettings, bResolveProcessDependencies), 91},
    {IDC_VIEW_SERVICES, offsetof(UserSettings, bHighlightServices), 92},
    {IDC_VIEW_DYNAMIC, offsetof(UserSettings, bHighlightDynamicLoads), 93},
    {IDC_VIEW_TOOLTIPS, offsetof(UserSettings, bEnableTooltips), 94},
    {IDC_VIEW_HIDE, offsetof(UserSettings, bHideWhenMinimized), 152},
};

uint32_t Flag(const UserSettings& settings, size_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const char*>(&settings) + offset, sizeof(value));
    return value;
}

void SetFlag(UserSettings& settings, size_t offset, uint32_t value)
{
    std::memcpy(reinterpret_cast<char*>(&settings) + offset, &value, sizeof(value));
}

const int kMinPoints = 8;
const int kMaxPoints = 18;

} // namespace

ClTarnwickViewOptionsDlg::ClTarnwickViewOptionsDlg(UserSettings& settings, LiveSettings& live)
    : settings(settings), live(live), hPreviewFont(nullptr), hWhite(nullptr)
{
}

ClTarnwickViewOptionsDlg::~ClTarnwickViewOptionsDlg()
{
    Destroy();
    if (hPreviewFont) DeleteObject(hPreviewFont);
    if (hWhite) DeleteObject(hWhite);
}

std::string ClTarnwickViewOptionsDlg::PreviewText(const std::string& face, int points)
{
    char text[LF_FACESIZE + 32];
    std::snprintf(text, sizeof(text), "%s, %d Pt", face.c_str(), points);
    return text;
}

int ClTarnwickViewOptionsDlg::PointSize(const LOGFONTA& font, int pixelsPerInch)
{
    if (pixelsPerInch <= 0) return 0;
    if (font.lfHeight < 0) return HeightToPoints(font.lfHeight, pixelsPerInch);
    // A cell height (or the default size): the em height of the font made from it.
    HFONT made = CreateFontIndirectA(&font);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, made ? static_cast<HGDIOBJ>(made) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (made) DeleteObject(made);
    return HeightToPoints(-(metrics.tmHeight - metrics.tmInternalLeading), pixelsPerInch);
}

void ClTarnwickViewOptionsDlg::OnInitPage()
{
    hWhite = CreateSolidBrush(RGB(255, 255, 255));
    for (const Check& check : kChecks) {
        SetChecked(check.nId, Flag(settings, check.nOffset) != 0);
        AddTip(check.nId, check.nTip);
    }
    SetChecked(IDC_VIEW_HIGHLIGHT_CHANGES, live.bHighlightChanges != 0);
    AddTip(IDC_VIEW_HIGHLIGHT_CHANGES, 217);
    AddTip(IDC_VIEW_FONT, 90);
    UpdatePreview();
}

bool ClTarnwickViewOptionsDlg::OnCommand(WORD id, WORD code, HWND)
{
    if (id == IDC_VIEW_FONT && code == BN_CLICKED) {
        OnChooseFont();
        return true;
    }
    if (id == IDC_VIEW_HIGHLIGHT_CHANGES && code == BN_CLICKED) {
        live.bHighlightChanges = IsChecked(id) ? 1 : 0;
        MarkChanged();
        return true;
    }
    for (const Check& check : kChecks)
        if (check.nId == id && code == BN_CLICKED) {
            SetFlag(settings, check.nOffset, IsChecked(id) ? 1 : 0);
            MarkChanged();
            return true;
        }
    return false;
}

bool ClTarnwickViewOptionsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    // The preview sits on white.
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == Item(IDC_VIEW_PREVIEW) && hWhite) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        result = reinterpret_cast<INT_PTR>(hWhite);
        return true;
    }
    return false;
}

void ClTarnwickViewOptionsDlg::OnChooseFont()
{
    LOGFONTA font = settings.lfViewFont;
    const std::string face = ColorsAndFormats::FieldText(settings.lfViewFont.lfFaceName);
    lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
    CHOOSEFONTA choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = Owner();
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE;
    choose.nSizeMin = kMinPoints;
    choose.nSizeMax = kMaxPoints;
    if (!ChooseFontA(&choose)) return;
    settings.lfViewFont = font;
    MarkChanged();
    UpdatePreview();
}

void ClTarnwickViewOptionsDlg::UpdatePreview()
{
    HWND preview = Item(IDC_VIEW_PREVIEW);
    if (!preview) return;
    LOGFONTA font = settings.lfViewFont;
    const std::string face = ColorsAndFormats::FieldText(settings.lfViewFont.lfFaceName);
    lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
    HDC dc = GetDC(preview);
    const int points = PointSize(font, GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(preview, dc);
    HFONT made = CreateFontIndirectA(&font);
    if (made) {
        SendMessageA(preview, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
        if (hPreviewFont) DeleteObject(hPreviewFont);
        hPreviewFont = made;
    }
    SetWindowTextA(preview, PreviewText(face, points).c_str());
    InvalidateRect(preview, nullptr, TRUE);
}
