#pragma once

#include "views/OptionItems.h"
#include "app/settings/UserSettings.h"
#include "controls/CheckList.h"
#include "controls/OptionsPage.h"

// The "Copy" page: which values Copy puts on the clipboard, how they are
// separated and delimited.
class ClTarnwickCopyOptionsDlg : public OptionsPage {
public:
    static const char kTemplateName[];

    ClTarnwickCopyOptionsDlg(UserSettings& settings, LiveSettings& live);
    ~ClTarnwickCopyOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    // The mask of the item: the record's, or the live items' (LiveSettings::dwCopyColumns).
    uint32_t Mask(OptionItems::List list, size_t item) const;
    void SetMask(OptionItems::List list, size_t item, uint32_t mask);
    void ShowChecks(OptionItems::List list);

    UserSettings& settings;
    LiveSettings& live;
    CheckList lists[2];
};
