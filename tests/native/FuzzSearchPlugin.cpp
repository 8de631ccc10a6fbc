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
    QueryUrl::BuildQueryUrl(engine, text.substr(0, 64));
    std::string value;
    SearchPluginParser::ReadAttribute(text, "name", value);
    ListsFileFormat::Write(ListsFileFormat::Parse(text));
    return 0;
}
