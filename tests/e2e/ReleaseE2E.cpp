// The program as a user meets it after unpacking the release zip. Skipped in
// the ordinary runs: tests/release/release-zip.sh runs it (--no-skip) with the
// unpacked folder as the program folder, in a fresh prefix.
#include "tests/e2e/ConsoleTool.h"
#include "tests/e2e/E2eTest.h"
#include "TarnwickVersion.h"

#include <cctype>
#include <map>

namespace {

using Table = std::vector<std::vector<std::string>>;
using Row = std::map<std::string, std::string>;

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The row whose first column is `name` (any case), keyed by the header's titles;
// empty when there is none.
Row RowOf(const Table& table, const std::string& name)
{
    Row row;
    if (table.empty()) return row;
    for (size_t i = 1; i < table.size(); ++i) {
        if (table[i].empty() || Lower(table[i][0]) != Lower(name)) continue;
        for (size_t column = 0; column < table[0].size() && column < table[i].size(); ++column)
            row[table[0][column]] = table[i][column];
        break;
    }
    return row;
}

const std::string kVersion4 = TARNWICK_VERSION_TEXT "." + std::to_string(TARNWICK_VERSION_BUILD);

void CheckVersionColumns(Row row, const std::string& description)
{
    CHECK(row["Version"] == kVersion4);
    CHECK(row["Description"] == description);
    CHECK(row["Company Name"] == TARNWICK_COMPANY);
}

} // namespace

TEST_SUITE("release") {

TEST_CASE("release: the unpacked program and console tool run and show their version resources"
          * doctest::skip())
{
    const std::string pose = E2ePaths::Version();
    if (pose == "winxp" || pose == "win98")
        CHECK(ConsoleTool::Output("os").compare(0, 7, pose == "winxp" ? "kind=7\t" : "kind=3\t") == 0);

    // The console tool's own row of the process list.
    const Table processes = ConsoleTool::Table(ConsoleTool::Output("ps tarnwick-cli.exe"));
    REQUIRE(processes.size() >= 2);
    CheckVersionColumns(RowOf(processes, "tarnwick-cli.exe"), "Tarnwick console tool");

    Program::RemoveSettings();
    Program app("tarnwick.exe");
    REQUIRE(app.Start("--nosplash --priority-normal"));
    const Window main = app.WaitForWindow("TarnwickMainFrameWndClass", TARNWICK_TITLE, 15000);
    REQUIRE(main);
    CHECK(!Screenshot::SaveDesktop("release-main-" + pose).empty());

    // The program and its two libraries, loaded from the unpacked folder.
    const Table modules = ConsoleTool::Table(ConsoleTool::Output("modules " + std::to_string(app.Pid())));
    REQUIRE(modules.size() >= 4);
    const std::pair<const char*, const char*> ownModules[] = {
        {"tarnwick.exe", "Tarnwick process viewer"},
        {"OrvoSysUtils.dll", "Tarnwick system utilities"},
        {"OrvoGdiUtils.dll", "Tarnwick drawing utilities"},
    };
    for (const auto& module : ownModules) {
        CAPTURE(module.first);
        const Row row = RowOf(modules, module.first);
        REQUIRE(!row.empty());
        CheckVersionColumns(row, module.second);
        if (!E2ePaths::IsNineX())
            CHECK(Lower(row.at("Location")) == Lower(E2ePaths::ProgramPath(module.first)));
    }

    // Closing saves the settings beside the program.
    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);
    CHECK(Program::SettingsExist());
}

} // TEST_SUITE
