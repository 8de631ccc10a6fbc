#include "launchers/ClTarnwickInternetSearchOptionsDlg.h"

#include "controls/ListRowLook.h"

#include "launchers/IconFromImage.h"
#include "launchers/LauncherLists.h"
#include "launchers/MozillaSearchPluginImpDlg.h"

#include "app/menus/StringTable.h"
#include "app/res/resource.h"
#include "controls/ButtonEx.h"

#include <set>

const char ClTarnwickInternetSearchOptionsDlg::kTemplateName[] = "CLTARNWICKINTERNETSEARCHOPTIONSDLG";

namespace {
const int kButtons[2] = {IDC_PAGE_ADD, IDC_PAGE_REMOVE};
const UINT kButtonIcons[2] = {IDI_ADD, IDI_REMOVE};
const int kIconSide = 16;
const int kGap = 4;
} // namespace

ClTarnwickInternetSearchOptionsDlg::ClTarnwickInternetSearchOptionsDlg(std::vector<SearchEngine>& engines,
                                                                       const std::string& pluginFolder,
                                                                       HINSTANCE program)
    : engines(engines), strFolder(pluginFolder), hProgram(program), ahButtonIcons{}, hBoldFont(nullptr)
{
}

ClTarnwickInternetSearchOptionsDlg::~ClTarnwickInternetSearchOptionsDlg()
{
    Destroy();
    FreeIcons();
    for (HICON& icon : ahButtonIcons)
        if (icon) DestroyIcon(icon);
    if (hBoldFont) DeleteObject(hBoldFont);
}

void ClTarnwickInternetSearchOptionsDlg::OnInitPage()
{
    bThemed = ListRowLook::ThemedNow();
    list.Attach(Item(IDC_ENGINES_LIST));
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list.GetHwnd(), WM_GETFONT, 0, 0));
    LOGFONTA bold = {};
    GetObjectA(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof(bold), &bold);
    bold.lfWeight = FW_BOLD;
    if (!hBoldFont) hBoldFont = CreateFontIndirectA(&bold);
    HDC dc = GetDC(list.GetHwnd());
    HGDIOBJ old = SelectObject(dc, hBoldFont);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list.GetHwnd(), dc);
    // Two lines: the name, and the description below it.
    SendMessageA(list.GetHwnd(), LB_SETITEMHEIGHT, 0, 2 * metrics.tmHeight + 6);

    for (int i = 0; i < 2; ++i) {
        if (!ahButtonIcons[i])
            ahButtonIcons[i] = static_cast<HICON>(
                LoadImageA(hProgram, MAKEINTRESOURCEA(kButtonIcons[i]), IMAGE_ICON, kIconSide, kIconSide, 0));
        if (ButtonEx* button = ButtonEx::FromWindow(Item(kButtons[i]))) button->SetIcon(ahButtonIcons[i]);
    }
    Fill(engines.empty() ? -1 : 0);
    AddTip(IDC_ENGINES_LIST, 156);
    AddTip(IDC_PAGE_ADD, 154);
    AddTip(IDC_PAGE_REMOVE, 155);
}

void ClTarnwickInternetSearchOptionsDlg::OnDestroyPage()
{
    for (int id : kButtons)
        if (ButtonEx* button = ButtonEx::FromWindow(Item(id))) button->SetIcon(nullptr);
}

void ClTarnwickInternetSearchOptionsDlg::FreeIcons()
{
    for (HICON icon : icons)
        if (icon) DestroyIcon(icon);
    icons.clear();
}

void ClTarnwickInternetSearchOptionsDlg::MakeIcons()
{
    FreeIcons();
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    for (const SearchEngine& engine : engines) icons.push_back(IconFromImage::Create(engine.image, background));
}

void ClTarnwickInternetSearchOptionsDlg::Fill(int select)
{
    MakeIcons();
    HWND window = list.GetHwnd();
    SendMessageA(window, LB_RESETCONTENT, 0, 0);
    for (const SearchEngine& engine : engines)
        SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(engine.strName.c_str()));
    if (select >= 0 && static_cast<size_t>(select) < engines.size()) SendMessageA(window, LB_SETCURSEL, select, 0);
    EnableWindow(Item(IDC_PAGE_REMOVE), Selected() >= 0);
}

int ClTarnwickInternetSearchOptionsDlg::Selected() const
{
    const LRESULT selected = SendMessageA(list.GetHwnd(), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR || static_cast<size_t>(selected) >= engines.size() ? -1 : static_cast<int>(selected);
}

bool ClTarnwickInternetSearchOptionsDlg::OnCommand(WORD id, WORD code, HWND)
{
    switch (id) {
    case IDC_PAGE_ADD: OnAdd(); return true;
    case IDC_PAGE_REMOVE: OnRemove(); return true;
    case IDC_ENGINES_LIST:
        if (code == LBN_SELCHANGE) EnableWindow(Item(IDC_PAGE_REMOVE), Selected() >= 0);
        return true;
    default: return false;
    }
}

bool ClTarnwickInternetSearchOptionsDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result)
{
    if (message == WM_DRAWITEM) {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlID != IDC_ENGINES_LIST) return false;
        OnDrawEntry(draw);
        result = TRUE;
        return true;
    }
    if (message == DragList::Message()) {
        LRESULT answer = 0;
        int from = -1, to = -1;
        if (list.OnMessage(hWnd, *reinterpret_cast<const DRAGLISTINFO*>(lParam), answer, from, to)
            && LauncherLists::Move(engines, static_cast<size_t>(from), static_cast<size_t>(to))) {
            MarkChanged();
            Fill(to);
        }
        SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, answer);
        result = TRUE;
        return true;
    }
    return false;
}

void ClTarnwickInternetSearchOptionsDlg::OnDrawEntry(const DRAWITEMSTRUCT& draw)
{
    HDC dc = draw.hDC;
    RECT box = draw.rcItem;
    const ListRowLook look(bThemed);
    const COLORREF textColour = look.Background(draw);
    if (draw.itemID < engines.size()) {
        const SearchEngine& engine = engines[draw.itemID];
        const int middle = (box.top + box.bottom) / 2;
        if (draw.itemID < icons.size() && icons[draw.itemID])
            DrawIconEx(dc, box.left + kGap, middle - kIconSide / 2, icons[draw.itemID], kIconSide, kIconSide, 0,
                       nullptr, DI_NORMAL);
        RECT text = box;
        text.left += kGap + kIconSide + 2 * kGap;
        text.right -= kGap;
        RECT upper = text, lower = text;
        upper.bottom = middle;
        lower.top = middle;
        const int mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF colour = SetTextColor(dc, textColour);
        HGDIOBJ old = SelectObject(dc, hBoldFont);
        DrawTextA(dc, engine.strName.c_str(), -1, &upper, DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list.GetHwnd(), WM_GETFONT, 0, 0)));
        DrawTextA(dc, engine.strDescription.c_str(), -1, &lower,
                  DT_SINGLELINE | DT_TOP | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        SetTextColor(dc, colour);
        SetBkMode(dc, mode);
    }
    look.Focus(draw);
}

void ClTarnwickInternetSearchOptionsDlg::OnAdd()
{
    std::set<std::string> active;
    for (const SearchEngine& engine : engines)
        active.insert(MozillaSearchPluginImpDlg::LowerCase(engine.strSourceFile));
    MozillaSearchPluginImpDlg import;
    if (import.Show(Owner(), MozillaSearchPluginImpDlg::LowerCase(strFolder), active) != 1) return;
    if (import.Chosen().empty()) return;
    for (const SearchEngine& engine : import.Chosen()) engines.push_back(engine);
    MarkChanged();
    Fill(static_cast<int>(engines.size()) - 1);
}

void ClTarnwickInternetSearchOptionsDlg::OnRemove()
{
    const int selected = Selected();
    if (selected < 0) return;
    const std::string text = StringTable::Format(54, {engines[static_cast<size_t>(selected)].strName});
    if (MessageBoxA(Owner(), text.c_str(), StringTable::Load(1).c_str(), MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION)
        != IDYES)
        return;
    if (!LauncherLists::Remove(engines, static_cast<size_t>(selected))) return;
    MarkChanged();
    Fill(selected < static_cast<int>(engines.size()) ? selected : selected - 1);
}
