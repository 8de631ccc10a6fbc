#pragma once

#include "views/OptionItems.h"
#include "app/settings/UserSettings.h"
#include "controls/CheckList.h"
#include "controls/OptionsPage.h"

// The "Columns" page: which columns the process and module lists show. The
// first column of each (Name, Module) is always shown: its check stays.
class ClTarnwickColumnOptionsDlg : public OptionsPage {
public:
    static const char kTemplateName[];

    explicit ClTarnwickColumnOptionsDlg(UserSettings& settings);
    ~ClTarnwickColumnOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    ColumnSetting* Columns(OptionItems::List list);
    void SetAll(OptionItems::List list, bool visible);

    UserSettings& settings;
    CheckList lists[2];
};
