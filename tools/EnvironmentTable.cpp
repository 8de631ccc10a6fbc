#include "tools/EnvironmentTable.h"

std::vector<EnvironmentTable::Row> EnvironmentTable::Split(const std::string& block)
{
    std::vector<Row> rows;
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find('\0', start);
        if (end == std::string::npos) end = block.size();
        if (end == start) break;
        size_t from = start;
        if (block[from] == '=') ++from;
        size_t equals = block.find('=', from);
        if (equals == std::string::npos || equals > end)
            rows.emplace_back(block.substr(from, end - from), std::string());
        else
            rows.emplace_back(block.substr(from, equals - from), block.substr(equals + 1, end - equals - 1));
        start = end + 1;
    }
    return rows;
}
