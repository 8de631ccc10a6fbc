#pragma once

#include "report/ReportWriter.h"

// The XML report, in UTF-8.
class XmlReportWriter : public ReportWriter {
public:
    // An ANSI text escaped for XML and converted to UTF-8.
    static std::string Value(const std::string& ansi);
    // An ANSI text converted to UTF-8 as it stands.
    static std::string Utf8(const std::string& ansi);

protected:
    void WriteHeader(FILE* file, const ReportContext& context) override;
    void WriteProcess(FILE* file, const ProcessItem& process) override;
    void WriteModulesNotAvailable(FILE* file) override;
    void WriteModule(FILE* file, const ModuleItem& module) override;
    void WriteProcessEnd(FILE* file) override;
    void WriteTrailer(FILE* file) override;

private:
    std::string Element(const char* name, const std::string& value) const;
    std::string ElementOrMissing(const char* name, const std::string& value) const;
};
