#include "cli/SettingsListing.h"

#include "cli/TabText.h"
#include "views/ColorsAndFormats.h"

#include <cstdio>

namespace {

class Lines {
public:
    void Add(const std::string& name, const std::string& value) { text += TabText::Row({name, value}); }
    void Add(const std::string& name, const std::string& first, const std::string& second)
    {
        text += TabText::Row({name, first, second});
    }
    static std::string Unsigned(uint32_t value) { return Format("%u", value); }
    static std::string Signed(int32_t value) { return Format("%d", value); }
    static std::string Color(uint32_t value) { return Format("0x%08X", value); }

    std::string text;

private:
    template <typename T>
    static std::string Format(const char* format, T value)
    {
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), format, value);
        return buffer;
    }
};

std::string Indexed(const char* name, int index)
{
    return std::string(name) + "[" + std::to_string(index) + "]";
}

} // namespace

std::string SettingsListing::Text(const UserSettings& s)
{
    Lines out;
    out.Add("dwSize", Lines::Unsigned(s.dwSize));
    out.Add("dwVersion", Lines::Unsigned(s.dwVersion));
    out.Add("dwRevision", Lines::Unsigned(s.dwRevision));
    const WINDOWPLACEMENT placement = s.wpMainWindow;
    out.Add("wpMainWindow.length", Lines::Unsigned(placement.length));
    out.Add("wpMainWindow.flags", Lines::Unsigned(placement.flags));
    out.Add("wpMainWindow.showCmd", Lines::Unsigned(placement.showCmd));
    out.Add("wpMainWindow.ptMinPosition", Lines::Signed(placement.ptMinPosition.x),
            Lines::Signed(placement.ptMinPosition.y));
    out.Add("wpMainWindow.ptMaxPosition", Lines::Signed(placement.ptMaxPosition.x),
            Lines::Signed(placement.ptMaxPosition.y));
    const RECT& normal = placement.rcNormalPosition;
    out.text += TabText::Row({"wpMainWindow.rcNormalPosition", Lines::Signed(normal.left), Lines::Signed(normal.top),
                              Lines::Signed(normal.right), Lines::Signed(normal.bottom)});
    out.Add("nLeftPaneWidth", Lines::Unsigned(s.nLeftPaneWidth));
    out.Add("bShowToolbar", Lines::Unsigned(s.bShowToolbar));
    out.Add("bShowInfobar", Lines::Unsigned(s.bShowInfobar));
    out.Add("bShowStatusbar", Lines::Unsigned(s.bShowStatusbar));
    out.Add("lfViewFont", TabText::Escape(ColorsAndFormats::FieldText(s.lfViewFont.lfFaceName)),
            Lines::Signed(s.lfViewFont.lfHeight));
    out.Add("bResolveProcessDependencies", Lines::Unsigned(s.bResolveProcessDependencies));
    out.Add("bHighlightServices", Lines::Unsigned(s.bHighlightServices));
    out.Add("bHighlightDynamicLoads", Lines::Unsigned(s.bHighlightDynamicLoads));
    out.Add("crText", Lines::Color(s.crText));
    out.Add("crBackground", Lines::Color(s.crBackground));
    out.Add("crServices", Lines::Color(s.crServices));
    out.Add("crDynamicLoads", Lines::Color(s.crDynamicLoads));
    out.Add("bDateUseDefault", Lines::Unsigned(s.bDateUseDefault));
    out.Add("bDateLong", Lines::Unsigned(s.bDateLong));
    out.Add("szDateFormat", TabText::Escape(ColorsAndFormats::FieldText(s.szDateFormat)));
    out.Add("bTimeUseDefault", Lines::Unsigned(s.bTimeUseDefault));
    out.Add("szTimeFormat", TabText::Escape(ColorsAndFormats::FieldText(s.szTimeFormat)));
    out.Add("dwCopyProcessColumns", Lines::Color(s.dwCopyProcessColumns));
    out.Add("dwCopyModuleColumns", Lines::Color(s.dwCopyModuleColumns));
    out.Add("nCopySeparator", Lines::Unsigned(s.nCopySeparator));
    out.Add("nCopyDelimiter", Lines::Unsigned(s.nCopyDelimiter));
    for (int i = 0; i < 12; ++i)
        out.Add(Indexed("aProcessColumns", i), Lines::Unsigned(s.aProcessColumns[i].bVisible),
                Lines::Unsigned(s.aProcessColumns[i].nWidth));
    for (int i = 0; i < 12; ++i)
        out.Add(Indexed("aModuleColumns", i), Lines::Unsigned(s.aModuleColumns[i].bVisible),
                Lines::Unsigned(s.aModuleColumns[i].nWidth));
    for (int i = 0; i < 12; ++i) out.Add(Indexed("anProcessColumnOrder", i), Lines::Unsigned(s.anProcessColumnOrder[i]));
    for (int i = 0; i < 12; ++i) out.Add(Indexed("anModuleColumnOrder", i), Lines::Unsigned(s.anModuleColumnOrder[i]));
    out.Add("nProcessColumnCount", Lines::Unsigned(s.nProcessColumnCount));
    out.Add("nModuleColumnCount", Lines::Unsigned(s.nModuleColumnCount));
    out.Add("ssProcessSort.nSortColumn", Lines::Signed(s.ssProcessSort.nSortColumn));
    out.Add("ssProcessSort.bAscending", Lines::Unsigned(s.ssProcessSort.bAscending));
    out.Add("ssModuleSort.nSortColumn", Lines::Signed(s.ssModuleSort.nSortColumn));
    out.Add("ssModuleSort.bAscending", Lines::Unsigned(s.ssModuleSort.bAscending));
    out.Add("ssModuleSort.nSortMode", Lines::Unsigned(s.ssModuleSort.nSortMode));
    out.Add("bFullScreen", Lines::Unsigned(s.bFullScreen));
    out.Add("bEnableTooltips", Lines::Unsigned(s.bEnableTooltips));
    out.Add("nReportFileType", Lines::Unsigned(s.nReportFileType));
    out.Add("bHideWhenMinimized", Lines::Unsigned(s.bHideWhenMinimized));
    out.Add("crCpuText", Lines::Color(s.crCpuText));
    out.Add("crCpuBackground", Lines::Color(s.crCpuBackground));
    out.Add("crCpuGraph", Lines::Color(s.crCpuGraph));
    return out.text;
}

std::string SettingsListing::LiveText(const LiveSettings& live)
{
    Lines out;
    out.Add("live.nUpdateSeconds", Lines::Unsigned(live.nUpdateSeconds));
    out.Add("live.bHighlightChanges", Lines::Unsigned(live.bHighlightChanges));
    out.Add("live.crNewProcesses", Lines::Color(live.crNewProcesses));
    out.Add("live.crEndedProcesses", Lines::Color(live.crEndedProcesses));
    for (uint32_t id = LiveSettings::kFirstColumn; id < LiveSettings::kAllColumns; ++id)
        out.Add(Indexed("live.aColumns", static_cast<int>(id)), Lines::Unsigned(live.Column(id).bVisible),
                Lines::Unsigned(live.Column(id).nWidth));
    std::vector<std::string> order = {"live.anColumnOrder"};
    for (uint32_t i = 0; i < live.nColumnOrderCount && i < LiveSettings::kAllColumns; ++i)
        order.push_back(Lines::Unsigned(live.anColumnOrder[i]));
    out.text += TabText::Row(order);
    out.Add("live.nSortColumn", LiveSettings::IsLiveColumn(live.nSortColumn) ? Lines::Unsigned(live.nSortColumn)
                                                                             : std::string("-1"));
    out.Add("live.bSortAscending", Lines::Unsigned(live.bSortAscending));
    out.Add("live.dwCopyColumns", Lines::Color(live.dwCopyColumns));
    return out.text;
}
