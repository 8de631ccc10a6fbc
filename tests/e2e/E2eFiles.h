#pragma once

#include <string>
#include <vector>

// Files the tests read back: whole, or as lines without their CR LF.
namespace E2eFiles {
std::string ReadText(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);
// The program's lists file beside it (user applications and search engines).
std::string ListsPath();
} // namespace E2eFiles
