#pragma once

#include "report/ReportWriter.h"

// The plain text report.
class TextReportWriter : public ReportWriter {
protected:
    void WriteHeader(FILE* file, const ReportContext& context) override;
    void WriteProcess(FILE* file, const ProcessItem& process) override;
    void WriteModulesNotAvailable(FILE* file) override;
    void WriteModule(FILE* file, const ModuleItem& module) override;
    void WriteProcessEnd(FILE* file) override;
    void WriteTrailer(FILE* file) override {}
};
