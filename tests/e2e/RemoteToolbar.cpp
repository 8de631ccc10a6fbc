#include "tests/e2e/RemoteToolbar.h"

#include "tests/e2e/Input.h"
#include "tests/e2e/RemoteBuffer.h"

#include <commctrl.h>

namespace {
const size_t kTextOffset = 64;
const size_t kTextSize = 512;
} // namespace

int RemoteToolbar::Count() const
{
    return static_cast<int>(wToolbar.Send(TB_BUTTONCOUNT));
}

ToolbarButton RemoteToolbar::Button(int index) const
{
    ToolbarButton button;
    button.index = index;
    RemoteBuffer buffer(wToolbar.Pid(), kTextOffset + kTextSize);
    if (!buffer) return button;
    buffer.Clear();
    if (!wToolbar.Send(TB_GETBUTTON, static_cast<WPARAM>(index), buffer.At())) return button;
    TBBUTTON answer = {};
    buffer.Get(0, answer);
    button.id = answer.idCommand;
    button.image = answer.iBitmap;
    button.state = answer.fsState;
    button.style = answer.fsStyle;
    if (!button.IsSeparator()) {
        buffer.Put(kTextOffset, '\0');
        const LRESULT length = wToolbar.Send(TB_GETBUTTONTEXTA, static_cast<WPARAM>(button.id), buffer.At(kTextOffset));
        if (length > 0 && length < static_cast<LRESULT>(kTextSize)) button.text = buffer.String(kTextOffset);
    }
    return button;
}

std::vector<ToolbarButton> RemoteToolbar::Buttons() const
{
    std::vector<ToolbarButton> buttons;
    const int count = Count();
    for (int index = 0; index < count; ++index) buttons.push_back(Button(index));
    return buttons;
}

std::vector<int> RemoteToolbar::Ids() const
{
    std::vector<int> ids;
    for (const ToolbarButton& button : Buttons()) ids.push_back(button.IsSeparator() ? 0 : button.id);
    return ids;
}

int RemoteToolbar::IndexOf(int id) const
{
    return static_cast<int>(wToolbar.Send(TB_COMMANDTOINDEX, static_cast<WPARAM>(id)));
}

bool RemoteToolbar::IsEnabled(int id) const
{
    return IndexOf(id) >= 0 && wToolbar.Send(TB_ISBUTTONENABLED, static_cast<WPARAM>(id)) != 0;
}

bool RemoteToolbar::IsChecked(int id) const
{
    return IndexOf(id) >= 0 && wToolbar.Send(TB_ISBUTTONCHECKED, static_cast<WPARAM>(id)) != 0;
}

bool RemoteToolbar::ButtonRect(int index, RECT& rect) const
{
    RemoteBuffer buffer(wToolbar.Pid(), sizeof(RECT));
    if (!buffer || !wToolbar.Send(TB_GETITEMRECT, static_cast<WPARAM>(index), buffer.At())) return false;
    return buffer.Get(0, rect);
}

bool RemoteToolbar::ClickButton(int id, bool arrow) const
{
    RECT rect;
    const int index = IndexOf(id);
    if (index < 0 || !ButtonRect(index, rect)) return false;
    // Left third: clear of a drop-down arrow on the right.
    const POINT point = {arrow ? rect.right - 5 : rect.left + (rect.right - rect.left) / 3,
                         (rect.top + rect.bottom) / 2};
    return Input::Click(wToolbar, point, Input::Left, false);
}
