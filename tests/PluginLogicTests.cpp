// The plug-in host's and the language side's decisions, without the OS.
#include <doctest/doctest.h>

#include "app/language/LanguageChoiceList.h"
#include "app/language/LanguageFiles.h"
#include "app/pluginhost/PluginMenuFilter.h"
#include "app/pluginhost/PluginRecordCheck.h"
#include "app/pluginhost/PluginRequest.h"

#include <string>
#include <vector>

namespace {
PluginRecordFields Fields(uint32_t version, uint32_t size, uint8_t kind, const std::string& name)
{
    PluginRecordFields fields;
    fields.dwVersion = version;
    fields.dwSize = size;
    fields.nKind = kind;
    fields.strName = name;
    return fields;
}
} // namespace

TEST_SUITE("plugin logic")
{
    TEST_CASE("record verdicts: version and size, then the name, then the kind")
    {
        const std::vector<std::string> none;
        CHECK(PluginRecordCheck::Judge(Fields(0x00010001, 315, 1, "A"), none) == PluginVerdict::Accepted);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 2, "A"), none) == PluginVerdict::Accepted);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010003, 315, 1, "A"), none) == PluginVerdict::BadVersion);
        CHECK(PluginRecordCheck::Judge(Fields(0x00020002, 315, 1, "A"), none) == PluginVerdict::BadVersion);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 314, 1, "A"), none) == PluginVerdict::BadSize);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 316, 1, "A"), none) == PluginVerdict::BadSize);
        // Version is judged before size, size before the name.
        CHECK(PluginRecordCheck::Judge(Fields(7, 314, 1, "A"), none) == PluginVerdict::BadVersion);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010001, 0, 1, "A"), {"a"}) == PluginVerdict::BadSize);
        // Kinds other than 1 and 2; a duplicate wins over the kind.
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 0, "A"), none) == PluginVerdict::UnknownKind);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 3, "A"), none) == PluginVerdict::UnknownKind);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 3, "A"), {"a"}) == PluginVerdict::Duplicate);

        const std::vector<std::string> accepted = {"Set Priority", "", "\xC4rger"};
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 1, "SET PRIORITY"), accepted)
              == PluginVerdict::Duplicate);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 1, "set priority"), accepted)
              == PluginVerdict::Duplicate);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 1, "\xE4RGER"), accepted) == PluginVerdict::Duplicate);
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 1, "Set Priority "), accepted)
              == PluginVerdict::Accepted);
        // Nameless records are never compared: two of them are both accepted.
        CHECK(PluginRecordCheck::Judge(Fields(0x00010002, 315, 1, ""), accepted) == PluginVerdict::Accepted);

        PluginRecordFields decoded;
        const unsigned char bytes[17] = {0x02, 0, 1, 0, 0x3B, 1, 0, 0, 0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0, 2};
        REQUIRE(PluginRecordCheck::Decode(bytes, sizeof(bytes), decoded));
        CHECK(decoded.dwVersion == 0x00010002u);
        CHECK(decoded.dwSize == 315u);
        CHECK(decoded.pszName == 0x12345678u);
        CHECK(decoded.nKind == 2);
        CHECK_FALSE(PluginRecordCheck::Decode(bytes, 16, decoded));
        CHECK_FALSE(PluginRecordCheck::Decode(nullptr, 315, decoded));

        // The 64-bit layout: an 8-byte name pointer, the kind after two pointers.
        unsigned char wide[25] = {0x02, 0, 1, 0, 0x63, 1, 0, 0, 0x78, 0x56, 0x34, 0x12, 0x01, 0, 0, 0};
        wide[24] = 1;
        REQUIRE(PluginRecordCheck::Decode(wide, sizeof(wide), decoded, 8));
        CHECK(decoded.dwSize == PluginRecordCheck::kRecordSize64);
        CHECK(decoded.pszName == 0x112345678u);
        CHECK(decoded.nKind == 1);
        CHECK(PluginRecordCheck::Judge(decoded, none, PluginRecordCheck::kRecordSize64) == PluginVerdict::Accepted);
        CHECK(PluginRecordCheck::Judge(decoded, none) == PluginVerdict::BadSize);
        CHECK_FALSE(PluginRecordCheck::Decode(wide, 24, decoded, 8));

        CHECK(std::string(PluginRecordCheck::Name(PluginVerdict::UnknownKind)) == "unknown-kind");
        CHECK(std::string(PluginRecordCheck::Name(PluginVerdict::NullRecord)) == "null-record");
    }

    TEST_CASE("menu filter: which view offers what, and stable command ids")
    {
        const std::vector<PluginMenuFilter::Candidate> candidates = {
            {1, true},  // 0 processes
            {2, true},  // 1 files
            {1, false}, // 2 no name: never offered
            {2, false}, // 3 no name
            {2, true},  // 4 files
        };
        const auto processItems = PluginMenuFilter::Items(candidates, false);
        REQUIRE(processItems.size() == 3);
        CHECK(processItems[0].nIndex == 0);
        CHECK(processItems[0].nCommand == 1003);
        CHECK(processItems[1].nIndex == 1);
        CHECK(processItems[1].nCommand == 1004);
        CHECK(processItems[2].nIndex == 4);
        CHECK(processItems[2].nCommand == 1005);

        const auto moduleItems = PluginMenuFilter::Items(candidates, true);
        REQUIRE(moduleItems.size() == 2);
        CHECK(moduleItems[0].nIndex == 1);
        CHECK(moduleItems[0].nCommand == 1003);
        CHECK(moduleItems[1].nIndex == 4);
        CHECK(moduleItems[1].nCommand == 1004);

        // An id names the same plug-in as the menu item of that view.
        CHECK(PluginMenuFilter::IndexForCommand(candidates, false, 1005) == 4);
        CHECK(PluginMenuFilter::IndexForCommand(candidates, true, 1004) == 4);
        CHECK(PluginMenuFilter::IndexForCommand(candidates, true, 1005) == -1);
        CHECK(PluginMenuFilter::IndexForCommand(candidates, false, 1002) == -1);
        CHECK(PluginMenuFilter::IndexForCommand(candidates, false, 2002) == -1);
        CHECK(PluginMenuFilter::Items({}, false).empty());

        // Ids end at 2001: 999 items at most.
        const std::vector<PluginMenuFilter::Candidate> many(1200, PluginMenuFilter::Candidate{1, true});
        const auto capped = PluginMenuFilter::Items(many, false);
        REQUIRE(capped.size() == 999);
        CHECK(capped.back().nCommand == 2001);
        CHECK(PluginMenuFilter::IndexForCommand(many, false, 2001) == 998);
    }

    TEST_CASE("request data from each view")
    {
        std::vector<PluginRequest::Item> selection(3);
        selection[0].dwProcessId = 8;
        selection[0].strPath = "System";
        selection[0].bIdleOrSystem = true;
        selection[1].dwProcessId = 0x8123ABCD;
        selection[1].strPath = "C:\\A.EXE";
        selection[2].dwProcessId = 12;
        selection[2].strPath = "...";

        PluginRequest request;
        // Tree: only its one process; the system process has no file.
        REQUIRE(request.Build(PluginRequest::ProcessTree, 1, selection));
        CHECK(request.pids == std::vector<uint32_t>{8});
        CHECK_FALSE(request.Build(PluginRequest::ProcessTree, 2, selection));
        CHECK(request.Count() == 0);
        REQUIRE(request.Build(PluginRequest::ProcessTree, 2, {selection[1]}));
        CHECK(request.paths == std::vector<std::string>{"C:\\A.EXE"});
        // List: every selected process; paths only where there is a file.
        REQUIRE(request.Build(PluginRequest::ProcessList, 1, selection));
        CHECK(request.pids == (std::vector<uint32_t>{8, 0x8123ABCD, 12}));
        CHECK(request.paths.empty());
        REQUIRE(request.Build(PluginRequest::ProcessList, 2, selection));
        CHECK(request.paths == std::vector<std::string>{"C:\\A.EXE"});
        CHECK(request.Count() == 1);
        // Module list: files only.
        CHECK_FALSE(request.Build(PluginRequest::ModuleList, 1, selection));
        REQUIRE(request.Build(PluginRequest::ModuleList, 2, {selection[1], selection[1]}));
        CHECK(request.Count() == 2);
        // Nothing selected, or a kind no view offers.
        CHECK_FALSE(request.Build(PluginRequest::ProcessList, 1, {}));
        CHECK_FALSE(request.Build(PluginRequest::ProcessList, 3, selection));
    }

    TEST_CASE("language prefixes, module names and path limits")
    {
        CHECK(std::string(LanguageFiles::Prefix(0x0407)) == "de");
        CHECK(std::string(LanguageFiles::Prefix(0x0807)) == "de");
        CHECK(std::string(LanguageFiles::Prefix(0x0C0A)) == "es");
        CHECK(std::string(LanguageFiles::Prefix(0x040C)) == "fr");
        CHECK(std::string(LanguageFiles::Prefix(0x0410)) == "it");
        CHECK(std::string(LanguageFiles::Prefix(0x0813)) == "nl");
        CHECK(std::string(LanguageFiles::Prefix(0x0409)) == "en");
        CHECK(std::string(LanguageFiles::Prefix(0x0411)) == "en");
        CHECK(std::string(LanguageFiles::Prefix(0)) == "en");

        CHECK(LanguageFiles::IsModuleName("German_tarnwick.lang"));
        CHECK(LanguageFiles::IsModuleName("GERMAN_TARNWICK.LANG"));
        CHECK(LanguageFiles::IsModuleName("_tarnwick.lang"));
        CHECK_FALSE(LanguageFiles::IsModuleName(""));
        CHECK_FALSE(LanguageFiles::IsModuleName("German.lang"));
        CHECK_FALSE(LanguageFiles::IsModuleName("German_tarnwick.lang.bak"));
        CHECK_FALSE(LanguageFiles::IsModuleName("..\\German_tarnwick.lang"));
        CHECK_FALSE(LanguageFiles::IsModuleName("sub/German_tarnwick.lang"));
        CHECK_FALSE(LanguageFiles::IsModuleName("C:German_tarnwick.lang"));
        CHECK_FALSE(LanguageFiles::IsModuleName("*_tarnwick.lang"));
        CHECK_FALSE(LanguageFiles::IsModuleName(std::string("Ger\0man_tarnwick.lang", 21)));
        CHECK(LanguageFiles::IsModuleName(std::string(245, 'x') + "_tarnwick.lang"));
        CHECK_FALSE(LanguageFiles::IsModuleName(std::string(246, 'x') + "_tarnwick.lang"));

        // 259 characters fit a 260-byte buffer, 260 do not.
        std::string out = "unchanged";
        CHECK(LanguageFiles::Join(std::string(250, 'a'), std::string(9, 'b'), out));
        CHECK(out.size() == 259);
        out = "unchanged";
        CHECK_FALSE(LanguageFiles::Join(std::string(250, 'a'), std::string(10, 'b'), out));
        CHECK(out == "unchanged");
        CHECK_FALSE(LanguageFiles::Join(std::string(400, 'a'), "", out));

        CHECK(LanguageFiles::HelpCandidate("C:\\T\\", "de") == "C:\\T\\Doc\\de_tarnwick.htm");
        CHECK(LanguageFiles::HelpCandidate(std::string(240, 'a') + "\\", "de").empty());
        CHECK(LanguageFiles::HelpCandidate("C:\\T\\", nullptr).empty());
    }

    TEST_CASE("choose-language list: English first, installed modules, fixed image slots")
    {
        std::vector<LanguageChoiceList::Module> modules(4);
        modules[0] = {true, 0x040C, true, 0x1000};   // French: listed, image 1
        modules[1] = {true, 0x07FF, false, 0x2000};  // not installed: not listed, keeps image 2
        modules[2] = {false, 0, false, 0x3000};      // no information
        modules[3] = {true, 0x0407, true, 0x4000};   // German: image 4
        int selected = -1;
        auto items = LanguageChoiceList::Build(modules, 0x400000, 0x4000, &selected);
        REQUIRE(items.size() == 3);
        CHECK(items[0].nModule == -1);
        CHECK(items[0].nImage == 0);
        CHECK(items[0].wLanguageId == 1033);
        CHECK(items[0].data == 0x400000);
        CHECK(items[1].nImage == 1);
        CHECK(items[1].data == 0x1000);
        CHECK(items[2].nImage == 4);
        CHECK(items[2].wLanguageId == 0x0407);
        CHECK(selected == 2);

        items = LanguageChoiceList::Build(modules, 0x400000, 0x400000, &selected);
        CHECK(selected == 0);
        items = LanguageChoiceList::Build({}, 0x400000, 0x1234, &selected);
        CHECK(items.size() == 1);
        CHECK(selected == 0);
    }
}
