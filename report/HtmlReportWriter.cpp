#include "report/HtmlReportWriter.h"

#include "report/ReportText.h"
#include "app/menus/StringTable.h"
#include "views/ValueFormatter.h"

#include "TarnwickVersion.h"

#include <cstdio>

const char* const HtmlReportWriter::kHeading =
    "<h1><a class=\"content\" href=\"" TARNWICK_HOME_SITE "/\">" TARNWICK_TITLE "</a></h1>\n";

namespace {
const char kTableOpen[] =
    "<table border=\"0\" cellpadding=\"0\" cellspacing=\"1\" align=\"center\" width=100%>\n"
    "<tr>\n"
    "<td align=\"center\" bgcolor=\"#000000\">\n"
    "<table border=\"0\" cellpadding=\"4\" cellspacing=\"1\" width=100%>\n";
const char kTableClose[] = "</table>\n</td>\n</tr>\n</table>\n</body>\n</html>\n";

std::string H(const std::string& text)
{
    return ReportText::HtmlEscape(text);
}
} // namespace

HtmlReportWriter::HtmlReportWriter(HMODULE resources) : resources(resources) {}

std::string HtmlReportWriter::MetaLines()
{
    char charset[160];
    snprintf(charset, sizeof(charset),
             "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-%u\">\n",
             static_cast<unsigned>(GetACP()));
    return std::string(charset) + "<meta name=\"generator\" Content=\"" TARNWICK_TITLE "\">\n";
}

bool HtmlReportWriter::WriteStyleSheet(const std::string& path) const
{
    HMODULE module = resources ? resources : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(227), "RT_CSS");
    if (!found) return false;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fwrite(bytes, 1, size, file);
    std::fwrite("\r\n", 1, 2, file);
    std::fclose(file);
    return true;
}

void HtmlReportWriter::WriteModule(FILE* file, const ModuleItem& m)
{
    Put(file, m.bDynamic ? "<tr class=\"dynamic\">\n" : "<tr class=\"normal\">\n");
    for (const std::string* value : {&m.strName, &m.strVersion, &m.strDescription, &m.strCompany, &m.strLocation})
        Put(file, "<td nowrap>" + H(*value) + "</td>\n");
    Put(file, "<td nowrap align=\"right\">" + H(m.strSize) + "</td>\n");
    Put(file, "<td nowrap align=\"right\">" + H(m.strBaseAddress) + "</td>\n");
    Put(file, "<td nowrap>" + H(m.strCreated) + "</td>\n");
    Put(file, "<td nowrap>" + H(m.strModified) + "</td>\n");
    Put(file, "</tr>\n");
}

bool HtmlReportWriter::WriteHtmlModulePage(const std::string& pagePath, const ProcessItem& process,
                                           ReportContext& context, ReportProgress& progress)
{
    std::vector<ModuleRecord> records;
    if (!EnumerateModules(process, context, records)) return false;
    FILE* file = std::fopen(pagePath.c_str(), "wt");
    if (!file) return false;

    const std::string caption =
        H(context.formatter ? context.formatter->ProcessCaption(process.strName, process.dwPid) : process.strName);
    Put(file, "<html>\n<head>\n" + MetaLines());
    Put(file, "<title>" TARNWICK_TITLE " - Modules of " + caption + "</title>\n");
    Put(file, "<link rel=\"stylesheet\" type=\"text/css\" href=\"./tarnwick_report.css\">\n");
    Put(file, "<style type=\"text/css\">\n</style>\n</head>\n<body>\n");
    Put(file, kHeading);
    Put(file, "<p class=\"info\">\n");
    Put(file, "<b>Modules of " + caption + "</b>\n</p>\n");
    Put(file, kTableOpen);
    Put(file, "<tr class=\"head\">\n<td>Module</td>\n<td>Version</td>\n<td>Description</td>\n"
              "<td>Company&nbsp;Name</td>\n<td>Location</td>\n<td align=\"right\">Size</td>\n"
              "<td align=\"right\">BaseAddress</td>\n<td>Created</td>\n<td>Modified</td>\n</tr>\n");
    WalkModules(
        process, records, context, progress,
        [](void* self, FILE* out, const ModuleItem& module) {
            static_cast<HtmlReportWriter*>(self)->WriteModule(out, module);
        },
        this, file);
    Put(file, kTableClose);
    std::fclose(file);
    return true;
}

bool HtmlReportWriter::Write(const std::vector<const ProcessItem*>& processes, const std::string& path,
                             ReportContext& context, ReportProgress& progress)
{
    // The pages folder first: nothing is written when it cannot be had.
    const std::string filesWord = StringTable::Load(186);
    const std::string folderName = ReportText::FolderName(path, filesWord);
    const std::string folder = ReportText::FolderPath(path, filesWord);
    const bool createdFolder = CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
    const DWORD error = createdFolder ? 0 : GetLastError();
    bool folderReady = createdFolder;
    if (!folderReady && error == ERROR_ALREADY_EXISTS) {
        // An existing folder is reused; a file of that name is in the way.
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        folderReady = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (!folderReady) {
        char reason[261] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reason, 260, nullptr);
        progress.ShowFileError(StringTable::FormatOwn(187, {folderName, reason}), folder, error);
        return false;
    }
    // Every file goes to a temporary name and takes its place at the end.
    StagedFiles files;
    auto removeFolder = [&] {
        if (createdFolder) RemoveDirectoryA(folder.c_str());
    };
    FILE* file = OpenReport(path, files, progress);
    if (!file) {
        removeFolder();
        return false;
    }
    const std::string styleSheet = files.Stage(folder + "\\tarnwick_report.css");
    if (!styleSheet.empty() && !WriteStyleSheet(styleSheet)) files.Drop(styleSheet);

    BeginProgress(processes.size(), progress);

    const std::string folderUrl = "./" + H(ReportText::UrlSegment(folderName)) + "/";
    Put(file, "<html>\n<head>\n" + MetaLines());
    Put(file, "<title>" TARNWICK_TITLE "</title>\n");
    Put(file, "<link rel=\"stylesheet\" type=\"text/css\" href=\"" + folderUrl + "tarnwick_report.css\">\n");
    Put(file, "<style type=\"text/css\">\n</style>\n</head>\n<body>\n");
    Put(file, kHeading);
    Put(file, "<p class=\"info\">\n");
    Put(file, "<b>Created:</b> " + H(context.strDate) + ", " + H(context.strTime) + "<br>\n");
    Put(file, "<b>Machine:</b> " + H(context.strMachine) + "<br>\n");
    Put(file, "<b>Local User:</b> " + H(context.strUser) + "<br>\n");
    Put(file, "<b>OS:</b> " + H(context.strOs) + "<br>\n");
    Put(file, "</p>\n");
    Put(file, kTableOpen);
    Put(file, "<tr class=\"head\">\n<td>Name</td>\n<td align=\"right\">PID</td>\n"
              "<td align=\"right\">Parent&nbsp;PID</td>\n<td>Version</td>\n<td>Description</td>\n"
              "<td>Company&nbsp;Name</td>\n<td>Owner</td>\n<td align=\"right\">Threads</td>\n"
              "<td align=\"right\">Handles</td>\n<td>Priority&nbsp;Class</td>\n<td>Created</td>\n"
              "<td>Commandline</td>\n</tr>\n");

    for (const ProcessItem* process : processes) {
        if (progress.IsAborted()) break;
        if (!process) continue;
        const ProcessItem& p = *process;
        if (context.formatter) progress.SetProcessText(context.formatter->ProcessCaption(p.strName, p.dwPid));
        Put(file, p.bService ? "<tr class=\"service\">\n" : "<tr class=\"normal\">\n");
        char pageName[32];
        snprintf(pageName, sizeof(pageName), "%u.html", static_cast<unsigned>(p.dwPid));
        std::string name = H(p.strName);
        const std::string page = files.Stage(folder + "\\" + pageName);
        if (!page.empty()) {
            if (WriteHtmlModulePage(page, p, context, progress))
                name = "<a href=\"" + folderUrl + pageName + "\">" + name + "</a>";
            else
                files.Drop(page);
        }
        // Fixed texts of the report: English, whatever the interface language.
        const std::string priority = ValueFormatter::PriorityClassText(p.dwPriorityClass, true);
        Put(file, "<td nowrap>" + name + "</td>\n");
        Put(file, "<td align=\"right\">" + H(p.strPid) + "</td>\n");
        Put(file, "<td align=\"right\">" + H(p.strParentPid) + "</td>\n");
        Put(file, "<td nowrap>" + H(p.strVersion) + "</td>\n");
        Put(file, "<td nowrap>" + H(p.strDescription) + "</td>\n");
        Put(file, "<td nowrap>" + H(p.strCompany) + "</td>\n");
        Put(file, "<td nowrap>" + H(p.strOwner) + "</td>\n");
        Put(file, "<td align=\"right\">" + H(p.strThreads) + "</td>\n");
        Put(file, "<td align=\"right\">" + H(p.strHandles) + "</td>\n");
        Put(file, "<td nowrap>" + H(priority) + "</td>\n");
        Put(file, "<td nowrap>" + H(p.strCreated) + "</td>\n");
        Put(file, "<td nowrap>" + H(p.strCommandLine) + "</td>\n");
        Put(file, "</tr>\n");
        progress.Step(ReportProgress::Processes);
        progress.Pump();
    }
    Put(file, kTableClose);
    progress.End();

    if (!Finish(file, files, progress)) {
        removeFolder();  // only when this report made it, and only when empty
        return false;
    }
    progress.OpenDocument(path);
    return true;
}
