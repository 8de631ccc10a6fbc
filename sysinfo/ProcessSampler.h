#pragma once

#include "sysinfo/ProcessLoad.h"
#include "sysinfo/ProcessRecord.h"
#include "sysinfo/ProcessSampleSource.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

// A process of a sample with its load since the sample before.
struct SampledProcess {
    ProcessRecord record;
    int32_t nLoadTenths = ProcessLoad::kNone;
};

// Takes samples of the running processes and tells what changed since the
// last one: the processes added, those whose figures changed (load, processor
// time, memory, threads, handles, priority) and those removed. A process is
// the same one only with the same id and creation time: an id taken over by
// another process is a removal and an addition. The first sample adds every
// process. Nothing here shows anything; the caller drives it once per tick.
class ProcessSampler {
public:
    explicit ProcessSampler(std::unique_ptr<ProcessSampleSource> source);
    ProcessSampler(const ProcessSampler&) = delete;
    ProcessSampler& operator=(const ProcessSampler&) = delete;

    // Takes the next sample. False when the list could not be read: the
    // three lists are then empty and the last good sample stays the base.
    bool Sample();

    const std::vector<SampledProcess>& Added() const { return added; }
    const std::vector<SampledProcess>& Changed() const { return changed; }
    // As they were last seen.
    const std::vector<SampledProcess>& Removed() const { return removed; }
    // Every process of the last sample, in its order.
    const std::vector<SampledProcess>& Processes() const { return current; }
    // The process of the last sample with this id and creation time; null when none.
    const SampledProcess* Find(uint32_t processId, uint64_t creationTime) const;
    // Forgets the last sample: the next one adds every process again.
    void Reset();

    bool IsNtFamily() const { return source->IsNtFamily(); }
    uint32_t Processors() const { return nProcessors; }

    // True when the figures that change while a process runs are equal.
    static bool SameFigures(const SampledProcess& a, const SampledProcess& b);

private:
    typedef std::pair<uint32_t, uint64_t> Key;
    static Key KeyOf(const ProcessRecord& record) { return Key(record.dwProcessId, record.ftCreationTime.Value()); }

    std::unique_ptr<ProcessSampleSource> source;
    std::vector<SampledProcess> current;
    std::map<Key, size_t> index;  // into `current`
    std::vector<SampledProcess> added, changed, removed;
    uint64_t qwWallTime = 0;
    uint32_t nProcessors = 1;
    bool bHasSample = false;
};
