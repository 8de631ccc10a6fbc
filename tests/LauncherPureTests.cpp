// Search-plugin parser, query addresses, icon decoder, lists file, command
// lines and console text: the parts without the operating system (also
// built natively with the sanitizers).
#include <doctest/doctest.h>

#include "tests/IconSamples.h"
#include "tests/RuntimeArguments.h"
#include "launchers/ApplicationCommandLine.h"
#include "launchers/IconDecoder.h"
#include "launchers/ListsFileFormat.h"
#include "launchers/QueryUrl.h"
#include "launchers/SearchEngine.h"
#include "launchers/SearchPluginParser.h"
#include "launchers/Utf8Text.h"
#include "tools/ConsoleTextFilter.h"
#include "tools/ConsoleTextLimit.h"

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Inputs(const SearchEngine& engine)
{
    std::string out;
    for (const auto& input : engine.aInputs) out += input.first + "=" + input.second + ";";
    return out;
}

const char kPlain[] = "<search\n name=\"Finder\"\n description=\"Finds\"\n action=\"https://find.example/q\"\n>\n"
                      "<input name=\"q\" user>\n<input name=\"lang\" value=\"en\">\n</search>\n";

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

TEST_SUITE("launchers")
{
    TEST_CASE("search plugin parser quirks")
    {
        struct Case {
            const char* what;
            std::string text;
            bool valid;
            const char* name;
            const char* description;
            const char* action;
            const char* user;
            const char* inputs;
        };
        const std::string bigLine(1024 * 1024, 'x');
        static const char kNul[] = "<search\nname=N\naction=http://a/\n>\n<input name=q user>\n\0</search>";
        const Case cases[] = {
            {"plain", kPlain, true, "Finder", "Finds", "https://find.example/q", "q", "lang=en;"},
            {"description first: name overwrites it",
             "<search\ndescription=\"D\"\nname=\"N\"\naction=http://a/\n>\n<input name=q user>\n</search>", true, "N",
             "N", "http://a/", "q", ""},
            {"two actions: the first counts",
             "<search\nname=N\naction=http://one/\naction=http://two/\n>\n<input name=q user>\n</search>", true, "N",
             "N", "http://one/", "q", ""},
            {"next/prev anywhere: ignored",
             "<search\nname=N\naction=http://a/\n>\n<input name=\"a\" value=\"nextpage\">\n"
             "<input name=\"PREV\" value=\"1\">\n<input name=q user>\n</search>",
             true, "N", "N", "http://a/", "q", ""},
             {"a value holding user is the user line; only the first counts",
             "<search\nname=N\naction=http://a/\n>\n<input name=\"u\" value=\"username\">\n"
             "<input name=\"q\" user>\n</search>",
             true, "N", "N", "http://a/", "u", ""},
            {"attribute on the line of the closing >: not read",
             "<search\nname=N\naction=\"http://a/\">\n<input name=q user>\n</search>", false, "N", "N", "", "q", ""},
            {"unquoted value at the line end: the rest of the line",
             "<search\nname=Tool\taction\naction=http://a/b\n>\n<input name=q user>\n</search>", true, "Tool",
             "Tool", "http://a/b", "q", ""},
            {"CR LF lines and upper-case words",
             "<SEARCH\r\nNAME=\"N\"\r\nAction=\"http://a/\"\r\n>\r\n<INPUT NAME=\"q\" USER>\r\n</Search>", true, "N",
             "N", "http://a/", "q", ""},
            {"comments are skipped",
             "<search\n# name=\"Hidden\"\nname=N\naction=http://a/\n>\n# <input name=x user>\n<input name=q user>\n"
             "</search>",
             true, "N", "N", "http://a/", "q", ""},
            {"</search> before <search", "</search><search\nname=N\naction=http://a/\n>\n<input name=q user>\n",
             false, "", "", "", "", ""},
            {"no >\\n after the tag", "<search name=N action=http://a/><input name=q user></search>", false, "", "",
             "", "", ""},
            {"open quote", "<search\nname=\"N\naction=http://a/\n>\n<input name=q user>\n</search>", false, "", "",
             "http://a/", "q", ""},
            {"NUL ends the text", std::string(kNul, sizeof(kNul) - 1),
             false, "", "", "", "", ""},
            {"file: action refused", "<search\nname=N\naction=file:///c:/x.exe\n>\n<input name=q user>\n</search>",
             false, "N", "N", "file:///c:/x.exe", "q", ""},
            {"1 MB line", "<search\n" + bigLine + "\nname=N\naction=http://a/\n>\n<input name=q user>\n</search>",
             true, "N", "N", "http://a/", "q", ""},
        };
        for (const Case& c : cases) {
            CAPTURE(c.what);
            SearchEngine engine;
            const auto start = std::chrono::steady_clock::now();
            CHECK(SearchPluginParser::ParseSearchPlugin(c.text, engine) == c.valid);
            CHECK(Seconds(start) < 2.0);
            CHECK(engine.strName == c.name);
            CHECK(engine.strDescription == c.description);
            CHECK(engine.strAction == c.action);
            CHECK(engine.strUserParam == c.user);
            CHECK(Inputs(engine) == c.inputs);
        }
    }

    TEST_CASE("attribute values")
    {
        struct Case {
            const char* line;
            const char* key;
            bool found;
            const char* value;
        };
        const Case cases[] = {
            {"  name=\"Big Engine\"", "name", true, "Big Engine"},
            {"name = two words", "name", true, "two"},
            {"name=tabbed\tvalue", "name", true, "tabbed"},
            {"name=   ", "name", true, ""},
            {"name=\"\"", "name", false, ""},
            {"name=\"open", "name", false, ""},
            {"xname=1", "name", true, "1"},  // the key is found anywhere
            {"name x=1", "name", false, ""},
            {"value=\"a\" name=\"b\"", "name", true, "b"},
            {"value=\"my name\" name=\"q\"", "name", false, ""},
            {"name=a value=\"quoted later\"", "name", true, "quoted later"},
            {"nothing here", "name", false, ""},
        };
        for (const Case& c : cases) {
            CAPTURE(c.line);
            std::string value;
            CHECK(SearchPluginParser::ReadAttribute(c.line, c.key, value) == c.found);
            if (c.found) CHECK(value == c.value);
        }
    }

    TEST_CASE("query addresses are encoded")
    {
        SearchEngine engine;
        REQUIRE(SearchPluginParser::ParseSearchPlugin(kPlain, engine));
        CHECK(QueryUrl::BuildQueryUrl(engine, "a b&c.exe") == "https://find.example/q?q=a%20b%26c.exe&lang=en");
        CHECK(QueryUrl::BuildQueryUrl(engine, "#%+\"") == "https://find.example/q?q=%23%25%2B%22&lang=en");
        CHECK(QueryUrl::BuildQueryUrl(engine, "\xC3\xA9-_.~") == "https://find.example/q?q=%C3%A9-_.~&lang=en");

        engine.strAction = "https://find.example/s?site=1";
        CHECK(QueryUrl::BuildQueryUrl(engine, "x") == "https://find.example/s?site=1&q=x&lang=en");
        engine.strAction = "https://find.example/s?";
        CHECK(QueryUrl::BuildQueryUrl(engine, "x") == "https://find.example/s?q=x&lang=en");
        // A hostile plugin cannot break out of the browser's quoted argument.
        engine.strAction = "https://find.example/a b\"c#frag";
        engine.aInputs = {{"k y", "v\"%41"}};
        CHECK(QueryUrl::BuildQueryUrl(engine, "x") == "https://find.example/a%20b%22c?q=x&k%20y=v%22%41");

        CHECK(SearchEngine::IsWebAddress("HTTPS://x"));
        CHECK_FALSE(SearchEngine::IsWebAddress("https://"));
        CHECK_FALSE(SearchEngine::IsWebAddress("file:///c:/windows/notepad.exe"));
        CHECK_FALSE(SearchEngine::IsWebAddress("javascript:alert(1)"));
    }

    TEST_CASE("addresses keep every script in UTF-8; the ASCII form escapes it; the bounds")
    {
        // Host, path and parameters in Cyrillic and CJK, straight from a UTF-8 file.
        const std::string host = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.\xD1\x80\xD1\x84";  // пример.рф
        const std::string path = "\xE6\xA4\x9C\xE7\xB4\xA2";                                          // 検索
        const std::string param = "\xD0\xB7\xD0\xB0\xD0\xBF";                                          // зап
        const std::string src = "<search\n name=\"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xBC\"\n action=\"https://" + host + "/"
                              + path + "\"\n>\n<input name=\"" + param + "\" user>\n<input name=\"l\" value=\"" + path
                              + "\">\n</search>\n";
        SearchEngine engine;
        REQUIRE(SearchPluginParser::ParseSearchPlugin(src, engine));
        CHECK(engine.strAction == "https://" + host + "/" + path);
        CHECK(engine.strUserParam == param);
        CHECK(Inputs(engine) == "l=" + path + ";");
        const std::string url = QueryUrl::BuildQueryUrl(engine, "a b.exe");
        CHECK(url == "https://" + host + "/" + path + "?%D0%B7%D0%B0%D0%BF=a%20b.exe&l=%E6%A4%9C%E7%B4%A2");
        CHECK(QueryUrl::AsciiForm(url)
              == "https://%D0%BF%D1%80%D0%B8%D0%BC%D0%B5%D1%80.%D1%80%D1%84/%E6%A4%9C%E7%B4%A2"
                 "?%D0%B7%D0%B0%D0%BF=a%20b.exe&l=%E6%A4%9C%E7%B4%A2");
        std::u16string wide;
        CHECK(Utf8Text::Decode(url, wide));

        // What may not show as it is: controls (C1 too), odd spaces, direction
        // marks, bytes that are no UTF-8.
        CHECK(QueryUrl::CleanAction("https://a/\xC2\x85x\xE2\x80\xAEy\xE3\x80\x80z\xFF\xC3") ==
              "https://a/%C2%85x%E2%80%AEy%E3%80%80z%FF%C3");
        CHECK(QueryUrl::CleanAction("https://a/\xC3\xA9t\xC3\xA9") == "https://a/\xC3\xA9t\xC3\xA9");
        CHECK(QueryUrl::AsciiForm("plain?x=1") == "plain?x=1");

        // The address is bounded: 2,048 bytes are fine, 2,049 make the plugin invalid.
        auto withAction = [](size_t length) {
            const std::string start = "https://a.example/";
            return "<search\nname=N\naction=" + start + std::string(length - start.size(), 'p')
                 + "\n>\n<input name=q user>\n</search>\n";
        };
        CHECK(SearchPluginParser::ParseSearchPlugin(withAction(SearchEngine::kMaxAddress), engine));
        CHECK(engine.strAction.size() == 2048);
        CHECK_FALSE(SearchPluginParser::ParseSearchPlugin(withAction(SearchEngine::kMaxAddress + 1), engine));
        CHECK(engine.strAction.size() == 2049);
        // So is the number of fixed inputs: 64 are fine, 65 make it invalid, and no more are kept.
        auto withInputs = [](size_t count) {
            std::string text = "<search\nname=N\naction=https://a.example/\n>\n<input name=q user>\n";
            for (size_t i = 0; i < count; ++i) text += "<input name=k" + std::to_string(i) + " value=v>\n";
            return text + "</search>\n";
        };
        CHECK(SearchPluginParser::ParseSearchPlugin(withInputs(64), engine));
        CHECK(engine.aInputs.size() == 64);
        CHECK_FALSE(SearchPluginParser::ParseSearchPlugin(withInputs(5000), engine));
        CHECK(engine.aInputs.size() == 65);
    }

    TEST_CASE("the built-in engine's site follows the language")
    {
        const char* codes[][2] = {{"en", "com"}, {"de", "de"}, {"FR", "fr"}, {"es", "es"}, {"it", "it"},
                                  {"nl", "nl"}, {"ja", "com"}, {"da", "com"}, {"", "com"}};
        for (const auto& code : codes) CHECK(QueryUrl::BuiltinDomain(code[0]) == code[1]);
        SearchEngine engine;
        QueryUrl::MakeBuiltinEngine("de", engine);
        CHECK(engine.IsValid());
        CHECK(QueryUrl::BuildQueryUrl(engine, "a b") == "https://www.google.de/search?q=a%20b");
        CHECK(QueryUrl::LanguagePrefix(0x0407) == "de");
        CHECK(QueryUrl::LanguagePrefix(0x0C0A) == "es");
        CHECK(QueryUrl::LanguagePrefix(0x0409) == "en");
        CHECK(QueryUrl::LanguagePrefix(0x0411) == "en");
    }

    TEST_CASE("UTF-8 decoding is strict")
    {
        std::u16string wide;
        CHECK(Utf8Text::Decode("\xEF\xBB\xBFh\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", wide));
        CHECK(wide == u"h\u00E9\u20AC\U0001F600");
        CHECK(Utf8Text::Encode(wide) == "h\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
        for (const char* bad : {"\xE9t\xE9", "\xC0\xAF", "\xED\xA0\x80", "ab\xE2\x82", "\xF4\x90\x80\x80", "\xFF"})
            CHECK_FALSE(Utf8Text::Decode(bad, wide));
        CHECK(Utf8Text::Encode(std::u16string(1, u'\xD800')) == "\xEF\xBF\xBD");
    }

    TEST_CASE("icons: pictures become 16 x 16 with a mask")
    {
        IconImage icon;
        std::vector<uint32_t> pixels(16 * 16, 0xFF2040C0u);
        pixels[0] = 0x00000000u;
        const IconSamples::Bytes png = IconSamples::Png(16, 16, pixels);
        REQUIRE(IconDecoder::Decode(png.data(), png.size(), SearchEngine::IconPng, icon));
        CHECK(icon.At(5, 5) == 0xFF2040C0u);
        CHECK(icon.Transparent(0, 0));

        // 32 x 32 halves: box-averaged down.
        std::vector<uint32_t> halves(32 * 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) halves[static_cast<size_t>(y) * 32 + x] = x < 16 ? 0xFFFF0000u : 0xFF0000FFu;
        const IconSamples::Bytes big = IconSamples::Png(32, 32, halves);
        REQUIRE(IconDecoder::Decode(big.data(), big.size(), SearchEngine::IconPng, icon));
        CHECK(icon.At(2, 2) == 0xFFFF0000u);
        CHECK(icon.At(13, 2) == 0xFF0000FFu);

        // ICO: the entry nearest 16 x 16, every depth, AND mask and alpha.
        for (unsigned depth : {1u, 4u, 8u, 24u, 32u}) {
            CAPTURE(depth);
            const IconSamples::Bytes ico = IconSamples::Ico(
                {{32, IconSamples::Dib(32, depth, 0xFF0000, 0)}, {16, IconSamples::Dib(16, depth, 0x00C000, 4)}});
            REQUIRE(IconDecoder::Decode(ico.data(), ico.size(), SearchEngine::IconIco, icon));
            CHECK((icon.At(8, 8) & 0xFFFFFF) == 0x00C000u);
            CHECK_FALSE(icon.Transparent(8, 8));
            CHECK(icon.Transparent(2, 8));
        }
        const IconSamples::Bytes alpha = IconSamples::Ico({{16, IconSamples::Dib(16, 32, 0x102030, 0, 0x40)}});
        REQUIRE(IconDecoder::Decode(alpha.data(), alpha.size(), SearchEngine::IconIco, icon));
        CHECK(icon.At(3, 3) == 0x40102030u);
        const IconSamples::Bytes pngInIco = IconSamples::Ico({{16, png}});
        REQUIRE(IconDecoder::Decode(pngInIco.data(), pngInIco.size(), SearchEngine::IconIco, icon));
        CHECK(icon.At(5, 5) == 0xFF2040C0u);
    }

    TEST_CASE("icons: hostile files are refused fast, memory capped")
    {
        IconImage icon;
        const auto start = std::chrono::steady_clock::now();
        const IconSamples::Bytes png = IconSamples::Png(16, 16, std::vector<uint32_t>(16 * 16, 0xFF808080u));
        std::vector<uint32_t> one(1, 0xFFFFFFFFu);
        const IconSamples::Bytes huge = IconSamples::Png(1, 1, one, 65535, 65535);
        CHECK_FALSE(IconDecoder::Decode(huge.data(), huge.size(), SearchEngine::IconPng, icon));
        const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x2C, 0, 0, 0, 0,
                               0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
        CHECK_FALSE(IconDecoder::Decode(gif, sizeof(gif), SearchEngine::IconGif, icon));
        const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0xFF, 0xFF, 0xFF, 0xFF, 1, 1, 0x11, 0, 0xFF, 0xD9};
        CHECK_FALSE(IconDecoder::Decode(jpeg, sizeof(jpeg), SearchEngine::IconJpeg, icon));

        // A Huffman table of 510 symbols (the library would write past its 256).
        std::vector<uint8_t> tables = {0xFF, 0xD8, 0xFF, 0xC4, 0x02, 0x11, 0x00};
        for (int bits = 1; bits <= 16; ++bits) tables.push_back(bits >= 15 ? 255 : 0);
        tables.resize(tables.size() + 510, 0);
        tables.insert(tables.end(), {0xFF, 0xD9});
        CHECK_FALSE(IconDecoder::Decode(tables.data(), tables.size(), SearchEngine::IconJpeg, icon));

        // Fits the file limit, inflates to 30 MB.
        const IconSamples::Bytes bomb = IconSamples::DeflateBombPng(256, 256, 30u * 1024 * 1024);
        REQUIRE(bomb.size() <= IconDecoder::kMaxFileSize);
        CHECK_FALSE(IconDecoder::Decode(bomb.data(), bomb.size(), SearchEngine::IconPng, icon));
        CHECK(IconDecoder::LastLibraryPeak() <= IconDecoder::kMaxLibraryMemory);

        // ICO: a count of 65535, offsets past the end, a bad depth, cut files.
        IconSamples::Bytes many = IconSamples::Ico({{16, IconSamples::Dib(16, 8, 0xFF, 0)}});
        many[4] = many[5] = 0xFF;
        CHECK_FALSE(IconDecoder::Decode(many.data(), many.size(), SearchEngine::IconIco, icon));
        IconSamples::Bytes far = IconSamples::Ico({{16, IconSamples::Dib(16, 8, 0xFF, 0)}});
        far[18] = 0xF0;
        far[19] = 0xFF;
        CHECK_FALSE(IconDecoder::Decode(far.data(), far.size(), SearchEngine::IconIco, icon));
        IconSamples::Bytes depth = IconSamples::Ico({{16, IconSamples::Dib(16, 8, 0xFF, 0)}});
        depth[22 + 14] = 7;
        CHECK_FALSE(IconDecoder::Decode(depth.data(), depth.size(), SearchEngine::IconIco, icon));
        const IconSamples::Bytes whole = IconSamples::Ico({{16, IconSamples::Dib(16, 24, 0xFF, 3)}, {16, png}});
        for (size_t cut = 0; cut < whole.size(); ++cut) IconDecoder::Decode(whole.data(), cut, SearchEngine::IconIco, icon);
        for (size_t cut = 0; cut < png.size(); cut += 7) IconDecoder::Decode(png.data(), cut, SearchEngine::IconPng, icon);
        std::vector<uint8_t> oversize(IconDecoder::kMaxFileSize + 1, 0);
        std::memcpy(oversize.data(), png.data(), png.size());
        CHECK_FALSE(IconDecoder::Decode(oversize.data(), oversize.size(), SearchEngine::IconPng, icon));
        CHECK(Seconds(start) < 3.0);
    }

    TEST_CASE("lists file: escapes, order, bad lines skipped")
    {
        ListsFileFormat::Contents contents;
        contents.applications.push_back({"Dependency\tWalker", "C:\\Tools\\depends.exe", "C:\\Tools\\", "/c \"%m\""});
        contents.applications.push_back({"Viewer", "view.exe", "", "%m"});
        contents.engines = {"bing.src", "D:\\plugins\\new\nline.src"};
        const std::string text = ListsFileFormat::Write(contents);
        CHECK(text.find("app\tDependency\\tWalker\tC:\\\\Tools\\\\depends.exe\t") != std::string::npos);
        const ListsFileFormat::Contents back = ListsFileFormat::Parse(text);
        REQUIRE(back.applications.size() == 2);
        CHECK(back.applications[0].strDescription == "Dependency\tWalker");
        CHECK(back.applications[0].strArguments == "/c \"%m\"");
        CHECK(back.applications[1].strApplication == "view.exe");
        CHECK(back.engines == contents.engines);

        const std::string bad = "app\tonly\tthree\n"
                                "app\t\tno description.exe\t\t%m\n"
                                "app\tBad\\qEscape\tx.exe\t\t%m\n"
                                "app\t" + std::string(260, 'L') + "\tx.exe\t\t%m\n"
                                "engine\n"
                                "engine\ta\tb\n"
                                "tool\tx\n"
                                "engine\tgood.src\r\n"
                                "app\tGood\tg.exe\tC:\\\\\t%m";
        const ListsFileFormat::Contents kept = ListsFileFormat::Parse(bad);
        REQUIRE(kept.applications.size() == 1);
        CHECK(kept.applications[0].strStartPath == "C:\\");
        CHECK(kept.engines == std::vector<std::string>{"good.src"});
    }

    TEST_CASE("command lines of user-defined applications")
    {
        std::string line;
        const std::string spaced = "C:\\Program Files\\App\\my x.dll";
        CHECK(ApplicationCommandLine::ForProcess("C:\\Tools\\depends.exe", "%m /x %m", spaced, line));
        CHECK(line == "depends.exe \"" + spaced + "\" /x \"" + spaced + "\"");
        CHECK(ApplicationCommandLine::ForProcess("C:\\My Tools\\dep walk.exe", "\"%m\"", spaced, line));
        CHECK(line == "\"dep walk.exe\" \"" + spaced + "\"");
        CHECK(ApplicationCommandLine::ForProcess("C:\\T\\t.exe", "-o \"out of %m.txt\"", spaced, line));
        CHECK(line == "t.exe -o \"out of " + spaced + ".txt\"");
        CHECK(ApplicationCommandLine::ForProcess("tool.exe", "%m", "C:\\x.dll", line));
        CHECK(line == "tool.exe \"C:\\x.dll\"");
        CHECK(ApplicationCommandLine::ForProcess("C:\\T\\t.exe", "%m %m", "C:\\%m\\x.dll", line));
        CHECK(line == "t.exe \"C:\\%m\\x.dll\" \"C:\\%m\\x.dll\"");
        CHECK(ApplicationCommandLine::ForProcess("C:\\T\\t.exe", "", "C:\\x.dll", line));
        CHECK(line == "t.exe");
        CHECK(ApplicationCommandLine::ForConsole("C:\\Program Files\\T\\t.exe", "/v %m", spaced, line));
        CHECK(line == "\"C:\\Program Files\\T\\t.exe\" /v \"" + spaced + "\"");

        const std::string longPath = "C:\\" + std::string(250, 'p') + ".dll";
        std::string many;
        for (int i = 0; i < 130; ++i) many += "%m ";
        line = "untouched";
        CHECK_FALSE(ApplicationCommandLine::ForProcess("C:\\T\\t.exe", many, longPath, line));
        CHECK_FALSE(ApplicationCommandLine::ForConsole("C:\\T\\t.exe", many, longPath, line));
        std::string fits;
        for (int i = 0; i < 120; ++i) fits += "%m ";
        CHECK(ApplicationCommandLine::ForProcess("C:\\T\\t.exe", fits, longPath, line));
        CHECK(line.size() <= ApplicationCommandLine::kMaxLength);
    }

    TEST_CASE("the module path is one argument whatever it holds; the command interpreter gets no metacharacters")
    {
        std::string line;
        // A path a hostile process shows: the quote must not end the argument.
        const std::string hostile = "C:\\a b\" -opt \"x.dll";
        REQUIRE(ApplicationCommandLine::ForProcess("C:\\T\\t.exe", "%m", hostile, line));
        CHECK(line == "t.exe \"C:\\a b\\\" -opt \\\"x.dll\"");
        CHECK(RuntimeArguments(line) == (std::vector<std::string>{"t.exe", hostile}));
        REQUIRE(ApplicationCommandLine::ForConsole("C:\\T\\t.exe", "/v %m -o \"in %m\"", hostile, line));
        CHECK(RuntimeArguments(line) == (std::vector<std::string>{"C:\\T\\t.exe", "/v", hostile, "-o", "in " + hostile}));
        REQUIRE(ApplicationCommandLine::ForProcess("t.exe", "%m", "C:\\R&D\\x.dll", line));
        CHECK(line == "t.exe \"C:\\R&D\\x.dll\"");

        // Every path of up to six characters from \\, ", space, tab and a comes
        // back as it was, alone and inside the template's own quotes.
        const char alphabet[] = {'\\', '"', ' ', '\t', 'a'};
        std::vector<std::string> paths = {""};
        for (size_t start = 0, length = 0; length < 6; ++length) {
            const size_t end = paths.size();
            for (size_t i = start; i < end; ++i)
                for (char c : alphabet) paths.push_back(paths[i] + c);
            start = end;
        }
        size_t checked = 0;
        for (const std::string& path : paths) {
            CAPTURE(path);
            REQUIRE(ApplicationCommandLine::ForProcess("t.exe", "x %m y \"<%m>\" \"%m\"", path, line));
            REQUIRE(RuntimeArguments(line) == (std::vector<std::string>{"t.exe", "x", path, "y", "<" + path + ">", path}));
            ++checked;
        }
        CHECK(checked == 19531);

        // Batch files and the interpreter itself: a path with a metacharacter is refused.
        for (const char* program : {"tool.bat", "C:\\x\\TOOL.CMD", "C:\\Windows\\system32\\cmd.exe", "COMMAND.COM",
                                    "run.bat.", "C:/x/run.cmd"})
            CHECK(ApplicationCommandLine::RunsThroughInterpreter(program));
        for (const char* program : {"batch.exe", "x.bat.exe", "cmdx.exe", "C:\\cmd.exe\\t.exe", "bat"})
            CHECK_FALSE(ApplicationCommandLine::RunsThroughInterpreter(program));
        for (const char* path : {"C:\\R&D\\x.dll", "C:\\a\"b.dll", "C:\\100%\\x.dll", "C:\\hi!\\x.dll", "C:\\a^b.dll",
                                 "C:\\a|b.dll", "C:\\a<b.dll", "C:\\a>b.dll", "C:\\a\tb.dll", "C:\\a\x7F.dll"}) {
            CAPTURE(path);
            line = "untouched";
            CHECK_FALSE(ApplicationCommandLine::ForProcess("C:\\T\\tool.bat", "%m", path, line));
            CHECK_FALSE(ApplicationCommandLine::ForConsole("C:\\Windows\\cmd.exe", "/c type %m", path, line));
            CHECK(line == "untouched");
            CHECK(ApplicationCommandLine::ForProcess("C:\\T\\tool.exe", "%m", path, line));
        }
        CHECK(ApplicationCommandLine::ForProcess("C:\\T\\tool.bat", "%m", "C:\\My (x86) Files\\a=b;c,d.dll", line));
        CHECK(line == "tool.bat \"C:\\My (x86) Files\\a=b;c,d.dll\"");
        // Without "%m" the path goes nowhere, so nothing to refuse.
        CHECK(ApplicationCommandLine::ForProcess("C:\\T\\tool.bat", "/list", "C:\\R&D\\x.dll", line));
        CHECK(line == "tool.bat /list");
    }

    TEST_CASE("console text: the window keeps the last part, cut at a line, after one dropped line")
    {
        ConsoleTextLimit limit(100, 20);
        limit.SetDroppedLine("dropped\r\nsecond");
        std::string window;  // what the edit would hold
        auto apply = [&](const ConsoleTextLimit::Change& change) {
            if (change.bReplace) window = change.strText;
            else window += change.strText;
        };
        apply(limit.Add("line 1\r\n", false));
        CHECK_FALSE(limit.Add("", false).bReplace);
        CHECK(window == "line 1\r\n");
        CHECK_FALSE(limit.HasDropped());
        // Past the limit: cut back to 80 at a line start, the dropped line first (made one line).
        std::string all = "line 1\r\n";
        for (int i = 2; i <= 20; ++i) {
            const std::string line = "line " + std::to_string(i) + "\r\n";
            all += line;
            apply(limit.Add(line, false));
            CHECK(window == limit.Shown());
            CHECK(window.size() <= 100);
        }
        REQUIRE(limit.HasDropped());
        CHECK(window.rfind("dropped  second\r\nline ", 0) == 0);
        CHECK(window.size() <= 100);
        const std::string body = window.substr(std::string("dropped  second\r\n").size());
        CHECK(all.compare(all.size() - body.size(), body.size(), body) == 0);
        CHECK(body.size() < all.size());
        // More than the limit in one piece: only its tail, from a line start.
        std::string big;
        for (int i = 0; i < 100; ++i) big += "big " + std::to_string(i) + "\r\n";
        apply(limit.Add(big, false));
        CHECK(window.size() <= 100);
        CHECK(window.substr(window.size() - 8) == "big 99\r\n");
        CHECK(window.find("\r\nbig ") == std::string("dropped  second").size());
        // Text that does not follow what is shown: replaces it, from its first line start.
        apply(limit.Add("tial line\r\nnext\r\n", true));
        CHECK(window == "dropped  second\r\nnext\r\n");

        // A long run of lines of every length: never past the limit, the newest text always at the end.
        ConsoleTextLimit bounded(4096, 512);
        window.clear();
        std::string last;
        for (int i = 0; i < 20000; ++i) {
            last = std::string(static_cast<size_t>(i * 7919 % 700), 'x') + std::to_string(i) + "\n";
            apply(bounded.Add(last, i % 997 == 0));
            REQUIRE(window.size() <= 4096);
            REQUIRE(window.size() >= last.size());
            REQUIRE(window.compare(window.size() - last.size(), last.size(), last) == 0);
        }
        CHECK(window == bounded.Shown());
    }

    TEST_CASE("console text: OEM chunks become edit text")
    {
        ConsoleTextFilter plain;
        CHECK(plain.Filter("a\nb\r\nc", 6) == "a\r\nb\r\nc");
        CHECK(plain.Filter("nul[\0]", 6) == "nul[ ]");
        CHECK(plain.Filter("line\r", 5) == "line");
        CHECK(plain.Filter("\nnext\r", 6) == "\r\nnext");
        CHECK(plain.Filter("x", 1) == "\rx");
        CHECK(plain.Filter("\r", 1).empty());
        CHECK(plain.Flush() == "\r");

        bool lead[256] = {};
        lead[0x81] = true;
        ConsoleTextFilter dbcs(lead, [](char* text, size_t length) {
            for (size_t i = 0; i < length; ++i)
                if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
        });
        CHECK(dbcs.Filter("ab\x81", 3) == "AB");
        CHECK(dbcs.Filter("\x40z\n", 3) == "\x81\x40Z\r\n");
        CHECK(dbcs.Filter("\x81", 1).empty());
        CHECK(dbcs.Flush() == "\x81");
    }
}
