#pragma once

#include "sysinfo/ProcessSampleSource.h"
#include "sysinfo/ProcessSnapshot.h"

// Samples of this machine through a ProcessSnapshot of its own: the native
// list on the NT family, Toolhelp on the 9x family. The snapshot keeps what
// it read of each process (owner, command line, path) for the next samples.
class SnapshotSampleSource : public ProcessSampleSource {
public:
    SnapshotSampleSource();
    bool Take(std::list<ProcessRecord>& processes, uint64_t& wallTime, uint32_t& processors) override;
    bool IsNtFamily() const override { return !snapshot.Os().Is9xFamily(); }

    // Paths on a share or a remote drive are taken as the system gives them (no file is opened).
    void SetLocalFilesOnly(bool on) { snapshot.SetLocalFilesOnly(on); }
    // The number of processors the system reports (at least 1).
    static uint32_t ProcessorCount();

private:
    ProcessSnapshot snapshot;
    uint32_t nProcessors;
};
