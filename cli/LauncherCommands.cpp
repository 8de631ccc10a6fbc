// tarnwick-cli src, search-url, engines and pipe: the search plugins, the
// start-up engine list and the Console window's text.
#include "cli/CliCommands.h"
#include "cli/RecordValues.h"
#include "cli/TabText.h"

#include "app/settings/UserSettingsFile.h"
#include "launchers/LauncherLists.h"
#include "launchers/QueryUrl.h"
#include "launchers/SearchPlugins.h"
#include "tools/ConsoleTextFilter.h"
#include "tools/PipedProcess.h"

#include <windows.h>
#include <cstdio>

namespace {

// The address parts are UTF-8; the tool writes the system code page.
std::string Shown(const std::string& utf8)
{
    return SearchPlugins::Utf8ToAnsi(utf8);
}

void PrintEngine(const SearchEngine& engine)
{
    std::printf("name\t%s\n", TabText::Escape(engine.strName).c_str());
    std::printf("description\t%s\n", TabText::Escape(engine.strDescription).c_str());
    std::printf("action\t%s\n", TabText::Escape(Shown(engine.strAction)).c_str());
    std::printf("user\t%s\n", TabText::Escape(Shown(engine.strUserParam)).c_str());
    for (const auto& input : engine.aInputs)
        std::printf("input\t%s\t%s\n", TabText::Escape(Shown(input.first)).c_str(),
                    TabText::Escape(Shown(input.second)).c_str());
    if (!engine.strIconFile.empty()) {
        const int side = engine.image.Empty() ? 0 : IconImage::kSide;
        std::printf("icon\t%s\t%u\t%dx%d\n", TabText::Escape(engine.strIconFile).c_str(),
                    static_cast<unsigned>(engine.nIconType), side, side);
    }
    std::printf("valid\t%d\n", engine.IsValid() ? 1 : 0);
}

// Writes what the Console window would show, as it arrives.
class ConsolePrinter : public PipedProcess {
public:
    ConsolePrinter()
        : outputFilter(ConsoleTextFilter::ForOemConsole()), errorFilter(ConsoleTextFilter::ForOemConsole()),
          hFinished(CreateEventA(nullptr, TRUE, FALSE, nullptr)), bStarted(false)
    {
        InitializeCriticalSection(&csWrite);
    }
    ~ConsolePrinter() override
    {
        Stop();
        CloseHandle(hFinished);
        DeleteCriticalSection(&csWrite);
    }
    HANDLE FinishedEvent() const { return hFinished; }
    void Print(const std::string& text)
    {
        EnterCriticalSection(&csWrite);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        LeaveCriticalSection(&csWrite);
    }

protected:
    void Started(const std::string&) override { bStarted = true; }
    // Before Started() only our own start-failure message arrives, already ANSI.
    void Output(const char* text, size_t length) override
    {
        Print(bStarted ? outputFilter.Filter(text, length) : std::string(text, length));
    }
    void ErrorOutput(const char* text, size_t length) override { Print(errorFilter.Filter(text, length)); }
    void Finished() override
    {
        Print(outputFilter.Flush());
        Print(errorFilter.Flush());
        SetEvent(hFinished);
    }

private:
    ConsoleTextFilter outputFilter;
    ConsoleTextFilter errorFilter;
    HANDLE hFinished;
    bool bStarted;
    CRITICAL_SECTION csWrite;
};

HANDLE g_interrupt = nullptr;

BOOL WINAPI OnInterrupt(DWORD)
{
    if (g_interrupt) SetEvent(g_interrupt);
    return TRUE;
}


const RecordSchema kSrcSchema = {
    "search-plugin file",
    {
        {"file", FieldType::Text, "the path as given"},
        {"valid", FieldType::Boolean, "name, description, action and user parameter are there and the action is "
                                      "an http:// or https:// address"},
        {"name", FieldType::Text, "the engine's name; null when missing"},
        {"description", FieldType::Text, "null when missing"},
        {"action", FieldType::Text, "the query address; null when missing"},
        {"user", FieldType::Text, "the input that takes the search term; null when missing"},
        {"icon", FieldType::Text, "the icon file found beside it; null without one"},
        {"icon_type", FieldType::Integer, "2 GIF, 3 JPEG, 4 PNG, 5 ICO; null without an icon"},
        {"icon_side", FieldType::Integer, "the decoded icon's side in pixels, 0 when it could not be decoded; "
                                          "null without an icon"},
    },
    {
        {"inputs", "the fixed inputs of the query, in file order",
         {
             {"name", FieldType::Text, "input name"},
             {"value", FieldType::Text, "its value"},
         }},
    }};

int Src(const CliArguments& arguments)
{
    const bool table = arguments.Format() == RecordWriter::Table;
    RecordWriter out = RecordValues::Stdout(arguments.Format(), kSrcSchema);
    if (!table) out.Begin();
    int status = 0;
    for (const std::string& path : arguments.Operands()) {
        SearchEngine engine;
        const DWORD attributes = GetFileAttributesA(path.c_str());
        const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
        const bool valid = SearchPlugins::LoadSearchPlugin(path, engine);
        if (table) {
            std::printf("file\t%s\n", TabText::Escape(path).c_str());
            PrintEngine(engine);
        } else {
            Record record;
            record.Text(path).Flag(valid);
            for (const std::string& text : {engine.strName, engine.strDescription, Shown(engine.strAction),
                                            Shown(engine.strUserParam)})
                record.Value(RecordValues::Known(text));
            if (engine.strIconFile.empty())
                record.Missing().Missing().Missing();
            else
                record.Text(engine.strIconFile).Number(engine.nIconType).Number(engine.image.Empty() ? 0 : IconImage::kSide);
            for (const auto& input : engine.aInputs)
                record.List(0).push_back(Record().Text(Shown(input.first)).Text(Shown(input.second)));
            out.Write(record);
        }
        if (error)
            status = CliError::FileFailure(path, "could not be read", error);
        else if (!valid)
            status = CliError::Failure("'" + path + "' is no valid search plugin");
    }
    if (!table) out.End();
    return status;
}

int SearchUrl(const CliArguments& arguments)
{
    const std::string language = arguments.Has("lang") ? arguments.Value("lang") : std::string("en");
    const std::string& source = arguments.Operands()[0];
    SearchEngine engine;
    if (source == "builtin") {
        QueryUrl::MakeBuiltinEngine(language, engine);
    } else if (!SearchPlugins::LoadSearchPlugin(source, engine)) {
        const DWORD attributes = GetFileAttributesA(source.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return CliError::FileFailure(source, "could not be read", GetLastError());
        return CliError::Failure("'" + source + "' is no valid search plugin");
    }
    // The address in its ASCII form: the same in every code page.
    RecordValues::Out(QueryUrl::AsciiForm(SearchPlugins::QueryAddress(engine, arguments.Operands()[1])) + "\n");
    return 0;
}

const RecordSchema kEnginesSchema = {
    "search engine active at start-up, in menu order",
    {
        {"id", FieldType::Integer, "its menu command id (2004 onwards)"},
        {"name", FieldType::Text, "the engine's name"},
        {"source", FieldType::Text, "its search-plugin file; null for the built-in engine"},
    },
    {}};

int Engines(const CliArguments& arguments)
{
    LauncherLists lists;
    lists.Load(LauncherLists::PathBeside(UserSettingsFile::DefaultPath()), SearchPlugins::DefaultFolder(), GetModuleHandleA(nullptr));
    if (arguments.Format() == RecordWriter::Table) {
        std::printf("ID\tName\tSource\n");
        for (size_t i = 0; i < lists.engines.size(); ++i)
            std::printf("%u\t%s\t%s\n", static_cast<unsigned>(2004 + i), TabText::Escape(lists.engines[i].strName).c_str(),
                        TabText::Escape(lists.engines[i].strSourceFile).c_str());
        return 0;
    }
    RecordWriter out = RecordValues::Stdout(arguments.Format(), kEnginesSchema);
    out.Begin();
    for (size_t i = 0; i < lists.engines.size(); ++i)
        out.Write(Record()
                      .Number(2004 + i)
                      .Text(lists.engines[i].strName)
                      .Value(RecordValues::Known(lists.engines[i].strSourceFile)));
    out.End();
    return 0;
}

int Pipe(const CliArguments& arguments)
{
    const std::string& command = arguments.Operands()[0];
    if (command.empty()) return CliError::Usage("the COMMAND is empty");
    ConsolePrinter printer;
    if (!printer.Start(command, false)) {
        // The Console window's text is already out: "Unable to start ...".
        std::printf("\n");
        return CliError::Failure("'" + command + "' could not be started");
    }
    g_interrupt = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnInterrupt, TRUE);
    HANDLE waits[2] = {printer.FinishedEvent(), g_interrupt};
    const DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    printer.Stop();
    SetConsoleCtrlHandler(OnInterrupt, FALSE);
    CloseHandle(g_interrupt);
    g_interrupt = nullptr;
    if (which != WAIT_OBJECT_0) return CliError::Failure("interrupted: '" + command + "' was ended");
    return 0;
}

} // namespace

const CliCommand CliCommands::kSrc = {
    "src", "FILE...", "search-plugin files as the program reads them",
    "The table has, per FILE, a \"file\" line and name, description, action,\n"
    "user, input (name, value), icon (file, type, side) and valid (1 or 0)\n"
    "lines, tab-separated.\n"
    "\n"
    "Exit status 1 when a file cannot be read or is no valid search plugin (the\n"
    "others are still read).\n",
    {}, &kSrcSchema, 1, CliCommand::kAny, Src};

const CliCommand CliCommands::kSearchUrl = {
    "search-url", "SRC|builtin TERM", "the query address a search engine makes of TERM",
    "SRC is a search-plugin file, or \"builtin\" for the program's own engine.\n"
    "\n"
    "Exit status 1 when SRC cannot be read or is no valid search plugin.\n",
    {{"lang", "CODE", nullptr, "the language code of the built-in engine (default: en)", nullptr}},
    nullptr, 2, 2, SearchUrl};

const CliCommand CliCommands::kEngines = {
    "engines", "", "the search engines active at start-up",
    "The table is ID (the menu command id), Name and Source (the plug-in file).\n",
    {}, &kEnginesSchema, 0, 0, Engines};

const CliCommand CliCommands::kPipe = {
    "pipe", "\"COMMAND\"", "runs COMMAND as the Console window does and prints its text",
    "COMMAND is one operand (quote it). Its output and error output appear as\n"
    "the Console window shows them; Ctrl+C ends it.\n"
    "\n"
    "Exit status 1 when it cannot be started (after the window's \"Unable to\n"
    "start\" text) or was interrupted.\n",
    {}, nullptr, 1, 1, Pipe};
