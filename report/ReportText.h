#pragma once

#include <string>

// Text helpers of the report writers; no OS calls.
class ReportText {
public:
    // & " ' < > replaced, in this order, for XML.
    static std::string XmlEscape(const std::string& text);
    // & < > " replaced for HTML pages.
    static std::string HtmlEscape(const std::string& text);
    // UTF-16 code units, each on its own, as UTF-8 (one to three bytes).
    static std::string Utf8FromUnits(const std::u16string& units);
    // "<base>_<files>" for a report path "D:\dir\base.ext": returns the folder name.
    static std::string FolderName(const std::string& reportPath, const std::string& filesWord);
    // The folder path beside the report file.
    static std::string FolderPath(const std::string& reportPath, const std::string& filesWord);
    static bool Contains(const std::string& text, const std::string& word);
};
