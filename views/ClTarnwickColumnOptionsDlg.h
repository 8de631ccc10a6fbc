#pragma once

#include "views/OptionItems.h"
#include "app/settings/UserSettings.h"
#include "controls/CheckList.h"
#include "controls/OptionsPage.h"

// The "Columns" page: which columns the process and module lists show. The
// first column of each (Name, Module) is always shown: its check stays. The
// process list's live columns (CPU, CPU Time, Working Set, Private Bytes)
// follow the twelve of the settings record; their flags are in LiveSettings.
class ClTarnwickColumnOptionsDlg : public OptionsPage {
public:
    static const char kTemplateName[];

    ClTarnwickColumnOptionsDlg(UserSettings& settings, LiveSettings& live);
    ~ClTarnwickColumnOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    uint8_t& Visible(OptionItems::List list, size_t item);
    void SetAll(OptionItems::List list, bool visible);

    UserSettings& settings;
    LiveSettings& live;
    CheckList lists[2];
};
