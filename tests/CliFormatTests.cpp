#include <doctest/doctest.h>

// The console tool's framework without OS calls: the option parser, the help
// texts, the record writer and its escapers, the process filter. Built into
// the test program and into the native sanitizer build.
#include "cli/CliArguments.h"
#include "cli/CliHelp.h"
#include "cli/ProcessFilter.h"
#include "cli/RecordText.h"
#include "cli/RecordWriter.h"
#include "tools/WildcardMatch.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Handler(const CliArguments&)
{
    return 0;
}

const RecordSchema kNested = {
    "thing",
    {{"id", FieldType::Integer, "id"}, {"label", FieldType::Text, "label"}},
    {{"parts", "parts", {{"name", FieldType::Text, "name"}, {"size", FieldType::Integer, "size"}}},
     {"notes", "notes", {{"name", FieldType::Text, "name"}, {"ok", FieldType::Boolean, "ok"}}}}};

std::string Write(RecordWriter::Format format, const RecordSchema& schema, const std::vector<Record>& records)
{
    std::string out;
    RecordWriter writer(format, schema, [&out](const std::string& bytes) { out += bytes; });
    writer.Begin();
    for (const Record& record : records) writer.Write(record);
    writer.End();
    return out;
}

// Values that a careless writer would break: separators, quotes, line breaks,
// control characters, backslashes, non-ASCII letters, spaces at the ends,
// bytes that are no UTF-8. check_records.py reads the files written from
// them and expects exactly these (the last one with U+FFFD).
const char* const kHostile[] = {
    "plain",
    "a,b",
    "say \"hi\"",
    "line1\nline2\r\nline3\r",
    "caf\xC3\xA9 \xE2\x80\xA8 \xF0\x9F\x98\x80",
    "tab\there\\back\\slash",
    "\x01\x1F\x7F",
    "  spaced  ",
    "",
    "bad \xFF\xC3 utf8",
};

} // namespace

TEST_SUITE("cli formats")
{
    TEST_CASE("csv fields, json strings and ISO times")
    {
        CHECK(RecordText::CsvField("plain") == "plain");
        CHECK(RecordText::CsvField("a,b") == "\"a,b\"");
        CHECK(RecordText::CsvField("say \"hi\"") == "\"say \"\"hi\"\"\"");
        CHECK(RecordText::CsvField("l1\nl2") == "\"l1\nl2\"");
        CHECK(RecordText::CsvField("cr\r") == "\"cr\r\"");
        CHECK(RecordText::CsvField(" x") == "\" x\"");
        CHECK(RecordText::CsvField("C:\\dir\\caf\xC3\xA9") == "C:\\dir\\caf\xC3\xA9");
        CHECK(RecordText::CsvField("\xFF") == "\xEF\xBF\xBD");

        CHECK(RecordText::JsonString("C:\\a \"b\"") == "\"C:\\\\a \\\"b\\\"\"");
        CHECK(RecordText::JsonString("\n\r\t\b\f\x01\x7F") == "\"\\n\\r\\t\\b\\f\\u0001\\u007F\"");
        CHECK(RecordText::JsonString("caf\xC3\xA9\xE2\x80\xA8") == "\"caf\xC3\xA9\\u2028\"");
        // Overlong forms, surrogates and cut sequences are no UTF-8.
        CHECK(RecordText::ValidUtf8("\xC0\xAF") == "\xEF\xBF\xBD\xEF\xBF\xBD");
        CHECK(RecordText::ValidUtf8("\xED\xA0\x80") == "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
        CHECK(RecordText::ValidUtf8("x\xE2\x82") == "x\xEF\xBF\xBD\xEF\xBF\xBD");
        CHECK(RecordText::ValidUtf8("\xF4\x8F\xBF\xBF") == "\xF4\x8F\xBF\xBF");
        CHECK(RecordText::ValidUtf8("\xF4\x90\x80\x80").find("\xF4") == std::string::npos);

        CHECK(RecordText::IsoTime(2026, 12, 8, 18, 50, 55, 60) == "2026-12-08T18:50:55+01:00");
        CHECK(RecordText::IsoTime(1601, 1, 1, 0, 0, 0, 0) == "1601-01-01T00:00:00+00:00");
        CHECK(RecordText::IsoTime(2000, 2, 29, 23, 59, 9, -570) == "2000-02-29T23:59:09-09:30");
    }

    TEST_CASE("records in every format: the same fields, nested lists flattened, missing values")
    {
        Record first;
        first.Number(7).Text("a,\"b\"");
        first.lists.resize(2);
        first.List(0).push_back(Record().Text("x").Number(10));
        first.List(0).push_back(Record().Missing().Number(0));
        first.List(1).push_back(Record().Text("n\t1").Flag(true));
        Record second;  // no list entries, a missing label
        second.Number(8).Missing();

        CHECK(RecordWriter::Columns(kNested)
              == std::vector<std::string>{"id", "label", "section", "name", "size", "ok"});
        CHECK(Write(RecordWriter::Csv, kNested, {first, second})
              == "id,label,section,name,size,ok\r\n"
                 "7,\"a,\"\"b\"\"\",parts,x,10,\r\n"
                 "7,\"a,\"\"b\"\"\",parts,,0,\r\n"
                 "7,\"a,\"\"b\"\"\",notes,n\t1,,true\r\n"
                 "8,,,,,\r\n");
        CHECK(Write(RecordWriter::Tsv, kNested, {first, second})
              == "id\tlabel\tsection\tname\tsize\tok\n"
                 "7\ta,\"b\"\tparts\tx\t10\t\n"
                 "7\ta,\"b\"\tparts\t\t0\t\n"
                 "7\ta,\"b\"\tnotes\tn\\t1\t\ttrue\n"
                 "8\t\t\t\t\t\n");
        CHECK(Write(RecordWriter::Json, kNested, {first, second})
              == "[\n"
                 "{\"id\":7,\"label\":\"a,\\\"b\\\"\",\"parts\":[{\"name\":\"x\",\"size\":10},"
                 "{\"name\":null,\"size\":0}],\"notes\":[{\"name\":\"n\\t1\",\"ok\":true}]},\n"
                 "{\"id\":8,\"label\":null,\"parts\":[],\"notes\":[]}\n"
                 "]\n");
        CHECK(Write(RecordWriter::Json, kNested, {}) == "[]\n");
        CHECK(Write(RecordWriter::Csv, kNested, {}) == "id,label,section,name,size,ok\r\n");

        // One list: no section column. Texts go through the encoder (not for table).
        const RecordSchema single = {"x", {{"pid", FieldType::Integer, ""}}, {{"modules", "", {{"module", FieldType::Text, ""}}}}};
        Record hit;
        hit.Number(4).List(0).push_back(Record().Text("k"));
        std::string out;
        RecordWriter upper(RecordWriter::Csv, single, [&out](const std::string& b) { out += b; },
                           [](const std::string& t) { return t + "!"; });
        upper.Begin();
        upper.Write(hit);
        CHECK(out == "pid,module\r\n4,k!\r\n");

        RecordWriter::Format format = RecordWriter::Table;
        CHECK(RecordWriter::FormatFromName("JSON", format));
        CHECK(format == RecordWriter::Json);
        CHECK_FALSE(RecordWriter::FormatFromName("xml", format));
    }

    TEST_CASE("hostile values in csv and json (read back by Python's parsers)")
    {
        const RecordSchema schema = {"value",
                                     {{"n", FieldType::Integer, ""}, {"text", FieldType::Text, ""},
                                      {"flag", FieldType::Boolean, ""}, {"none", FieldType::Text, ""}},
                                     {}};
        std::vector<Record> records;
        for (size_t i = 0; i < sizeof(kHostile) / sizeof(kHostile[0]); ++i)
            records.push_back(Record().Number(i == 0 ? 18446744073709551615ull : i).Text(kHostile[i]).Flag(i % 2).Missing());
        const std::string csv = Write(RecordWriter::Csv, schema, records);
        const std::string json = Write(RecordWriter::Json, schema, records);
        // Each record is one json line; csv lines break only inside quotes.
        size_t lines = 0;
        for (char c : json) lines += c == '\n';
        CHECK(lines == records.size() + 2);
        for (size_t i = 0; i < json.size(); ++i) CHECK_FALSE((static_cast<unsigned char>(json[i]) < 0x20 && json[i] != '\n'));

        // check_records.py reads them when CTest names a folder.
        if (const char* folder = std::getenv("TW_RECORD_SAMPLES")) {
            for (const auto& file : {std::make_pair(std::string("hostile.csv"), csv), std::make_pair(std::string("hostile.json"), json)}) {
                FILE* f = std::fopen((std::string(folder) + "/" + file.first).c_str(), "wb");
                REQUIRE(f != nullptr);
                std::fwrite(file.second.data(), 1, file.second.size(), f);
                std::fclose(f);
            }
        }
    }

    TEST_CASE("the option parser: forms, any case, --, help, counts, aliases")
    {
        const RecordSchema schema = {"x", {{"a", FieldType::Text, ""}}, {}};
        const CliCommand command = {"demo", "[NAME]...", "a demo", "",
                                    {{"sort", "MODE", "name|ext", "", nullptr},
                                     {"match", "PATTERN", nullptr, "", nullptr},
                                     {"tree", nullptr, nullptr, "", nullptr},
                                     {"raw", nullptr, nullptr, "", "format=tsv"}},
                                    &schema, 0, 2, Handler};
        CliArguments a;
        auto parse = [&](std::vector<std::string> words) { return a.Parse(command, words); };

        REQUIRE(parse({"--format", "CSV", "x", "--SORT=Ext", "--tree"}) == CliArguments::Run);
        CHECK(a.Format() == RecordWriter::Csv);
        CHECK(a.Value("sort") == "ext");
        CHECK(a.Has("tree"));
        CHECK_FALSE(a.Has("raw"));
        CHECK(a.Operands() == std::vector<std::string>{"x"});

        REQUIRE(parse({"--raw", "--match", "-odd*"}) == CliArguments::Run);
        CHECK(a.Format() == RecordWriter::Tsv);
        CHECK(a.Value("match") == "-odd*");
        REQUIRE(parse({"--raw", "--format=json"}) == CliArguments::Run);
        CHECK(a.Format() == RecordWriter::Json);  // the last one wins
        REQUIRE(parse({"--match=a=b", "-"}) == CliArguments::Run);
        CHECK(a.Value("match") == "a=b");
        CHECK(a.Operands() == std::vector<std::string>{"-"});

        // After "--" everything is an operand, help and options included.
        REQUIRE(parse({"--tree", "--", "-x", "--help"}) == CliArguments::Run);
        CHECK(a.Operands() == std::vector<std::string>{"-x", "--help"});
        for (const char* help : {"-h", "--help", "--HELP", "/?"}) {
            CAPTURE(help);
            CHECK(parse({"--bogus", help}) == CliArguments::Help);
        }

        struct Bad {
            std::vector<std::string> words;
            const char* message;
        };
        const Bad bad[] = {
            {{"-x"}, "unknown option '-x'"},
            {{"--bogus=1"}, "unknown option '--bogus'"},
            {{"--format", "xml"}, "'--format' takes table, tsv, csv or json, not 'xml'"},
            {{"--format"}, "'--format' needs table, tsv, csv or json"},
            {{"--match", "--", "x"}, "'--match' needs PATTERN"},
            {{"--tree=yes"}, "'--tree' takes no value"},
            {{"a", "b", "c"}, "takes at most 2 operands (got 'c')"},
        };
        for (const Bad& b : bad) {
            CAPTURE(b.message);
            CHECK(parse(b.words) == CliArguments::Error);
            CHECK(a.Message() == b.message);
        }
        const CliCommand needs = {"need", "PID...", "", "", {}, nullptr, 1, CliCommand::kAny, Handler};
        CHECK(a.Parse(needs, {}) == CliArguments::Error);
        CHECK(a.Message() == "missing PID...");
        CHECK(a.Parse(needs, {"--format", "csv"}) == CliArguments::Error);  // no schema, no --format
        CHECK(a.Message() == "unknown option '--format'");

        // The help names every option and every field, within 79 columns.
        const std::string help = CliHelp::Command(command);
        CHECK(help.compare(0, 37, "Usage: tarnwick-cli demo [OPTIONS] [N") == 0);
        for (const char* part : {"--format FORMAT", "--sort MODE", "--match PATTERN", "--tree", "--raw",
                                 "-h, --help, /?", "a (text)"})
            CHECK(help.find(part) != std::string::npos);
        size_t start = 0;
        for (size_t end = help.find('\n'); end != std::string::npos; start = end + 1, end = help.find('\n', start))
            CHECK(end - start <= 79);
        const std::string tool = CliHelp::Tool({&command, &needs});
        CHECK(tool.find("\n  demo        a demo\n") != std::string::npos);
    }

    TEST_CASE("the process filter: ids in both notations, patterns on the name")
    {
        ProcessFilter all({});
        CHECK(all.Selects(4, "x.exe"));
        ProcessFilter some({"0x20", "56", "EXPLORER.*", "tw,h?lper.exe"});
        CHECK(some.Selects(32, "a.exe"));
        CHECK(some.Selects(56, "a.exe"));
        CHECK(some.Selects(9, "explorer.exe"));
        CHECK(some.Selects(9, "tw,hXlper.exe"));
        CHECK_FALSE(some.Selects(9, "tw,hlper.exe"));
        CHECK_FALSE(some.Selects(57, "explorer"));
        CHECK(some.Missing({56, 7}) == std::vector<uint32_t>{32});

        // Paths: a backslash is itself with NoEscape, a quote without it.
        const int path = WildcardMatch::CaseFold | WildcardMatch::NoEscape;
        CHECK(WildcardMatch::match("*\\system32\\*.dll", "C:\\windows\\SYSTEM32\\user32.dll", path) == 0);
        CHECK(WildcardMatch::match("c:\\[w]indows\\*", "C:\\windows\\x", path) == 0);
        CHECK(WildcardMatch::match("*\\system32\\*.dll", "C:\\windows\\system32\\user32.dll") == 1);
    }
}
