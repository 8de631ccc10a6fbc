// tarnwick-cli plugins, languages and helpfile: what the plug-in loader, the
// language dialog and the Help command make of the program's folders.
#include "cli/CliCommands.h"
#include "cli/ProcessIdText.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "app/language/HelpFile.h"
#include "app/language/LanguageModuleList.h"
#include "app/pluginhost/PluginLoader.h"

#include <cstdio>

namespace {

const RecordSchema kPluginsSchema = {
    "library below the folder, in the order found",
    {
        {"path", FieldType::Text, "the library's path"},
        {"result", FieldType::Text, "the loader's verdict: accepted, not-loaded, no-export, null-record, fault, "
                                    "bad-version, bad-size, duplicate or unknown-kind"},
        {"kind", FieldType::Integer, "the record's kind (1 process, 2 module); null when no record was read"},
        {"version", FieldType::Integer, "the record's version; null when no record was read"},
        {"name", FieldType::Text, "the plug-in's name; null when no record was read"},
    },
    {}};

int Plugins(const CliArguments& arguments)
{
    std::string folder;
    if (arguments.Operands().empty()) {
        const std::string program = ::HelpFile::ProgramFolder();
        if (program.empty()) return CliError::Failure("the program's folder could not be found");
        folder = program + "Plugins";
    } else {
        folder = arguments.Operands()[0];
        while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return CliError::FileFailure(folder, "could not be read", GetLastError());
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return CliError::Failure("'" + folder + "' is no folder");
    }
    std::vector<PluginLoadResult> results = PluginLoader::LoadFolder(folder);
    if (arguments.Format() == RecordWriter::Table) {
        RecordValues::Out("Path\tResult\tKind\tVersion\tName\n");
        for (const PluginLoadResult& result : results) {
            char kind[8] = "";
            char version[16] = "";
            if (result.bRecordRead) {
                std::snprintf(kind, sizeof(kind), "%u", static_cast<unsigned>(result.nKind));
                std::snprintf(version, sizeof(version), "0x%08X", static_cast<unsigned>(result.dwVersion));
            }
            RecordValues::Out(TabText::Row({TabText::Escape(result.strPath), PluginRecordCheck::Name(result.verdict),
                                            kind, version, TabText::Escape(result.strName)}));
        }
    } else {
        RecordWriter out = RecordValues::Stdout(arguments.Format(), kPluginsSchema);
        out.Begin();
        for (const PluginLoadResult& result : results) {
            Record record;
            record.Text(result.strPath).Text(PluginRecordCheck::Name(result.verdict));
            if (result.bRecordRead)
                record.Number(result.nKind).Number(result.dwVersion).Text(result.strName);
            else
                record.Missing().Missing().Missing();
            out.Write(record);
        }
        out.End();
    }
    // Only the loader ran: no entry point was called, the libraries go again.
    for (const PluginLoadResult& result : results)
        if (result.hModule) FreeLibrary(result.hModule);
    return 0;
}

const RecordSchema kLanguagesSchema = {
    "language module in the program's Language folder",
    {
        {"file", FieldType::Text, "the module's file name"},
        {"language", FieldType::Integer, "its language id (1031 German, ...); null when it is invalid"},
        {"native_name", FieldType::Text, "the language's own name; null when unknown"},
        {"status", FieldType::Text, "listed (the Language dialog offers it), not-installed (its language is "
                                    "not installed) or invalid (no library, or no GetLangModuleInfo)"},
    },
    {}};

int Languages(const CliArguments& arguments)
{
    const std::string program = ::HelpFile::ProgramFolder();
    if (program.empty()) return CliError::Failure("the program's folder could not be found");
    const LanguageModuleList list(program);
    static const char* const kStatus[] = {"listed", "not-installed", "invalid"};
    if (arguments.Format() == RecordWriter::Table) {
        RecordValues::Out("File\tLanguage\tNativeName\tStatus\n");
        for (const LanguageModuleList::File& file : list.Survey()) {
            char language[8];
            std::snprintf(language, sizeof(language), "0x%04X", static_cast<unsigned>(file.wLanguageId));
            RecordValues::Out(TabText::Row({TabText::Escape(file.strName), language,
                                            TabText::Escape(file.strNativeName), kStatus[file.status]}));
        }
        return 0;
    }
    RecordWriter out = RecordValues::Stdout(arguments.Format(), kLanguagesSchema);
    out.Begin();
    for (const LanguageModuleList::File& file : list.Survey()) {
        Record record;
        record.Text(file.strName);
        if (file.wLanguageId)
            record.Number(file.wLanguageId);
        else
            record.Missing();
        out.Write(record.Value(RecordValues::Known(file.strNativeName)).Text(kStatus[file.status]));
    }
    out.End();
    return 0;
}

int HelpFilePath(const CliArguments& arguments)
{
    const std::string& operand = arguments.Operands()[0];
    uint32_t language = 0;
    if (!ProcessIdText::Parse(operand, language) || language > 0xFFFF)
        return CliError::Usage("'" + operand + "' is not a language id (0 to 65535, or 0x0000 to 0xFFFF)");
    const std::string program = ::HelpFile::ProgramFolder();
    if (program.empty()) return CliError::Failure("the program's folder could not be found");
    const std::string path = ::HelpFile::Find(program, static_cast<WORD>(language));
    if (path.empty()) {
        char id[8];
        std::snprintf(id, sizeof(id), "0x%04X", static_cast<unsigned>(language));
        return CliError::Failure(std::string("no help page for language ") + id + " nor the English one in '"
                                 + program + "Doc'");
    }
    RecordValues::Out(path + "\n");
    return 0;
}

} // namespace

const CliCommand CliCommands::kPlugins = {
    "plugins", "[FOLDER]", "what the plug-in loader makes of each library below FOLDER",
    "FOLDER defaults to the program's Plugins folder. Only the loader runs: no\n"
    "entry point of a plug-in is called. The table is Path, Result, Kind,\n"
    "Version (0x%08X), Name; Kind and Version are empty when no record could be\n"
    "read.\n"
    "\n"
    "Exit status 1 when FOLDER does not exist.\n",
    {}, &kPluginsSchema, 0, 1, Plugins};

const CliCommand CliCommands::kLanguages = {
    "languages", "", "the language modules in Language\\ and whether the Language dialog lists them",
    "The table is File, Language (0x%04X), NativeName, Status (listed,\n"
    "not-installed or invalid).\n",
    {}, &kLanguagesSchema, 0, 0, Languages};

const CliCommand CliCommands::kHelpFile = {
    "helpfile", "LANGID", "the help page the Help command opens for a language",
    "LANGID is decimal, or hexadecimal after 0x (0x0407 German). Prints the\n"
    "page's path: Doc\\<prefix>_tarnwick.htm of that language, else the English\n"
    "one. Exit status 1 when neither exists.\n",
    {}, nullptr, 1, 1, HelpFilePath};
