// tarnwick-cli src, search-url, engines and pipe: the search plugins, the
// start-up engine list and the Console window's text.
#include "CliCommands.h"
#include "TabText.h"

#include "../launchers/LauncherLists.h"
#include "../launchers/QueryUrl.h"
#include "../launchers/SearchPlugins.h"
#include "../tools/ConsoleTextFilter.h"
#include "../tools/PipedProcess.h"

#include <windows.h>
#include <cstdio>

namespace {

void PrintEngine(const SearchEngine& engine)
{
    std::printf("name\t%s\n", TabText::Escape(engine.strName).c_str());
    std::printf("description\t%s\n", TabText::Escape(engine.strDescription).c_str());
    std::printf("action\t%s\n", TabText::Escape(engine.strAction).c_str());
    std::printf("user\t%s\n", TabText::Escape(engine.strUserParam).c_str());
    for (const auto& input : engine.aInputs)
        std::printf("input\t%s\t%s\n", TabText::Escape(input.first).c_str(), TabText::Escape(input.second).c_str());
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

} // namespace

int CliCommands::Src(const Args& args)
{
    if (args.empty()) return UsageError("'src' needs at least one FILE");
    bool allValid = true;
    for (const std::string& path : args) {
        SearchEngine engine;
        std::printf("file\t%s\n", TabText::Escape(path).c_str());
        if (!SearchPlugins::LoadSearchPlugin(path, engine)) allValid = false;
        PrintEngine(engine);
    }
    return allValid ? 0 : 1;
}

int CliCommands::SearchUrl(const Args& args)
{
    std::string language = "en";
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang") {
            if (++i == args.size()) return UsageError("'--lang' needs a language CODE");
            language = args[i];
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() != 2) return UsageError("'search-url' needs SRC (or builtin) and TERM");
    SearchEngine engine;
    if (rest[0] == "builtin") {
        QueryUrl::MakeBuiltinEngine(language, engine);
    } else if (!SearchPlugins::LoadSearchPlugin(rest[0], engine)) {
        std::fprintf(stderr, "tarnwick-cli: '%s' is no valid search plugin\n", rest[0].c_str());
        return 1;
    }
    std::printf("%s\n", SearchPlugins::QueryAddress(engine, rest[1]).c_str());
    return 0;
}

int CliCommands::Engines(const Args& args)
{
    if (!args.empty()) return UsageError("'engines' takes no arguments");
    LauncherLists lists;
    lists.Load(LauncherLists::DefaultPath(), SearchPlugins::DefaultFolder(), GetModuleHandleA(nullptr));
    std::printf("ID\tName\tSource\n");
    for (size_t i = 0; i < lists.engines.size(); ++i)
        std::printf("%u\t%s\t%s\n", static_cast<unsigned>(2004 + i), TabText::Escape(lists.engines[i].strName).c_str(),
                    TabText::Escape(lists.engines[i].strSourceFile).c_str());
    return 0;
}

int CliCommands::Pipe(const Args& args)
{
    if (args.size() != 1) return UsageError("'pipe' needs one COMMAND (quote it)");
    ConsolePrinter printer;
    if (!printer.Start(args[0], false)) {
        std::printf("\n");
        return 1;
    }
    g_interrupt = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnInterrupt, TRUE);
    HANDLE waits[2] = {printer.FinishedEvent(), g_interrupt};
    const DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    printer.Stop();
    SetConsoleCtrlHandler(OnInterrupt, FALSE);
    CloseHandle(g_interrupt);
    g_interrupt = nullptr;
    return which == WAIT_OBJECT_0 ? 0 : 1;
}
