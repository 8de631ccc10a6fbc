// libFuzzer entry: search plugins, lists files and their follow-ups (the
// query address, UTF-8 decoding) on arbitrary text.
#include "launchers/ListsFileFormat.h"
#include "launchers/QueryUrl.h"
#include "launchers/SearchEngine.h"
#include "launchers/SearchPluginParser.h"
#include "launchers/Utf8Text.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::u16string wide;
    if (Utf8Text::Decode(text, wide)) Utf8Text::Encode(wide);
    SearchEngine engine;
    SearchPluginParser::ParseSearchPlugin(text, engine);
    const std::string url = QueryUrl::BuildQueryUrl(engine, text.substr(0, 64));
    // The ASCII form holds no byte beyond ASCII; the cleaned action no space, control or quote.
    for (char c : QueryUrl::AsciiForm(url))
        if (static_cast<unsigned char>(c) >= 0x80) __builtin_trap();
    for (char c : QueryUrl::CleanAction(text))
        if (static_cast<unsigned char>(c) <= 0x20 || c == '"' || c == 0x7F) __builtin_trap();
    if (engine.IsValid() && (engine.strAction.size() > SearchEngine::kMaxAddress
                             || engine.aInputs.size() > SearchEngine::kMaxInputs))
        __builtin_trap();
    if (engine.aInputs.size() > SearchEngine::kMaxInputs + 1) __builtin_trap();
    std::string value;
    SearchPluginParser::ReadAttribute(text, "name", value);
    ListsFileFormat::Write(ListsFileFormat::Parse(text));
    return 0;
}
