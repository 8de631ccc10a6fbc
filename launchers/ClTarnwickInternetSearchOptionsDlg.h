#pragma once

#include "launchers/SearchEngine.h"

#include "controls/DragList.h"
#include "controls/OptionsPage.h"

#include <string>
#include <vector>

// The "Internet Search" page: the active search engines in their order,
// added from the search-plugin folder through the import dialog, removed
// after a question, moved by dragging.
class ClTarnwickInternetSearchOptionsDlg : public OptionsPage {
public:
    static const char kTemplateName[];

    // `pluginFolder`: where Add looks (the program's SearchPlugins folder);
    // `program`: the module of the button icons.
    ClTarnwickInternetSearchOptionsDlg(std::vector<SearchEngine>& engines, const std::string& pluginFolder,
                                       HINSTANCE program);
    ~ClTarnwickInternetSearchOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnDestroyPage() override;
    void OnAdd();
    void OnRemove();
    void OnDrawEntry(const DRAWITEMSTRUCT& draw);
    void Fill(int select);
    void MakeIcons();
    void FreeIcons();
    int Selected() const;

    std::vector<SearchEngine>& engines;
    std::string strFolder;
    HINSTANCE hProgram;
    DragList list;
    std::vector<HICON> icons;
    HICON ahButtonIcons[2];
    HFONT hBoldFont;
    bool bThemed = false;
};
