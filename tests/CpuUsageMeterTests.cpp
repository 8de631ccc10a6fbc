// The usage arithmetic over raw processor-time records (no OS calls).
#include <doctest/doctest.h>

#include "app/cpugraph/CpuUsageMeter.h"

#include <cstdint>
#include <vector>

namespace {

struct Times {
    uint64_t idle, kernel, user;
};

void PutU64(std::vector<uint8_t>& buffer, size_t offset, uint64_t value)
{
    for (int i = 0; i < 8; ++i) buffer[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Basic(unsigned processors)
{
    std::vector<uint8_t> basic(CpuUsageMeter::kBasicInfoSize, 0);
    basic[CpuUsageMeter::kProcessorCountOffset] = static_cast<uint8_t>(processors);
    return basic;
}

// Records 48 bytes apart, as the system lays them out; the bytes between the
// three times and the next record are filled with noise.
std::vector<uint8_t> Performance(const std::vector<Times>& cpus, size_t size = CpuUsageMeter::kPerformanceBufferSize)
{
    std::vector<uint8_t> buffer(size, 0xA5);
    for (size_t i = 0; i < cpus.size(); ++i) {
        PutU64(buffer, i * 48, cpus[i].idle);
        PutU64(buffer, i * 48 + 8, cpus[i].kernel);
        PutU64(buffer, i * 48 + 16, cpus[i].user);
    }
    return buffer;
}

CpuUsageMeter Started(const std::vector<Times>& cpus)
{
    CpuUsageMeter meter;
    std::vector<uint8_t> basic = Basic(static_cast<unsigned>(cpus.size()));
    std::vector<uint8_t> performance = Performance(cpus);
    meter.Begin(true, basic.data(), basic.size(), true, performance.data(), performance.size());
    return meter;
}

uint8_t Next(CpuUsageMeter& meter, const std::vector<Times>& cpus)
{
    std::vector<uint8_t> performance = Performance(cpus);
    return meter.Next(true, performance.data(), performance.size());
}

} // namespace

TEST_SUITE("cpu usage")
{
    TEST_CASE("usage from 48-byte records: one of two processors busy is 50, every processor is read")
    {
        // Second processor: idle throughout. First: busy with kernel and user time.
        CpuUsageMeter meter = Started({{1000, 5000, 3000}, {7000, 9000, 0}});
        CHECK(meter.GetProcessorCount() == 2);
        CHECK(Next(meter, {{1000, 6005000, 4003000}, {10007000, 10009000, 0}}) == 50);
        // All idle now; then both busy; then one half busy and one idle.
        CHECK(Next(meter, {{10001000, 16005000, 4003000}, {20007000, 20009000, 0}}) == 0);
        CHECK(Next(meter, {{10001000, 26005000, 4003000}, {20007000, 30009000, 0}}) == 100);
        CHECK(Next(meter, {{15001000, 36005000, 4003000}, {30007000, 40009000, 0}}) == 25);
        // The full 32 processors fit into the buffer.
        std::vector<Times> many(32, Times{0, 0, 0});
        CpuUsageMeter full = Started(many);
        CHECK(full.GetProcessorCount() == 32);
        for (size_t i = 0; i < many.size(); ++i) many[i] = Times{i % 2 ? 100u : 0u, 100, 0};
        CHECK(Next(full, many) == 50);
    }

    TEST_CASE("no time advanced, more idle than total, failed queries and short buffers give 0")
    {
        CpuUsageMeter meter = Started({{100, 200, 50}, {100, 200, 50}});
        CHECK(Next(meter, {{100, 200, 50}, {100, 200, 50}}) == 0);
        CHECK(Next(meter, {{600, 300, 50}, {100, 200, 50}}) == 0);
        std::vector<uint8_t> performance = Performance({{700, 900, 500}, {100, 900, 50}});
        CHECK(meter.Next(false, performance.data(), performance.size()) == 0);
        // The second record does not fit: nothing is read.
        CHECK(meter.Next(true, performance.data(), 48 + 23) == 0);
        // The previous values were kept through the failures.
        CHECK(Next(meter, {{700, 500, 50}, {100, 200, 50}}) == 50);
    }

    TEST_CASE("the first sample: 33 processors, a failed query or a short buffer leave nothing measured")
    {
        std::vector<uint8_t> basic = Basic(33);
        std::vector<uint8_t> performance = Performance({});
        CpuUsageMeter meter;
        meter.Begin(true, basic.data(), basic.size(), true, performance.data(), performance.size());
        CHECK(meter.GetProcessorCount() == 0);
        std::vector<Times> busy(33, Times{0, 1000, 1000});
        std::vector<uint8_t> later = Performance(std::vector<Times>(busy.begin(), busy.begin() + 32));
        CHECK(meter.Next(true, later.data(), later.size()) == 0);

        basic = Basic(2);
        meter.Begin(false, basic.data(), basic.size(), true, performance.data(), performance.size());
        CHECK(meter.GetProcessorCount() == 0);
        meter.Begin(true, basic.data(), basic.size(), false, performance.data(), performance.size());
        CHECK(meter.GetProcessorCount() == 0);
        meter.Begin(true, basic.data(), CpuUsageMeter::kProcessorCountOffset, true, performance.data(), performance.size());
        CHECK(meter.GetProcessorCount() == 0);
        meter.Begin(true, basic.data(), basic.size(), true, performance.data(), 48 + 24);
        CHECK(meter.GetProcessorCount() == 2);
    }
}
