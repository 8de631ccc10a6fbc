#include "app/language/ClTarnwickChooseLangDlg.h"

#include "app/language/LanguageChoiceList.h"
#include "app/language/ResourceModule.h"
#include "app/res/resource.h"

ClTarnwickChooseLangDlg::ClTarnwickChooseLangDlg(HINSTANCE instance, HMODULE current,
                                                 const std::string& programFolder)
    : hInstance(instance), hCurrent(current), list(programFolder)
{
}

ClTarnwickChooseLangDlg::~ClTarnwickChooseLangDlg()
{
    if (hImageList) ImageList_Destroy(hImageList);
}

INT_PTR ClTarnwickChooseLangDlg::DoModal(HWND owner)
{
    szChosenModulePath[0] = '\0';
    const INT_PTR result = DialogBoxParamA(ResourceModule::ForDialog(kTemplate), kTemplate, owner, &DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    return result == 1 ? 1 : 0;
}

INT_PTR CALLBACK ClTarnwickChooseLangDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        ClTarnwickChooseLangDlg* dialog = reinterpret_cast<ClTarnwickChooseLangDlg*>(lParam);
        dialog->hwnd = window;
        return dialog->OnInitDialog();
    }
    ClTarnwickChooseLangDlg* dialog =
        reinterpret_cast<ClTarnwickChooseLangDlg*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog) return FALSE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: dialog->OnOK(); return TRUE;
        case IDCANCEL: dialog->OnCancel(); return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL ClTarnwickChooseLangDlg::OnInitDialog()
{
    list.Enumerate();
    FillImages();
    FillItems();
    return TRUE;
}

void ClTarnwickChooseLangDlg::AddIcon(HICON icon)
{
    if (!icon) icon = static_cast<HICON>(LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_LANGUAGE_PLACEHOLDER),
                                                    IMAGE_ICON, 16, 16, 0));
    // Even without a picture the slot is taken, so that later flags keep their places.
    if (!icon || ImageList_AddIcon(hImageList, icon) < 0) {
        HICON blank = CreateIcon(hInstance, 16, 16, 1, 1, nullptr, nullptr);
        ImageList_AddIcon(hImageList, blank);
        if (blank) DestroyIcon(blank);
    }
    if (icon) DestroyIcon(icon);
}

void ClTarnwickChooseLangDlg::FillImages()
{
    hImageList = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, static_cast<int>(list.Modules().size()) + 1, 0);
    if (!hImageList) return;
    AddIcon(static_cast<HICON>(LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_LANGUAGE_PROGRAM), IMAGE_ICON, 16, 16, 0)));
    for (auto& module : list.Modules()) {
        LangModuleInfo info = {};
        info.cbSize = sizeof(info);
        info.fMask = LMI_ICON;
        HICON icon = module->GetLangModuleInfo(&info) ? info.hIcon : nullptr;
        // The icon is ours now: copied to 16 x 16, then destroyed.
        HICON small = icon ? static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 16, 16, 0)) : nullptr;
        if (icon) DestroyIcon(icon);
        AddIcon(small);
    }
    SendDlgItemMessageA(hwnd, IDC_LANGUAGE_LIST, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hImageList));
}

void ClTarnwickChooseLangDlg::FillItems()
{
    std::vector<LanguageChoiceList::Module> modules;
    for (auto& module : list.Modules()) {
        LangModuleInfo info = {};
        info.cbSize = sizeof(info);
        info.fMask = LMI_LANGID | LMI_MODULE;
        LanguageChoiceList::Module entry;
        entry.bInfoOk = module->GetLangModuleInfo(&info) != 0;
        entry.wLanguageId = info.wLanguageId;
        entry.bInstalled = entry.bInfoOk && LanguageModuleList::IsInstalled(info.wLanguageId);
        entry.hModule = reinterpret_cast<uintptr_t>(info.hModule);
        modules.push_back(entry);
    }
    int selected = 0;
    const std::vector<LanguageChoiceList::Item> items = LanguageChoiceList::Build(
        modules, reinterpret_cast<uintptr_t>(hInstance), reinterpret_cast<uintptr_t>(hCurrent), &selected);
    HWND combo = GetDlgItem(hwnd, IDC_LANGUAGE_LIST);
    for (size_t i = 0; i < items.size(); ++i) {
        std::string text = LanguageModuleList::NativeName(items[i].wLanguageId);
        if (text.empty()) text = items[i].nModule < 0 ? "English" : "?";
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
        item.iItem = static_cast<INT_PTR>(i);
        item.pszText = const_cast<char*>(text.c_str());
        item.iImage = items[i].nImage;
        item.iSelectedImage = items[i].nImage;
        item.lParam = static_cast<LPARAM>(items[i].data);
        SendMessageA(combo, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void ClTarnwickChooseLangDlg::OnOK()
{
    HWND combo = GetDlgItem(hwnd, IDC_LANGUAGE_LIST);
    const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    if (index < 0 || !SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        EndDialog(hwnd, 0);
        return;
    }
    HMODULE module = reinterpret_cast<HMODULE>(item.lParam);
    szChosenModulePath[0] = '\0';
    if (module == hInstance) {
        EndDialog(hwnd, 1);
        return;
    }
    const DWORD length = GetModuleFileNameA(module, szChosenModulePath, sizeof(szChosenModulePath));
    // A name cut at the buffer's end is no name.
    if (length == 0 || length >= sizeof(szChosenModulePath) - 1) {
        szChosenModulePath[0] = '\0';
        EndDialog(hwnd, 0);
        return;
    }
    szChosenModulePath[length] = '\0';
    EndDialog(hwnd, 1);
}

void ClTarnwickChooseLangDlg::OnCancel()
{
    EndDialog(hwnd, 0);
}
