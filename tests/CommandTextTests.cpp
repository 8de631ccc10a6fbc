#include <doctest/doctest.h>

#include "app/commands/DebuggerTemplate.h"
#include "app/commands/ShellCommandText.h"
#include "tools/EnvironmentTable.h"

#include <string>

namespace {

std::string Formatted(const std::string& pattern, uint32_t pid = 1234, uint32_t event = 1)
{
    std::string out = "unchanged";
    if (!DebuggerTemplate::Format(pattern, pid, event, out)) {
        CHECK(out.empty());
        return "<refused>";
    }
    return out;
}

} // namespace

TEST_SUITE("process commands")
{
    TEST_CASE("debugger templates: integers and %% only, nothing cut")
    {
        CHECK(Formatted("winedbg --auto %ld %ld") == "winedbg --auto 1234 1");
        CHECK(Formatted("\"C:\\dbg\\drwtsn32.exe\" -p %ld -e %ld -g") == "\"C:\\dbg\\drwtsn32.exe\" -p 1234 -e 1 -g");
        CHECK(Formatted("dbg 100%% -p %08lx -e %X", 0xABCD) == "dbg 100% -p 0000abcd -e 1");
        CHECK(Formatted("dbg %-6d| %+i", 42, 7) == "dbg 42    | +7");
        CHECK(Formatted("dbg %.5d %hd", 42, 70000) == "dbg 00042 4464");
        CHECK(Formatted("dbg %hu", 0x12345678) == "dbg 22136");
        CHECK(Formatted("dbg -p %d", 0xFFFFFFFFu) == "dbg -p -1");
        CHECK(Formatted("no placeholders at all") == "no placeholders at all");
        CHECK(Formatted("") == "");

        // Anything that would read a missing argument, write memory or print a
        // pointer refuses the whole template.
        CHECK(Formatted("dbg %s") == "<refused>");
        CHECK(Formatted("dbg %ld %n") == "<refused>");
        CHECK(Formatted("dbg %ld %ld %ld") == "<refused>");
        CHECK(Formatted("dbg %ld %") == "<refused>");
        CHECK(Formatted("dbg %ld %l") == "<refused>");
        CHECK(Formatted("dbg %*d") == "<refused>");
        CHECK(Formatted("dbg %lld") == "<refused>");
        CHECK(Formatted("dbg %p") == "<refused>");
        CHECK(Formatted("dbg %c") == "<refused>");
        CHECK(Formatted("dbg %f") == "<refused>");
        CHECK(Formatted("dbg %1$d") == "<refused>");
        CHECK(Formatted("dbg %99999999999d") == "<refused>");
        CHECK(Formatted("dbg %.2000d") == "<refused>");
        CHECK(Formatted(std::string("dbg %\0d", 7)) == "<refused>");

        // A template as long as the registry value may be is formatted whole.
        const std::string folder = "\"C:\\" + std::string(990, 'd') + "\\dbg.exe\"";
        const std::string longTemplate = folder + " -p %lu -e %ld";
        REQUIRE(longTemplate.size() > 1000);
        REQUIRE(longTemplate.size() <= 1024);
        CHECK(Formatted(longTemplate, 4294967292u) == folder + " -p 4294967292 -e 1");
        CHECK(Formatted("dbg %1024d", 5).size() == 4 + 1024);
    }

    TEST_CASE("folders, explorer and the command interpreter")
    {
        CHECK(ShellCommandText::FolderOf("C:\\Program Files\\App, Inc\\app.exe") == "C:\\Program Files\\App, Inc\\");
        CHECK(ShellCommandText::FolderOf("C:\\boot.ini") == "C:\\");
        CHECK(ShellCommandText::FolderOf("\\\\server\\share\\tool.exe") == "\\\\server\\share\\");
        CHECK(ShellCommandText::FolderOf("...").empty());
        CHECK(ShellCommandText::FolderOf("").empty());
        CHECK(ShellCommandText::ExplorerCommandLine("C:\\Program Files\\App, Inc\\") ==
              "explorer.exe \"C:\\Program Files\\App, Inc\\\"");
        const std::string deep = "C:\\" + std::string(400, 'x') + "\\";
        CHECK(ShellCommandText::ExplorerCommandLine(deep) == "explorer.exe \"" + deep + "\"");

        CHECK(ShellCommandText::CommandInterpreter("", false) == "cmd.exe");
        CHECK(ShellCommandText::CommandInterpreter("", true) == "command.com");
        CHECK(ShellCommandText::CommandInterpreter("C:\\WINDOWS\\COMMAND.COM", false) == "C:\\WINDOWS\\COMMAND.COM");
    }

    TEST_CASE("web pages in German or English")
    {
        const std::string site = ShellCommandText::kHomeSite;
        CHECK(ShellCommandText::WebAddress(ShellCommandText::HomePage, 0x0407) == site + "/de/tarnwick.htm");
        CHECK(ShellCommandText::WebAddress(ShellCommandText::HomePage, 0x0807) == site + "/de/tarnwick.htm");
        CHECK(ShellCommandText::WebAddress(ShellCommandText::HomePage, 1033) == site + "/en/tarnwick.htm");
        CHECK(ShellCommandText::WebAddress(ShellCommandText::PluginsPage, 0x0C07) == site + "/de/tarnwick_plugins.htm");
        CHECK(ShellCommandText::WebAddress(ShellCommandText::PluginsPage, 0x040C) == site + "/en/tarnwick_plugins.htm");
        CHECK(ShellCommandText::WebAddress(ShellCommandText::PluginsPage, 0x0007) == site + "/de/tarnwick_plugins.htm");
        CHECK(site.size() + 30 < 260);
    }

    TEST_CASE("environment blocks split into variable and value")
    {
        const char raw[] = "=C:=C:\\x\0PATH=C:\\windows;C:\\bin\0A=b=c\0EMPTY=\0NOEQUALS\0\0AFTER=end\0";
        const std::string block(raw, sizeof(raw));
        std::vector<EnvironmentTable::Row> rows = EnvironmentTable::Split(block);
        REQUIRE(rows.size() == 5);
        CHECK(rows[0] == EnvironmentTable::Row("C:", "C:\\x"));
        CHECK(rows[1] == EnvironmentTable::Row("PATH", "C:\\windows;C:\\bin"));
        CHECK(rows[2] == EnvironmentTable::Row("A", "b=c"));
        CHECK(rows[3] == EnvironmentTable::Row("EMPTY", ""));
        CHECK(rows[4] == EnvironmentTable::Row("NOEQUALS", ""));

        CHECK(EnvironmentTable::Split(std::string()).empty());
        CHECK(EnvironmentTable::Split(std::string("\0A=1\0", 5)).empty());
        // A block cut off without its zeros still gives its last text.
        rows = EnvironmentTable::Split("X=1");
        REQUIRE(rows.size() == 1);
        CHECK(rows[0] == EnvironmentTable::Row("X", "1"));
        rows = EnvironmentTable::Split(std::string("==\0=\0", 5));
        REQUIRE(rows.size() == 2);
        CHECK(rows[0] == EnvironmentTable::Row("", ""));
        CHECK(rows[1] == EnvironmentTable::Row("", ""));
    }
}
