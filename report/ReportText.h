#pragma once

#include <string>

// Text helpers of the report writers; no OS calls. One escaping rule per
// output: the line structure of each format is the writer's alone, no
// value can add a line, a tag or a comment end.
class ReportText {
public:
    // Text report values: CR and LF as \r and \n, every other control
    // character (and DEL) as \xNN.
    static std::string TextValue(const std::string& text);
    // & " ' < > replaced, in this order, for XML; characters XML 1.0 does
    // not allow (control characters other than tab, CR and LF) become "?".
    static std::string XmlEscape(const std::string& text);
    // A value inside an XML comment: no "--", no "-" at the end, and the
    // characters XML does not allow become "?".
    static std::string XmlComment(const std::string& text);
    // & < > " replaced for HTML pages.
    static std::string HtmlEscape(const std::string& text);
    // One segment of a relative URL: every ASCII character other than
    // letters, digits and - . _ ~ as %XX. Bytes above 0x7F stay: the page's
    // character set says what they are, and the browser encodes them.
    static std::string UrlSegment(const std::string& text);
    // UTF-16 code units, each on its own, as UTF-8 (one to three bytes); a
    // surrogate pair as the one character it stands for. Units XML does not
    // allow (lone surrogates, U+FFFE, U+FFFF) become U+FFFD.
    static std::string Utf8FromUnits(const std::u16string& units);
    // "<base>_<files>" for a report path "D:\dir\base.ext": returns the folder name.
    static std::string FolderName(const std::string& reportPath, const std::string& filesWord);
    // The folder path beside the report file.
    static std::string FolderPath(const std::string& reportPath, const std::string& filesWord);
    static bool Contains(const std::string& text, const std::string& word);
};
