#include "sysutils/TextHelpers.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
char Lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
} // namespace

int TextHelpers::CopyFileNamePart(const char* path, char* buffer, int bufferSize)
{
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    if (!path || !buffer || bufferSize <= 0) return 0;
    const char* slash = std::strrchr(path, '\\');
    if (!slash) return 0;
    const char* name = slash + 1;
    int length = static_cast<int>(std::strlen(name));
    if (length > bufferSize - 1) length = bufferSize - 1;
    std::memcpy(buffer, name, static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}

int TextHelpers::IsWin32Path(const char* path)
{
    if (!path) return 0;
    if (path[0] == '\\' && path[1] == '?') return 0;
    if (std::strstr(path, "SystemRoot")) return 0;
    return 1;
}

int TextHelpers::FixNativePath(char* path, int bufferSize, const char* windowsDir)
{
    if (bufferSize < 260 || !path) return 0;
    size_t length = std::strlen(path);
    if (length > 260) return 0;

    char work[600];
    std::memcpy(work, path, length + 1);
    if (work[0] == '\\' && work[1] == '?') {
        size_t drop = length < 4 ? length : 4;
        std::memmove(work, work + drop, length - drop + 1);
    }
    // Only a path that begins with it names the system root: a folder of
    // that name further down is an ordinary folder.
    const char* root = std::strncmp(work, "\\SystemRoot\\", 12) == 0 ? work : nullptr;
    if (root && windowsDir) {
        // Windows folder followed by the rest without "\SystemRoot" (11 characters).
        char rebuilt[600];
        size_t dirLength = std::strlen(windowsDir);
        if (dirLength > 259) dirLength = 259;
        std::memcpy(rebuilt, windowsDir, dirLength);
        rebuilt[dirLength] = '\0';
        const char* rest = root + 11;
        size_t restLength = std::strlen(rest);
        if (dirLength + restLength < sizeof(rebuilt)) {
            std::memcpy(rebuilt + dirLength, rest, restLength + 1);
            std::strcpy(work, rebuilt);
        }
    }
    size_t result = std::strlen(work);
    if (result >= static_cast<size_t>(bufferSize)) result = static_cast<size_t>(bufferSize) - 1;
    std::memcpy(path, work, result);
    path[result] = '\0';
    return static_cast<int>(result);
}

const char* TextHelpers::GetFileNamePart(const char* path)
{
    if (!path) return nullptr;
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

uint32_t TextHelpers::BytesToKB(uint32_t bytes)
{
    return bytes == 0 ? 0 : ((bytes - 1) >> 10) + 1;
}

uint32_t TextHelpers::BytesToMB(uint32_t bytes)
{
    return bytes == 0 ? 0 : ((bytes - 1) >> 20) + 1;
}

uint32_t TextHelpers::BytesToGB(uint32_t bytes)
{
    return bytes == 0 ? 0 : ((bytes - 1) >> 30) + 1;
}

double TextHelpers::RoundToDecimals(double value, int digits)
{
    // 10 to the power digits; the loop ends long before the double overflows.
    double power = 1.0;
    for (int i = 0; i < digits && power < 1e300; ++i) power *= 10.0;
    if (value != value) return value;  // NaN
    const double factor = power <= 4294967295.0 ? static_cast<double>(static_cast<uint32_t>(power)) : power;
    // Infinities, and values too large to scale, stay. Decided before scaling:
    // the x87 unit may keep value * factor in a register beyond the double range.
    if (std::fabs(value) > std::numeric_limits<double>::max() / factor) return value;
    const double scaled = value * factor + 0.5;
    // Within 32 bits: truncated to an unsigned integer, as always.
    if (scaled >= 0.0 && scaled < 4294967296.0) return static_cast<double>(static_cast<uint32_t>(scaled)) / factor;
    // Negative values and values beyond 32 bits round the same way (half up)
    // in floating point.
    return std::floor(scaled) / factor;
}

bool TextHelpers::IsUncPath(const char* path)
{
    return path && path[0] == '\\' && path[1] == '\\';
}

bool TextHelpers::HasShortNameMarker(const char* text)
{
    return text && std::strchr(text, '~') != nullptr;
}

int TextHelpers::CompareUnsigned(uint32_t a, uint32_t b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

int TextHelpers::CountSetBits(uint32_t value)
{
    int count = 0;
    for (int i = 0; i < 32; ++i)
        if (value & (1u << i)) ++count;
    return count;
}

char* TextHelpers::CollapseWhitespace(char* text)
{
    if (!text) return nullptr;
    char* out = text;
    const char* in = text;
    while (*in && IsSpace(*in)) ++in;
    bool pendingSpace = false;
    for (; *in; ++in) {
        if (IsSpace(*in)) {
            pendingSpace = true;
            continue;
        }
        if (pendingSpace) *out++ = ' ';
        pendingSpace = false;
        *out++ = *in;
    }
    *out = '\0';
    return text;
}

char* TextHelpers::AppendMultiString(char* position, const char* text)
{
    if (!position) return nullptr;
    char* end = position + std::strlen(position) + 1;
    size_t length = text ? std::strlen(text) : 0;
    if (length) std::memcpy(end, text, length);
    end[length] = '\0';
    end[length + 1] = '\0';
    return end + length;
}

void* TextHelpers::FillBytes(void* buffer, unsigned char value, int count)
{
    if (buffer && count > 0) {
        std::memset(buffer, value, static_cast<size_t>(count));
        static_cast<char*>(buffer)[count] = '\0';
    }
    return buffer;
}

char* TextHelpers::ReplaceChar(char* text, char oldChar, char newChar)
{
    if (!text) return nullptr;
    for (char* p = text; *p; ++p)
        if (*p == oldChar) *p = newChar;
    return text;
}

char* TextHelpers::TrimRight(char* text)
{
    if (!text) return nullptr;
    char* end = text + std::strlen(text);
    while (end > text && IsSpace(end[-1])) --end;
    *end = '\0';
    return end;
}

bool TextHelpers::IsBlank(const char* text)
{
    if (!text) return true;
    for (; *text; ++text)
        if (*text != ' ') return false;
    return true;
}

char* TextHelpers::Capitalize(char* text)
{
    if (!text) return nullptr;
    for (char* p = text; *p; ++p) *p = Lower(*p);
    if (*text) *text = Upper(*text);
    return text;
}

char* TextHelpers::FindNoCase(const char* text, const char* pattern)
{
    if (!text || !*text || !pattern) return nullptr;
    size_t patternLength = std::strlen(pattern);
    for (const char* p = text; *p; ++p) {
        size_t i = 0;
        while (i < patternLength && p[i] && Lower(p[i]) == Lower(pattern[i])) ++i;
        if (i == patternLength) return const_cast<char*>(p);
    }
    return nullptr;
}

char* TextHelpers::TrimLeft(char* text)
{
    if (!text) return nullptr;
    char* start = text;
    while (*start && IsSpace(*start)) ++start;
    if (start != text) std::memmove(text, start, std::strlen(start) + 1);
    return text;
}

bool TextHelpers::RemoveAll(char* text, const char* pattern)
{
    if (!text || !pattern || !*pattern) return false;
    size_t patternLength = std::strlen(pattern);
    bool removed = false;
    char* p = text;
    while ((p = std::strstr(p, pattern)) != nullptr) {
        std::memmove(p, p + patternLength, std::strlen(p + patternLength) + 1);
        removed = true;
    }
    return removed;
}
