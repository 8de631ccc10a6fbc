#pragma once

#include "report/ReportWriter.h"

#include <windows.h>

// The HTML report: a main page with one row per process, and a folder beside
// it with the style sheet and one module page per process.
class HtmlReportWriter : public ReportWriter {
public:
    // `resources`: the module holding the style sheet (type "RT_CSS", id 227).
    explicit HtmlReportWriter(HMODULE resources = nullptr);

    bool Write(const std::vector<const ProcessItem*>& processes, const std::string& path, ReportContext& context,
               ReportProgress& progress) override;

    bool WriteHtmlModulePage(const std::string& pagePath, const ProcessItem& process, ReportContext& context,
                             ReportProgress& progress);

    // The page head lines shared by both page kinds.
    static std::string MetaLines();
    static const char* const kHeading;

protected:
    void WriteHeader(FILE*, const ReportContext&) override {}
    void WriteProcess(FILE*, const ProcessItem&) override {}
    void WriteModulesNotAvailable(FILE*) override {}
    void WriteModule(FILE* file, const ModuleItem& module) override;
    void WriteProcessEnd(FILE*) override {}
    void WriteTrailer(FILE*) override {}

private:
    bool WriteStyleSheet(const std::string& path) const;
    HMODULE resources;
};
