#include "tests/e2e/RemoteListBox.h"

#include "tests/e2e/RemoteBuffer.h"

#include <cstring>
#include <vector>

RemoteListBox::RemoteListBox(const Window& box) : wBox(box), bCombo(false)
{
    const std::string cls = box.ClassName();
    bCombo = lstrcmpiA(cls.c_str(), "ComboBox") == 0 || lstrcmpiA(cls.c_str(), "ComboBoxEx32") == 0;
}

int RemoteListBox::Count() const
{
    return static_cast<int>(wBox.Send(bCombo ? CB_GETCOUNT : LB_GETCOUNT));
}

std::string RemoteListBox::Text(int index) const
{
    // Asked as Unicode: Wine marshals the ANSI answer of another process
    // wrongly (only the first character arrives).
    const HWND box = wBox.Handle();
    const UINT lengthMessage = bCombo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(box, lengthMessage, static_cast<WPARAM>(index), 0, SMTO_NORMAL, Window::kSendTimeout,
                             &length)
        || static_cast<LRESULT>(length) < 0)
        return std::string();
    std::vector<wchar_t> wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(box, bCombo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(wide.data()), SMTO_NORMAL, Window::kSendTimeout, &copied))
        return std::string();
    wide.back() = L'\0';
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return std::string();
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, &text[0], bytes, nullptr, nullptr);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::vector<std::string> RemoteListBox::Texts() const
{
    std::vector<std::string> texts;
    const int count = Count();
    for (int index = 0; index < count; ++index) texts.push_back(Text(index));
    return texts;
}

int RemoteListBox::Selection() const
{
    return static_cast<int>(wBox.Send(bCombo ? CB_GETCURSEL : LB_GETCURSEL));
}

std::vector<int> RemoteListBox::SelectedItems() const
{
    std::vector<int> items;
    if (bCombo) {
        const int selection = Selection();
        if (selection >= 0) items.push_back(selection);
        return items;
    }
    const DWORD style = wBox.Style();
    if (!(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))) {
        const int selection = Selection();
        if (selection >= 0) items.push_back(selection);
        return items;
    }
    const int count = static_cast<int>(wBox.Send(LB_GETSELCOUNT));
    if (count <= 0) return items;
    RemoteBuffer buffer(wBox.Pid(), sizeof(int) * count);
    items.resize(count);
    const int got = static_cast<int>(wBox.Send(LB_GETSELITEMS, static_cast<WPARAM>(count), buffer.At()));
    if (got <= 0 || !buffer.Read(0, items.data(), sizeof(int) * got)) items.clear();
    else items.resize(got);
    return items;
}

int RemoteListBox::Find(const std::string& text) const
{
    const std::vector<std::string> texts = Texts();
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return static_cast<int>(i);
    return -1;
}

bool RemoteListBox::Select(int index) const
{
    const Window owner = wBox.Parent();
    if (bCombo) {
        if (wBox.Send(CB_SETCURSEL, static_cast<WPARAM>(index)) == CB_ERR && index >= 0) return false;
        owner.Send(WM_COMMAND, MAKEWPARAM(wBox.Id(), CBN_SELCHANGE), reinterpret_cast<LPARAM>(wBox.Handle()));
        return true;
    }
    if (wBox.Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        wBox.Send(LB_SETSEL, FALSE, -1);
        if (wBox.Send(LB_SETSEL, TRUE, index) == LB_ERR) return false;
    } else if (wBox.Send(LB_SETCURSEL, static_cast<WPARAM>(index)) == LB_ERR && index >= 0) {
        return false;
    }
    owner.Send(WM_COMMAND, MAKEWPARAM(wBox.Id(), LBN_SELCHANGE), reinterpret_cast<LPARAM>(wBox.Handle()));
    return true;
}
