#include "sysinfo/ProcessSampler.h"

ProcessSampler::ProcessSampler(std::unique_ptr<ProcessSampleSource> source) : source(std::move(source)) {}

void ProcessSampler::Reset()
{
    current.clear();
    index.clear();
    added.clear();
    changed.clear();
    removed.clear();
    bHasSample = false;
}

const SampledProcess* ProcessSampler::Find(uint32_t processId, uint64_t creationTime) const
{
    auto found = index.find(Key(processId, creationTime));
    return found == index.end() ? nullptr : &current[found->second];
}

bool ProcessSampler::SameFigures(const SampledProcess& a, const SampledProcess& b)
{
    const ProcessCounters& x = a.record.counters;
    const ProcessCounters& y = b.record.counters;
    return a.nLoadTenths == b.nLoadTenths && x.bHasTimes == y.bHasTimes && x.CpuTime() == y.CpuTime()
        && x.bHasMemory == y.bHasMemory && x.dwWorkingSet == y.dwWorkingSet
        && x.dwPeakWorkingSet == y.dwPeakWorkingSet && x.dwPrivateBytes == y.dwPrivateBytes
        && x.dwPageFaults == y.dwPageFaults && a.record.dwThreadCount == b.record.dwThreadCount
        && a.record.dwHandleCount == b.record.dwHandleCount && a.record.dwPriorityClass == b.record.dwPriorityClass;
}

bool ProcessSampler::Sample()
{
    added.clear();
    changed.clear();
    removed.clear();
    std::list<ProcessRecord> records;
    uint64_t wallTime = 0;
    uint32_t processors = 1;
    if (!source->Take(records, wallTime, processors)) return false;
    if (!processors) processors = 1;

    std::vector<SampledProcess> next;
    next.reserve(records.size());
    std::map<Key, size_t> nextIndex;
    for (ProcessRecord& record : records) {
        const Key key = KeyOf(record);
        // Two entries of one key in one sample: the first one counts.
        if (nextIndex.count(key)) continue;
        SampledProcess process;
        process.record = std::move(record);
        const SampledProcess* before = bHasSample ? Find(key.first, key.second) : nullptr;
        process.nLoadTenths =
            ProcessLoad::Between(before ? &before->record : nullptr, qwWallTime, process.record, wallTime, processors);
        if (!before)
            added.push_back(process);
        else if (!SameFigures(*before, process))
            changed.push_back(process);
        nextIndex[key] = next.size();
        next.push_back(std::move(process));
    }
    if (bHasSample)
        for (const SampledProcess& process : current)
            if (!nextIndex.count(KeyOf(process.record))) removed.push_back(process);

    current.swap(next);
    index.swap(nextIndex);
    qwWallTime = wallTime;
    nProcessors = processors;
    bHasSample = true;
    return true;
}
