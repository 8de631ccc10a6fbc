#include "tests/e2e/E2eFiles.h"

#include "tests/e2e/E2ePaths.h"

#include <fstream>
#include <sstream>

namespace E2eFiles {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path.c_str());
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ListsPath()
{
    return E2ePaths::ProgramPath("Tarnwick.lists");
}

} // namespace E2eFiles
