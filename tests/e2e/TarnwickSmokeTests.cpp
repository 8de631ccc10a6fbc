// The real program under the driver.
#include "tests/e2e/E2eTest.h"

TEST_SUITE("tarnwick") {

TEST_CASE("tarnwick: starts, shows its main window and closes with exit code 0")
{
    Program::RemoveSettings();
    Program app("tarnwick.exe");
    REQUIRE(app.Start("--nosplash --priority-normal"));
    const Window main = app.WaitForWindow("TarnwickMainFrameWndClass", "Tarnwick 2.6", 15000);
    REQUIRE(main);
    CHECK(main.Pid() == app.Pid());
    CHECK(app.PriorityClass() == NORMAL_PRIORITY_CLASS);
    CHECK(!Screenshot::SaveDesktop("main").empty());
    CHECK(app.Close());
    CHECK(app.ExitCode() == 0);
}

} // TEST_SUITE
