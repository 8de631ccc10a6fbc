// libFuzzer entry: a "Module" value from Language.ini (any bytes) is judged
// quietly, and a joined path never exceeds 259 characters.
#include "app/language/LanguageFiles.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string value(reinterpret_cast<const char*>(data), size);
    const bool isName = LanguageFiles::IsModuleName(value);
    std::string path;
    const std::string folder = size > 0 ? std::string(data[0], 'f') + "\\Language\\" : std::string();
    if (LanguageFiles::Join(folder, value, path) && path.size() > LanguageFiles::kMaxPath) __builtin_trap();
    if (isName && value.find('\\') != std::string::npos) __builtin_trap();
    const std::string help = LanguageFiles::HelpCandidate(folder, LanguageFiles::Prefix(size ? data[0] * 257u : 0));
    if (help.size() > LanguageFiles::kMaxPath) __builtin_trap();
    return 0;
}
