#include "tests/e2e/RemoteStatusBar.h"

#include "tests/e2e/RemoteBuffer.h"

#include <commctrl.h>

namespace {
const size_t kTextSize = 1024;
}

int RemoteStatusBar::Parts() const
{
    return static_cast<int>(wBar.Send(SB_GETPARTS, 0, 0));
}

std::vector<int> RemoteStatusBar::PartEdges() const
{
    std::vector<int> edges;
    const int parts = Parts();
    if (parts <= 0) return edges;
    RemoteBuffer buffer(wBar.Pid(), sizeof(int) * parts);
    edges.resize(parts);
    if (!buffer || !wBar.Send(SB_GETPARTS, static_cast<WPARAM>(parts), buffer.At())
        || !buffer.Read(0, edges.data(), sizeof(int) * parts))
        edges.clear();
    return edges;
}

std::string RemoteStatusBar::Text(int part) const
{
    const LRESULT length = wBar.Send(SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
    RemoteBuffer buffer(wBar.Pid(), LOWORD(length) + kTextSize);
    if (!buffer) return std::string();
    buffer.Clear();
    wBar.Send(SB_GETTEXTA, static_cast<WPARAM>(part), buffer.At());
    return buffer.String(0);
}

std::vector<std::string> RemoteStatusBar::Texts() const
{
    std::vector<std::string> texts;
    const int parts = Parts();
    for (int part = 0; part < parts; ++part) texts.push_back(Text(part));
    return texts;
}

int RemoteStatusBar::TextType(int part) const
{
    return HIWORD(wBar.Send(SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
}

std::string RemoteStatusBar::Tip(int part) const
{
    RemoteBuffer buffer(wBar.Pid(), kTextSize);
    if (!buffer) return std::string();
    buffer.Clear();
    wBar.Send(SB_GETTIPTEXTA, MAKEWPARAM(part, kTextSize - 1), buffer.At());
    return buffer.String(0);
}

bool RemoteStatusBar::IsSimple() const
{
    return wBar.Send(SB_ISSIMPLE) != 0;
}

bool RemoteStatusBar::PartRect(int part, RECT& rect) const
{
    RemoteBuffer buffer(wBar.Pid(), sizeof(RECT));
    if (!buffer || !wBar.Send(SB_GETRECT, static_cast<WPARAM>(part), buffer.At())) return false;
    return buffer.Get(0, rect);
}
