#include "report/XmlReportWriter.h"

#include "report/ReportText.h"

#include "TarnwickVersion.h"

#include <windows.h>
#include <vector>

std::string XmlReportWriter::Value(const std::string& ansi)
{
    return Utf8(ReportText::XmlEscape(ansi));
}

std::string XmlReportWriter::Utf8(const std::string& escaped)
{
    if (escaped.empty()) return escaped;
    int units = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, escaped.data(), static_cast<int>(escaped.size()), nullptr, 0);
    if (units <= 0) return escaped;
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, escaped.data(), static_cast<int>(escaped.size()), wide.data(), units);
    std::u16string utf16(wide.begin(), wide.end());
    return ReportText::Utf8FromUnits(utf16);
}

std::string XmlReportWriter::Element(const char* name, const std::string& value) const
{
    return std::string("<") + name + ">" + Value(value) + "</" + name + ">\n";
}

std::string XmlReportWriter::ElementOrMissing(const char* name, const std::string& value) const
{
    // The word for missing values is the interface language's: converted like any value.
    return Element(name, IsMissing(value) ? notAvailable : value);
}

void XmlReportWriter::WriteHeader(FILE* file, const ReportContext& c)
{
    Put(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    Put(file, "<!-- This report was created by " TARNWICK_TITLE " -->\n");
    Put(file, "<!-- Date      : " + Utf8(ReportText::XmlComment(c.strDate)) + "-->\n");
    Put(file, "<!-- Time      : " + Utf8(ReportText::XmlComment(c.strTime)) + "-->\n");
    Put(file, "<!-- Machine   : " + Utf8(ReportText::XmlComment(c.strMachine)) + "-->\n");
    Put(file, "<!-- Local User: " + Utf8(ReportText::XmlComment(c.strUser)) + "-->\n");
    Put(file, "<!-- OS        : " + Utf8(ReportText::XmlComment(c.strOs)) + "-->\n");
    Put(file, "<Processes>\n");
}

void XmlReportWriter::WriteProcess(FILE* file, const ProcessItem& p)
{
    Put(file, "<Process Name=\"" + Value(p.strName) + "\">" + ElementOrMissing("Executable", p.strPath));
    Put(file, Element("PID", p.strPid));
    Put(file, Element("PPID", p.strParentPid));
    Put(file, Element("Threads", p.strThreads));
    Put(file, ElementOrMissing("Handles", p.strHandles));
    Put(file, ElementOrMissing("Owner", p.strOwner));
    Put(file, ElementOrMissing("Creation", p.strCreated));
    Put(file, ElementOrMissing("Commandline", p.strCommandLine));
    Put(file, ElementOrMissing("Version", p.strVersion));
    Put(file, ElementOrMissing("Description", p.strDescription));
    Put(file, ElementOrMissing("Company", p.strCompany));
    if (IsMissing(p.strPriority))
        Put(file, Element("PriorityClass", notAvailable));
    else
        std::fprintf(file, "<PriorityClass>%d</PriorityClass>\n", static_cast<int>(p.dwPriorityClass));
    Put(file, "<Modules>\n");
}

void XmlReportWriter::WriteModulesNotAvailable(FILE* file)
{
    Put(file, Value(notAvailable) + "\n");
}

void XmlReportWriter::WriteModule(FILE* file, const ModuleItem& m)
{
    Put(file, "<Module Name=\"" + Value(m.strName) + "\">\n");
    Put(file, Element("Location", m.strLocation));
    Put(file, Element("BaseAddress", m.strBaseAddress));
    Put(file, ElementOrMissing("Version", m.strVersion));
    Put(file, ElementOrMissing("Description", m.strDescription));
    Put(file, ElementOrMissing("Company", m.strCompany));
    Put(file, Element("Size", m.strSize));
    Put(file, Element("Created", m.strCreated));
    Put(file, Element("Modified", m.strModified));
    Put(file, std::string("<IsDynamic>") + (m.bDynamic ? "True" : "False") + "</IsDynamic>\n");
    Put(file, std::string("<IsRelocated>") + (m.bRelocated ? "True" : "False") + "</IsRelocated>\n");
    Put(file, "</Module>\n");
}

void XmlReportWriter::WriteProcessEnd(FILE* file)
{
    Put(file, "</Modules>\n");
    Put(file, "</Process>\n");
}

void XmlReportWriter::WriteTrailer(FILE* file)
{
    Put(file, "</Processes>\n");
}
