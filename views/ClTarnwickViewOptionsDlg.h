#pragma once

#include "app/settings/UserSettings.h"
#include "controls/OptionsPage.h"

#include <string>

// The "View" page: the bars, the view font, nesting, highlighting (new and
// ended processes: LiveSettings), tooltips and hiding when minimised.
class ClTarnwickViewOptionsDlg : public OptionsPage {
public:
    static const char kTemplateName[];

    ClTarnwickViewOptionsDlg(UserSettings& settings, LiveSettings& live);
    ~ClTarnwickViewOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

    // "Face, 12 Pt": the preview's text for a font of `points` points.
    static std::string PreviewText(const std::string& face, int points);
    // The size in points of a logical font on a device of `pixelsPerInch`.
    static int PointSize(const LOGFONTA& font, int pixelsPerInch);

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnChooseFont();
    void UpdatePreview();

    UserSettings& settings;
    LiveSettings& live;
    HFONT hPreviewFont;
    HBRUSH hWhite;
};
