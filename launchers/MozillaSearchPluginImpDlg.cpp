#include "launchers/MozillaSearchPluginImpDlg.h"

#include "controls/ListRowLook.h"

#include "launchers/IconFromImage.h"
#include "launchers/SearchPlugins.h"

#include "app/language/ResourceModule.h"
#include "app/menus/StringTable.h"
#include "app/res/resource.h"

namespace {

const char kTemplate[] = "MOZILLASEARCHPLUGINIMPDLG";
const char kObjectProperty[] = "MozillaSearchPluginImpDlg";
const int kCheckBox = 13;
const int kIconSide = 16;
const int kGap = 4;

} // namespace

MozillaSearchPluginImpDlg::MozillaSearchPluginImpDlg()
    : hWnd(nullptr), hList(nullptr), pListProc(nullptr), hBoldFont(nullptr)
{
}

MozillaSearchPluginImpDlg::~MozillaSearchPluginImpDlg()
{
    for (HICON icon : icons)
        if (icon) DestroyIcon(icon);
    if (hBoldFont) DeleteObject(hBoldFont);
}

std::string MozillaSearchPluginImpDlg::LowerCase(const std::string& text)
{
    std::string lower = text;
    if (!lower.empty()) CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

INT_PTR MozillaSearchPluginImpDlg::Show(HWND owner, const std::string& folder, const std::set<std::string>& active)
{
    strFolder = folder;
    if (strFolder.empty() || strFolder.back() != '\\') strFolder += '\\';
    activePaths = active;
    chosen.clear();
    const INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner,
                                           DialogProcedure<MozillaSearchPluginImpDlg>, reinterpret_cast<LPARAM>(this));
    return result < 0 ? 0 : result;
}

INT_PTR MozillaSearchPluginImpDlg::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    default: return FALSE;
    }
}

void MozillaSearchPluginImpDlg::OnInitDialog()
{
    bThemed = ListRowLook::ThemedNow();
    hList = GetDlgItem(hWnd, IDC_IMPORT_LIST);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hList, WM_GETFONT, 0, 0));
    LOGFONTA bold = {};
    GetObjectA(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof(bold), &bold);
    bold.lfWeight = FW_BOLD;
    hBoldFont = CreateFontIndirectA(&bold);

    HDC dc = GetDC(hList);
    HGDIOBJ old = SelectObject(dc, hBoldFont);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hList, dc);
    SendMessageA(hList, LB_SETITEMHEIGHT, 0, 2 * metrics.tmHeight + 6);

    engines = SearchPlugins::LoadSearchPluginFolder(strFolder);
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    for (const SearchEngine& engine : engines) {
        const bool checked = activePaths.count(LowerCase(engine.strSourceFile)) != 0;
        initiallyChecked.push_back(checked);
        icons.push_back(IconFromImage::Create(engine.image, background));
        const LRESULT index = SendMessageA(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(engine.strName.c_str()));
        SendMessageA(hList, LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    }
    if (!engines.empty()) SendMessageA(hList, LB_SETCURSEL, 0, 0);

    SetPropA(hList, kObjectProperty, this);
    pListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
}

LRESULT CALLBACK MozillaSearchPluginImpDlg::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MozillaSearchPluginImpDlg* self = static_cast<MozillaSearchPluginImpDlg*>(GetPropA(window, kObjectProperty));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC base = self->pListProc;
    switch (message) {
    case WM_LBUTTONDOWN: {
        const LRESULT result = CallWindowProcA(base, window, message, wParam, lParam);
        const LRESULT hit = SendMessageA(window, LB_ITEMFROMPOINT, 0, lParam);
        if (!HIWORD(hit) && static_cast<short>(LOWORD(lParam)) < kGap + kCheckBox + kGap) self->Toggle(LOWORD(hit));
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            const LRESULT current = SendMessageA(window, LB_GETCURSEL, 0, 0);
            if (current != LB_ERR) self->Toggle(static_cast<int>(current));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        RemovePropA(window, kObjectProperty);
        break;
    default: break;
    }
    return CallWindowProcA(base, window, message, wParam, lParam);
}

bool MozillaSearchPluginImpDlg::IsChecked(int index) const
{
    return SendMessageA(hList, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == 1;
}

void MozillaSearchPluginImpDlg::Toggle(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= engines.size()) return;
    SendMessageA(hList, LB_SETITEMDATA, static_cast<WPARAM>(index), IsChecked(index) ? 0 : 1);
    RECT item;
    if (SendMessageA(hList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
        InvalidateRect(hList, &item, TRUE);
}

void MozillaSearchPluginImpDlg::SetAll(bool checked)
{
    for (size_t i = 0; i < engines.size(); ++i) SendMessageA(hList, LB_SETITEMDATA, i, checked ? 1 : 0);
    InvalidateRect(hList, nullptr, TRUE);
}

void MozillaSearchPluginImpDlg::OnCommand(WORD id, WORD code)
{
    switch (id) {
    case IDOK: OnOk(); break;
    case IDCANCEL: EndDialog(hWnd, 0); break;
    case IDC_IMPORT_SELECTALL: SetAll(true); break;
    case IDC_IMPORT_CLEARALL: SetAll(false); break;
    case IDC_IMPORT_LIST:
        if (code == LBN_DBLCLK) {
            const LRESULT current = SendMessageA(hList, LB_GETCURSEL, 0, 0);
            if (current != LB_ERR) Toggle(static_cast<int>(current));
        }
        break;
    default: break;
    }
}

void MozillaSearchPluginImpDlg::OnOk()
{
    chosen.clear();
    for (size_t i = 0; i < engines.size(); ++i)
        if (IsChecked(static_cast<int>(i)) && !initiallyChecked[i]) chosen.push_back(engines[i]);
    EndDialog(hWnd, 1);
}

void MozillaSearchPluginImpDlg::OnDrawItem(const DRAWITEMSTRUCT& draw)
{
    if (draw.CtlID != IDC_IMPORT_LIST) return;
    HDC dc = draw.hDC;
    RECT box = draw.rcItem;
    const ListRowLook look(bThemed);
    const COLORREF textColour = look.Background(draw);
    if (draw.itemID == static_cast<UINT>(-1) || draw.itemID >= engines.size()) {
        look.Focus(draw);
        return;
    }
    const SearchEngine& engine = engines[draw.itemID];
    const int middle = (box.top + box.bottom) / 2;

    RECT check = {box.left + kGap, middle - kCheckBox / 2, box.left + kGap + kCheckBox, middle - kCheckBox / 2 + kCheckBox};
    DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | (draw.itemData == 1 ? DFCS_CHECKED : 0));
    const int iconLeft = check.right + kGap;
    if (icons[draw.itemID])
        DrawIconEx(dc, iconLeft, middle - kIconSide / 2, icons[draw.itemID], kIconSide, kIconSide, 0, nullptr, DI_NORMAL);

    RECT text = box;
    text.left = iconLeft + kIconSide + 2 * kGap;
    text.right -= kGap;
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = SetTextColor(dc, textColour);
    RECT upper = text, lower = text;
    upper.bottom = middle;
    lower.top = middle;
    HGDIOBJ old = SelectObject(dc, hBoldFont);
    DrawTextA(dc, engine.strName.c_str(), -1, &upper, DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hList, WM_GETFONT, 0, 0)));
    DrawTextA(dc, engine.strDescription.c_str(), -1, &lower, DT_SINGLELINE | DT_TOP | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    SetTextColor(dc, colour);
    SetBkMode(dc, mode);
    look.Focus(draw);
}
