#pragma once

#include "app/settings/UserSettings.h"
#include "controls/OptionsPage.h"

#include <string>

// The "Colors & Formats" page: the colours of the views, the CPU graph and
// the live view's new and ended processes, and the date and time pictures
// with their previews.
class ClTarnwickColorsAndFormatsDlg : public OptionsPage {
public:
    static const char kTemplateName[];
    // Commands of the colour entry's menu.
    enum MenuCommand : UINT { kDefaultColor = 1, kCustomColors = 2 };

    ClTarnwickColorsAndFormatsDlg(UserSettings& settings, LiveSettings& live);
    ~ClTarnwickColorsAndFormatsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

    // The user locale's long or short date picture, or its time picture.
    static std::string LocalePicture(LCTYPE type);
    // Today formatted as a preview; "" when the call fails.
    static std::string DatePreview(bool useDefault, bool longDate, const std::string& picture);
    static std::string TimePreview(bool useDefault, const std::string& picture);

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnDrawColor(const DRAWITEMSTRUCT& draw);
    // The menu of the selected colour entry, at `screen` (or below the entry).
    void OnColorEntry(const POINT* screen);
    void ChooseCustomColor(size_t entry);
    void OnDateChoice(bool useDefault);
    void OnTimeChoice(bool useDefault);
    void OnDatePictureEdited();
    void OnTimePictureEdited();
    void ShowDate();
    void ShowTime();
    void ShowPreviews();

    UserSettings& settings;
    LiveSettings& live;
    HWND hColors;
};
