// The live view's logic without OS calls: the native list's counters, the
// load between two samples, the sampler's added/changed/removed lists, the
// live settings file and the console tool's record order. Built into the
// test program and into the native sanitizer build.
#include <doctest/doctest.h>

#include "app/settings/LiveSettingsFormat.h"
#include "cli/RecordOrder.h"
#include "cli/RecordWriter.h"
#include "sysinfo/NativeProcessList.h"
#include "sysinfo/ProcessLoad.h"
#include "sysinfo/ProcessSampler.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Put64(std::vector<uint8_t>& b, size_t at, uint64_t v)
{
    Put32(b, at, static_cast<uint32_t>(v));
    Put32(b, at + 4, static_cast<uint32_t>(v >> 32));
}

const uint64_t kSecond = 10000000;  // 100-ns units

ProcessRecord Process(uint32_t pid, uint64_t created, uint64_t cpu, uint32_t privateBytes = 4096)
{
    ProcessRecord record;
    record.strName = "p" + std::to_string(pid) + ".exe";
    record.dwProcessId = pid;
    record.ftCreationTime.dwLowDateTime = static_cast<uint32_t>(created);
    record.ftCreationTime.dwHighDateTime = static_cast<uint32_t>(created >> 32);
    record.counters.bHasTimes = true;
    record.counters.qwKernelTime = cpu / 4;
    record.counters.qwUserTime = cpu - cpu / 4;
    record.counters.bHasMemory = true;
    record.counters.dwWorkingSet = privateBytes * 2;
    record.counters.dwPrivateBytes = privateBytes;
    return record;
}

// Samples handed out in turn; an empty one stands for a failed reading.
class StandInSource : public ProcessSampleSource {
public:
    struct Sample {
        std::vector<ProcessRecord> processes;
        uint64_t wallTime;
        bool ok;
    };
    std::deque<Sample> samples;
    bool Take(std::list<ProcessRecord>& processes, uint64_t& wallTime, uint32_t& processors) override
    {
        if (samples.empty() || !samples.front().ok) {
            if (!samples.empty()) samples.pop_front();
            return false;
        }
        processes.assign(samples.front().processes.begin(), samples.front().processes.end());
        wallTime = samples.front().wallTime;
        processors = 2;
        samples.pop_front();
        return true;
    }
    bool IsNtFamily() const override { return true; }
};

std::string Pids(const std::vector<SampledProcess>& list)
{
    std::string out;
    for (const SampledProcess& process : list) {
        if (!out.empty()) out += ' ';
        out += std::to_string(process.record.dwProcessId) + ":" + std::to_string(process.nLoadTenths);
    }
    return out;
}

LiveSettings Parsed(const std::string& text)
{
    LiveSettings settings;
    LiveSettingsFormat::SetDefaults(settings);
    LiveSettingsFormat::Parse(text.data(), text.size(), settings);
    return settings;
}

bool Same(const LiveSettings& a, const LiveSettings& b)
{
    return LiveSettingsFormat::Write(a) == LiveSettingsFormat::Write(b);
}

} // namespace

TEST_SUITE("live data")
{
    TEST_CASE("the native list's times and memory counters, read only where the entry holds them")
    {
        // Three entries of 0x100, 0x60 and (the last) 0x90 bytes.
        std::vector<uint8_t> block(0x100 + 0x60 + 0x90, 0);
        const size_t starts[3] = {0, 0x100, 0x160};
        const size_t extents[3] = {0x100, 0x60, 0x90};
        for (size_t i = 0; i < 3; ++i) {
            const size_t e = starts[i];
            Put32(block, e, i == 0 ? 0x100 : i == 1 ? 0x60 : 0);
            Put64(block, e + 0x28, 1000 + i);          // user
            Put64(block, e + 0x30, 0x100000000ull + i);  // kernel, above 32 bits
            Put32(block, e + 0x44, 40 + static_cast<uint32_t>(i) * 4);
            if (extents[i] >= 0x84) {
                Put32(block, e + 0x60, 7);
                Put32(block, e + 0x64, 0x300000);
                Put32(block, e + 0x68, 0x200000);
                Put32(block, e + 0x7C, 0x4000000);
            }
        }
        const auto entries = NativeProcessList::Parse(block.data(), block.size(), 0x10000000);
        REQUIRE(entries.size() == 3);
        CHECK(entries[0].qwUserTime == 1000);
        CHECK(entries[0].qwKernelTime == 0x100000000ull);
        CHECK(entries[0].bHasMemory);
        CHECK(entries[0].dwPageFaults == 7);
        CHECK(entries[0].dwPeakWorkingSet == 0x300000);
        CHECK(entries[0].dwWorkingSet == 0x200000);
        CHECK(entries[0].dwPagefileUsage == 0x4000000);
        // 0x60 bytes to the next entry: the times, but no memory counters.
        CHECK(entries[1].qwUserTime == 1001);
        CHECK_FALSE(entries[1].bHasMemory);
        CHECK(entries[1].dwPagefileUsage == 0);
        // The last entry reaches to the block's end.
        CHECK(entries[2].bHasMemory);
        CHECK(entries[2].dwPagefileUsage == 0x4000000);
        // Cut short of its counters: none.
        CHECK_FALSE(NativeProcessList::Parse(block.data(), 0x160 + 0x83, 0x10000000)[2].bHasMemory);
    }

    TEST_CASE("the load: two processors, one decimal, clamped; no load without a fitting earlier sample")
    {
        // Half a second of processor time in one second on two processors: 25 %.
        CHECK(ProcessLoad::Tenths(0, kSecond / 2, 0, kSecond, 2) == 250);
        // One decimal, rounded: 1/3 of one processor of two.
        CHECK(ProcessLoad::Tenths(0, kSecond / 3, 0, kSecond, 2) == 167);
        CHECK(ProcessLoad::Tenths(5, 5, 0, kSecond, 2) == 0);
        // More time than the processors had (counters read at other moments): 100.
        CHECK(ProcessLoad::Tenths(0, 3 * kSecond, 0, kSecond, 2) == 1000);
        CHECK(ProcessLoad::Tenths(0, UINT64_MAX, 0, 1, 2) == 1000);
        // A processor time that went back counts as none used; no processors as one.
        CHECK(ProcessLoad::Tenths(kSecond, 0, 0, kSecond, 2) == 0);
        CHECK(ProcessLoad::Tenths(0, kSecond / 2, 0, kSecond, 0) == 500);
        // A clock that stood still or went back: no load.
        CHECK(ProcessLoad::Tenths(0, kSecond, kSecond, kSecond, 2) == ProcessLoad::kNone);
        CHECK(ProcessLoad::Tenths(0, kSecond, 2 * kSecond, kSecond, 2) == ProcessLoad::kNone);

        const ProcessRecord before = Process(8, 111, kSecond);
        const ProcessRecord after = Process(8, 111, 2 * kSecond);
        CHECK(ProcessLoad::Between(&before, 0, after, 2 * kSecond, 2) == 250);
        // New in the second sample, or another process that took the id over.
        CHECK(ProcessLoad::Between(nullptr, 0, after, 2 * kSecond, 2) == ProcessLoad::kNone);
        const ProcessRecord reused = Process(8, 222, 2 * kSecond);
        CHECK(ProcessLoad::Between(&before, 0, reused, 2 * kSecond, 2) == ProcessLoad::kNone);
        // Without processor times (the 9x family).
        ProcessRecord noTimes = after;
        noTimes.counters.bHasTimes = false;
        CHECK(ProcessLoad::Between(&before, 0, noTimes, 2 * kSecond, 2) == ProcessLoad::kNone);

        CHECK(ProcessLoad::Text(0) == "0.0");
        CHECK(ProcessLoad::Text(167) == "16.7");
        CHECK(ProcessLoad::Text(1000, ",") == "100,0");
        CHECK(ProcessLoad::Text(ProcessLoad::kNone).empty());
    }

    TEST_CASE("the sampler: added, changed and removed per sample; a reused id is a removal and an addition")
    {
        auto* source = new StandInSource;
        source->samples.push_back({{Process(4, 1, 0), Process(8, 2, kSecond), Process(12, 3, 0)}, 10 * kSecond, true});
        // 8 used half a second in one (25 %), 12 nothing, 4 ended, 16 new,
        // 12's id... stays; then 8's id taken over by a younger process.
        source->samples.push_back(
            {{Process(8, 2, kSecond + kSecond / 2), Process(12, 3, 0), Process(16, 5, 0)}, 11 * kSecond, true});
        source->samples.push_back({{}, 0, false});
        source->samples.push_back({{Process(8, 9, 0), Process(12, 3, 0, 8192), Process(16, 5, 0)}, 12 * kSecond, true});
        ProcessSampler sampler{std::unique_ptr<ProcessSampleSource>(source)};

        REQUIRE(sampler.Sample());
        CHECK(Pids(sampler.Added()) == "4:-1 8:-1 12:-1");
        CHECK(sampler.Changed().empty());
        CHECK(sampler.Removed().empty());

        REQUIRE(sampler.Sample());
        CHECK(Pids(sampler.Added()) == "16:-1");
        // 12's figures stayed and its load is 0.0 for the first time: a change.
        CHECK(Pids(sampler.Changed()) == "8:250 12:0");
        CHECK(Pids(sampler.Removed()) == "4:-1");
        CHECK(sampler.Find(8, 2)->nLoadTenths == 250);
        CHECK(sampler.Processors() == 2);

        // A failed reading: no lists, the last good sample stays the base.
        CHECK_FALSE(sampler.Sample());
        CHECK(sampler.Added().empty());
        CHECK(sampler.Processes().size() == 3);

        REQUIRE(sampler.Sample());
        CHECK(Pids(sampler.Added()) == "8:-1");
        CHECK(Pids(sampler.Removed()) == "8:250");
        // 12: more private bytes; 16: its first load.
        CHECK(Pids(sampler.Changed()) == "12:0 16:0");
        CHECK(sampler.Find(8, 2) == nullptr);
        CHECK(sampler.Find(8, 9) != nullptr);

        sampler.Reset();
        CHECK(sampler.Processes().empty());
    }

    TEST_CASE("the live settings file: written and read back; damaged lines leave their settings at the defaults")
    {
        LiveSettings defaults;
        LiveSettingsFormat::SetDefaults(defaults);
        CHECK(defaults.nUpdateSeconds == 0);
        CHECK(defaults.bHighlightChanges == 1);
        CHECK(defaults.crNewProcesses == 0x00008000u);
        CHECK(defaults.crEndedProcesses == 0x000000FFu);
        CHECK(defaults.Column(12).bVisible == 1);
        CHECK(defaults.Column(13).bVisible == 0);
        CHECK(defaults.Column(15).bVisible == 1);
        CHECK(defaults.nSortColumn == LiveSettings::kNoSortColumn);

        LiveSettings changed = defaults;
        changed.nUpdateSeconds = 5;
        changed.bHighlightChanges = 0;
        changed.crNewProcesses = 0x00123456;
        changed.Column(13).bVisible = 1;
        changed.Column(14).nWidth = 4096;
        const uint32_t order[] = {0, 12, 1, 2, 15, 13};
        std::memcpy(changed.anColumnOrder, order, sizeof(order));
        changed.nColumnOrderCount = 6;
        changed.nSortColumn = 15;
        changed.bSortAscending = 0;
        changed.dwCopyColumns = 0x9;
        const std::string written = LiveSettingsFormat::Write(changed);
        CHECK(Same(Parsed(written), changed));
        // CR LF line ends read the same.
        std::string crlf;
        for (char c : written) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        CHECK(Same(Parsed(crlf), changed));

        // Each damaged line: that setting keeps its default, the others are read.
        const char* damaged[] = {
            "update\t3",       "update\t-1",          "update\t0x10000000000", "highlight\t2",
            "color_new\t0x01000000", "color_ended\tred", "column\t11\t1\t50",     "column\t16\t1\t50",
            "column\t12\t1\t4097\t9", "order\t0\t1\t1", "order\t0\t16",          "order",
            "sort\t3\t1",      "sort\t12\t2",         "copy\t0x10",            "copy",
            "update\t1\tagain", "\t\t\t",             "nonsense",              "update\t0x",
        };
        for (const char* line : damaged) {
            CAPTURE(line);
            CHECK(Same(Parsed(line), defaults));
            CHECK(Same(Parsed(written + line + "\n"), changed));
        }
        // A column line with one good field takes that one.
        LiveSettings halfway = Parsed("column\t13\tx\t120\n");
        CHECK(halfway.Column(13).bVisible == 0);
        CHECK(halfway.Column(13).nWidth == 120);
        // A line of more fields than any setting has, and bytes past the limit, are not read.
        std::string longLine = "order";
        for (int i = 0; i < 100; ++i) longLine += "\t0";
        CHECK(Same(Parsed(longLine), defaults));
        std::string late(LiveSettingsFormat::kMaxBytes, '\n');
        CHECK(Same(Parsed(late + "update\t5\n"), defaults));
        const std::string withNul("update\t2\0\nhighlight\t0\n", 22);
        CHECK(Parsed(withNul).bHighlightChanges == 0);
        CHECK(Parsed(withNul).nUpdateSeconds == 0);
        CHECK(LiveSettingsFormat::Parse(nullptr, 100, halfway) == 0);
    }

    TEST_CASE("records in the order of a field: numbers, tenths, times by their key, missing values last")
    {
        const RecordSchema schema = {"x", {{"n", FieldType::Integer, ""}, {"t", FieldType::Text, ""},
                                           {"cpu", FieldType::Number, ""}}, {}};
        CHECK(RecordOrder::FieldIndex(schema, "CPU") == 2);
        CHECK(RecordOrder::FieldIndex(schema, "nope") == -1);
        std::vector<Record> records(5);
        records[0].Number(30).Text("beta").Value(RecordValue::OfTenths(125));
        records[1].Number(4).Missing().Value(RecordValue::OfTenths(1000));
        records[2].Number(200).Text("Alpha").Missing();
        records[3].Number(4).Value(RecordValue::Keyed("2026-12-09T10:00:00+01:00", 2)).Value(RecordValue::OfTenths(0));
        records[4].Number(5).Value(RecordValue::Keyed("2026-12-09T09:00:00+00:00", 1)).Value(RecordValue::OfTenths(125));
        CHECK(RecordOrder::Sort(records, 0, false) == std::vector<size_t>{1, 3, 4, 0, 2});
        CHECK(RecordOrder::Sort(records, 0, true) == std::vector<size_t>{2, 0, 4, 1, 3});
        CHECK(RecordOrder::Sort(records, 2, true) == std::vector<size_t>{1, 0, 4, 3, 2});
        CHECK(RecordOrder::Sort(records, 2, false) == std::vector<size_t>{3, 0, 4, 1, 2});
        // Times by their key (by its characters the later one would come first), texts by text in any case.
        CHECK(RecordOrder::Compare(records[3].values[1], records[4].values[1]) > 0);
        CHECK(RecordOrder::Compare(records[2].values[1], records[0].values[1]) < 0);
        CHECK(RecordOrder::Sort(records, 1, false) == std::vector<size_t>{4, 3, 2, 0, 1});
        CHECK(RecordOrder::Compare(RecordValue::Of(uint64_t(2)), RecordValue::OfTenths(19)) > 0);

        // Tenths are numbers in every format.
        std::string out;
        RecordWriter json(RecordWriter::Json, schema, [&out](const std::string& text) { out += text; });
        json.Begin();
        json.Write(records[3]);
        json.End();
        CHECK(out.find("\"cpu\":0.0}") != std::string::npos);
        out.clear();
        RecordWriter csv(RecordWriter::Csv, schema, [&out](const std::string& text) { out += text; });
        csv.Begin();
        csv.Write(records[1]);
        CHECK(out == "n,t,cpu\r\n4,,100.0\r\n");
    }
}
