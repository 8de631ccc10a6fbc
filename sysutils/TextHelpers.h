#pragma once

#include <cstddef>
#include <cstdint>

// Path, text and number helpers of the system utility library. Nothing here
// calls the operating system.
class TextHelpers {
public:
    static int CopyFileNamePart(const char* path, char* buffer, int bufferSize);
    static int IsWin32Path(const char* path);
    // Strips a leading "\??\" style prefix; a path that then begins with
    // "\SystemRoot\" gets windowsDir in its place.
    static int FixNativePath(char* path, int bufferSize, const char* windowsDir);
    static const char* GetFileNamePart(const char* path);

    static uint32_t BytesToKB(uint32_t bytes);
    static uint32_t BytesToMB(uint32_t bytes);
    static uint32_t BytesToGB(uint32_t bytes);
    // Rounds half up to `digits` decimals; defined for every input (negative
    // values, values of 2^32 and more, NaN and infinities included).
    static double RoundToDecimals(double value, int digits);

    static bool IsUncPath(const char* path);
    static bool HasShortNameMarker(const char* text);
    static int CompareUnsigned(uint32_t a, uint32_t b);
    static int CountSetBits(uint32_t value);

    static char* CollapseWhitespace(char* text);
    static char* AppendMultiString(char* position, const char* text);
    static void* FillBytes(void* buffer, unsigned char value, int count);
    static char* ReplaceChar(char* text, char oldChar, char newChar);
    static char* TrimRight(char* text);
    static bool IsBlank(const char* text);
    static char* Capitalize(char* text);
    static char* FindNoCase(const char* text, const char* pattern);
    static char* TrimLeft(char* text);
    static bool RemoveAll(char* text, const char* pattern);
};
