#pragma once

#include "tests/e2e/Window.h"

#include <commctrl.h>
#include <string>
#include <vector>

// One row of a list view, as read from its process.
struct ListRow {
    std::vector<std::string> texts;   // one per column (LPSTR_TEXTCALLBACK answered by the owner)
    int image = -1;
    int indent = 0;
    UINT state = 0;                   // LVIS_* bits
    bool selected = false;
    bool focused = false;
    LPARAM param = 0;
};

// A list view (SysListView32 or a superclass of it) of another process, read
// through memory allocated in that process.
class RemoteListView {
public:
    explicit RemoteListView(const Window& list) : wList(list) {}
    const Window& GetWindow() const { return wList; }

    int Count() const;
    int ColumnCount() const;                       // header items; 1 without a header
    Window Header() const;
    std::string Text(int item, int column = 0) const;
    ListRow Row(int item) const;
    std::vector<ListRow> Rows() const;
    // Texts of one column for all rows, in row order.
    std::vector<std::string> Column(int column) const;
    // First row whose text in the column equals text, -1 when none.
    int FindRow(const std::string& text, int column = 0) const;
    std::vector<int> Selected() const;
    int SelectedCount() const;                     // LVM_GETSELECTEDCOUNT
    int Focused() const;

    // Selection as a program would set it (the owner gets LVN_ITEMCHANGED).
    bool Select(int item, bool only = true) const;   // also focuses and shows it
    bool SelectAll() const;
    bool ClearSelection() const;
    bool EnsureVisible(int item) const;
    // Check boxes (LVS_EX_CHECKBOXES): the state image of a row, set as a
    // program would (the owner gets LVN_ITEMCHANGING and LVN_ITEMCHANGED).
    bool IsChecked(int item) const;
    bool SetChecked(int item, bool checked) const;
    // The rows whose box is checked.
    std::vector<int> Checked() const;
    // Rectangle in the list's client coordinates (code: LVIR_BOUNDS, LVIR_LABEL, LVIR_ICON).
    bool ItemRect(int item, RECT& rect, int code = LVIR_LABEL) const;
    bool SubItemRect(int item, int column, RECT& rect) const;
    // Clicks a row's label with the mouse.
    bool ClickItem(int item, bool right = false, bool twice = false) const;

private:
    Window wList;
};
