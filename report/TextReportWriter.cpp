#include "report/TextReportWriter.h"

#include "report/ReportText.h"

#include "TarnwickVersion.h"

namespace {
std::string V(const std::string& value)
{
    return ReportText::TextValue(value);
}
} // namespace

void TextReportWriter::WriteHeader(FILE* file, const ReportContext& context)
{
    const std::string frame(79, '#');
    Put(file, frame + "\n");
    Put(file, "This report was created by " TARNWICK_TITLE "\n");
    Put(file, "Date      : " + context.strDate + "\n");
    Put(file, "Time      : " + context.strTime + "\n");
    Put(file, "Machine   : " + V(context.strMachine) + "\n");
    Put(file, "Local User: " + V(context.strUser) + "\n");
    Put(file, "OS        : " + V(context.strOs) + "\n");
    Put(file, frame + "\n");
    Put(file, "\n");
}

void TextReportWriter::WriteProcess(FILE* file, const ProcessItem& p)
{
    auto line = [&](const char* key, const std::string& value) {
        Put(file, std::string(key) + (IsMissing(value) ? notAvailable : V(value)) + "\n");
    };
    Put(file, "Name: " + V(p.strName) + "\n");
    line("Executable: ", p.strPath);
    Put(file, "PID: " + V(p.strPid) + "\n");
    Put(file, "PPID: " + V(p.strParentPid) + "\n");
    Put(file, "Threads: " + V(p.strThreads) + "\n");
    line("Handles: ", p.strHandles);
    line("Owner: ", p.strOwner);
    line("Creation: ", p.strCreated);
    line("Commandline: ", p.strCommandLine);
    line("Version: ", p.strVersion);
    line("Description: ", p.strDescription);
    line("Company: ", p.strCompany);
    if (IsMissing(p.strPriority))
        Put(file, "PriorityClass: " + notAvailable + "\n");
    else
        std::fprintf(file, "PriorityClass: %u\n", static_cast<unsigned>(p.dwPriorityClass));
    Put(file, "Modules:\n");
}

void TextReportWriter::WriteModulesNotAvailable(FILE* file)
{
    Put(file, "\t" + notAvailable + "\n");
}

void TextReportWriter::WriteModule(FILE* file, const ModuleItem& m)
{
    std::string line = "\t";
    for (const std::string* value : {&m.strName, &m.strLocation, &m.strBaseAddress, &m.strVersion, &m.strDescription,
                                     &m.strCompany, &m.strSize, &m.strCreated, &m.strModified})
        line += V(*value) + "; ";
    line += m.bDynamic ? "Dynamic; " : "Static; ";
    line += m.bRelocated ? "Relocated" : "Preferred";
    Put(file, line + "\n");
}

void TextReportWriter::WriteProcessEnd(FILE* file)
{
    Put(file, "\n");
}
