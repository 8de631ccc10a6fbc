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

    explicit ClTarnwickCopyOptionsDlg(UserSettings& settings);
    ~ClTarnwickCopyOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    uint32_t Mask(OptionItems::List list) const;
    void SetMask(OptionItems::List list, uint32_t mask);
    void ShowChecks(OptionItems::List list);

    UserSettings& settings;
    CheckList lists[2];
};
