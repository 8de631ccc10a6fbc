// libFuzzer entry: the wildcard matcher on an arbitrary pattern and name
// (split at the first zero byte). Small inputs are checked against the
// recursive matcher it replaced; -timeout catches any input that is slow.
#include "tests/ReferenceWildcard.h"
#include "tools/WildcardMatch.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string pattern = input.substr(0, split);
    const std::string name = split == std::string::npos ? std::string() : input.substr(split + 1);
    const char* n = name.c_str();  // up to its first zero byte
    for (int flags = 0; flags < 4; ++flags) {
        const bool matches = WildcardMatch::match(pattern.c_str(), n, flags) == 0;
        size_t stars = 0;
        for (char c : pattern) stars += c == '*';
        if (stars <= 4 && pattern.size() <= 24 && name.size() <= 24
            && matches != ReferenceMatches(pattern.c_str(), n, flags & WildcardMatch::PathName,
                                           flags & WildcardMatch::CaseFold))
            __builtin_trap();
    }
    return 0;
}
