#pragma once

#include <string>
#include <utility>
#include <vector>

// The rows of the environment list: an environment block ("name=value"
// texts, each ended by a zero byte, the block ended by an empty text) split
// into variable and value.
class EnvironmentTable {
public:
    typedef std::pair<std::string, std::string> Row;

    // Texts up to the first empty one, in block order. The per-drive entries
    // ("=C:=C:\dir") lose their leading "="; the value is everything after the
    // first "=" of what remains. A block without its final zero ends at its size.
    static std::vector<Row> Split(const std::string& block);
};
