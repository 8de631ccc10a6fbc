// libFuzzer entry: module and executable paths as other processes show them.
#include "sysinfo/PathLocation.h"

#include <cctype>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);
    char drive = 0;
    const PathLocation::Kind kind = PathLocation::Classify(path, drive);
    if ((kind == PathLocation::Kind::DriveLetter) != (drive != 0)) __builtin_trap();
    if (drive && !std::isupper(static_cast<unsigned char>(drive))) __builtin_trap();
    // Every drive remote: a drive-letter path is then a network path.
    if (kind == PathLocation::Kind::DriveLetter && !PathLocation::IsNetwork(path, [](char) { return true; }))
        __builtin_trap();
    return 0;
}
