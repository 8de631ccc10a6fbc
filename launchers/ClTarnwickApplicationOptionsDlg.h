#pragma once

#include "launchers/UserApplication.h"

#include "controls/ButtonEx.h"
#include "controls/DragList.h"
#include "controls/OptionsPage.h"

#include <vector>

// The "Applications" page: the user-defined applications in their order,
// added from a program file, removed after a question, edited in Application
// Properties, moved by dragging.
class ClTarnwickApplicationOptionsDlg : public OptionsPage {
public:
    static const char kTemplateName[];

    // `program`: the module of the default icon (112).
    ClTarnwickApplicationOptionsDlg(std::vector<UserApplication>& applications, HINSTANCE program);
    ~ClTarnwickApplicationOptionsDlg() override;
    const char* TemplateName() const override { return kTemplateName; }

private:
    void OnInitPage() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnDestroyPage() override;
    void OnAdd();
    void OnRemove();
    void OnProperties();
    void OnDrawEntry(const DRAWITEMSTRUCT& draw);
    void Fill(int select);
    int Selected() const;
    void EnableButtons();

    std::vector<UserApplication>& applications;
    HINSTANCE hProgram;
    DragList list;
    HICON ahIcons[3];
    bool bThemed = false;
};
