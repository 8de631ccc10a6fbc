#include "launchers/ClTarnwickApplicationOptionsDlg.h"

#include "controls/ListRowLook.h"

#include "launchers/ClTarnwickApplicationPropertiesDlg.h"
#include "launchers/LauncherLists.h"

#include "app/menus/StringTable.h"
#include "app/res/resource.h"


const char ClTarnwickApplicationOptionsDlg::kTemplateName[] = "CLTARNWICKAPPLICATIONOPTIONSDLG";

namespace {
const int kButtons[3] = {IDC_PAGE_ADD, IDC_PAGE_REMOVE, IDC_PAGE_PROPERTIES};
const UINT kButtonIcons[3] = {IDI_ADD, IDI_REMOVE, IDI_PROPERTIES};
const int kIconSide = 16;
const int kGap = 4;
} // namespace

ClTarnwickApplicationOptionsDlg::ClTarnwickApplicationOptionsDlg(std::vector<UserApplication>& applications,
                                                                 HINSTANCE program)
    : applications(applications), hProgram(program), ahIcons{}
{
}

ClTarnwickApplicationOptionsDlg::~ClTarnwickApplicationOptionsDlg()
{
    Destroy();
    for (HICON& icon : ahIcons)
        if (icon) DestroyIcon(icon);
}

void ClTarnwickApplicationOptionsDlg::OnInitPage()
{
    bThemed = ListRowLook::ThemedNow();
    list.Attach(Item(IDC_APPS_LIST));
    SendMessageA(list.GetHwnd(), LB_SETITEMHEIGHT, 0, kIconSide + 4);
    for (int i = 0; i < 3; ++i) {
        if (!ahIcons[i])
            ahIcons[i] = static_cast<HICON>(
                LoadImageA(hProgram, MAKEINTRESOURCEA(kButtonIcons[i]), IMAGE_ICON, kIconSide, kIconSide, 0));
        if (ButtonEx* button = ButtonEx::FromWindow(Item(kButtons[i]))) button->SetIcon(ahIcons[i]);
    }
    Fill(applications.empty() ? -1 : 0);
    AddTip(IDC_APPS_LIST, 83);
    AddTip(IDC_PAGE_ADD, 80);
    AddTip(IDC_PAGE_REMOVE, 81);
    AddTip(IDC_PAGE_PROPERTIES, 82);
}

void ClTarnwickApplicationOptionsDlg::OnDestroyPage()
{
    for (int id : kButtons)
        if (ButtonEx* button = ButtonEx::FromWindow(Item(id))) button->SetIcon(nullptr);
}

void ClTarnwickApplicationOptionsDlg::Fill(int select)
{
    HWND window = list.GetHwnd();
    SendMessageA(window, LB_RESETCONTENT, 0, 0);
    for (const UserApplication& entry : applications)
        SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.szDescription));
    if (select >= 0 && static_cast<size_t>(select) < applications.size()) SendMessageA(window, LB_SETCURSEL, select, 0);
    EnableButtons();
}

int ClTarnwickApplicationOptionsDlg::Selected() const
{
    const LRESULT selected = SendMessageA(list.GetHwnd(), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR || static_cast<size_t>(selected) >= applications.size() ? -1 : static_cast<int>(selected);
}

void ClTarnwickApplicationOptionsDlg::EnableButtons()
{
    const bool selected = Selected() >= 0;
    EnableWindow(Item(IDC_PAGE_REMOVE), selected);
    EnableWindow(Item(IDC_PAGE_PROPERTIES), selected);
}

bool ClTarnwickApplicationOptionsDlg::OnCommand(WORD id, WORD code, HWND)
{
    switch (id) {
    case IDC_PAGE_ADD: OnAdd(); return true;
    case IDC_PAGE_REMOVE: OnRemove(); return true;
    case IDC_PAGE_PROPERTIES: OnProperties(); return true;
    case IDC_APPS_LIST:
        if (code == LBN_SELCHANGE) EnableButtons();
        else if (code == LBN_DBLCLK) OnProperties();
        return true;
    default: return false;
    }
}

bool ClTarnwickApplicationOptionsDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result)
{
    if (message == WM_DRAWITEM) {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlID != IDC_APPS_LIST) return false;
        OnDrawEntry(draw);
        result = TRUE;
        return true;
    }
    if (message == DragList::Message()) {
        LRESULT answer = 0;
        int from = -1, to = -1;
        if (list.OnMessage(hWnd, *reinterpret_cast<const DRAGLISTINFO*>(lParam), answer, from, to)
            && LauncherLists::Move(applications, static_cast<size_t>(from), static_cast<size_t>(to))) {
            MarkChanged();
            Fill(to);
        }
        SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, answer);
        result = TRUE;
        return true;
    }
    return false;
}

void ClTarnwickApplicationOptionsDlg::OnDrawEntry(const DRAWITEMSTRUCT& draw)
{
    HDC dc = draw.hDC;
    RECT box = draw.rcItem;
    const ListRowLook look(bThemed);
    const COLORREF textColour = look.Background(draw);
    if (draw.itemID < applications.size()) {
        const UserApplication& entry = applications[draw.itemID];
        const int middle = (box.top + box.bottom) / 2;
        if (entry.hIcon)
            DrawIconEx(dc, box.left + kGap, middle - kIconSide / 2, entry.hIcon, kIconSide, kIconSide, 0, nullptr,
                       DI_NORMAL);
        RECT text = box;
        text.left += kGap + kIconSide + 2 * kGap;
        const int mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF colour = SetTextColor(dc, textColour);
        DrawTextA(dc, entry.szDescription, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetTextColor(dc, colour);
        SetBkMode(dc, mode);
    }
    look.Focus(draw);
}

void ClTarnwickApplicationOptionsDlg::OnAdd()
{
    std::string path;
    if (!ClTarnwickApplicationPropertiesDlg::BrowseForProgram(Owner(), std::string(), path)) return;
    UserApplication entry;
    UserApplication::MakeNewEntry(path, hProgram, entry);
    ClTarnwickApplicationPropertiesDlg properties;
    if (properties.Show(Owner(), entry, TooltipsOn()) != 1) return;
    applications.push_back(entry);
    MarkChanged();
    Fill(static_cast<int>(applications.size()) - 1);
}

void ClTarnwickApplicationOptionsDlg::OnRemove()
{
    const int selected = Selected();
    if (selected < 0) return;
    const std::string text = StringTable::Format(54, {applications[static_cast<size_t>(selected)].szDescription});
    if (MessageBoxA(Owner(), text.c_str(), StringTable::Load(1).c_str(), MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION)
        != IDYES)
        return;
    if (!LauncherLists::Remove(applications, static_cast<size_t>(selected))) return;
    MarkChanged();
    Fill(selected < static_cast<int>(applications.size()) ? selected : selected - 1);
}

void ClTarnwickApplicationOptionsDlg::OnProperties()
{
    const int selected = Selected();
    if (selected < 0) return;
    ClTarnwickApplicationPropertiesDlg properties;
    if (properties.Show(Owner(), applications[static_cast<size_t>(selected)], TooltipsOn()) != 1) return;
    if (properties.Modified()) MarkChanged();
    Fill(selected);
}
