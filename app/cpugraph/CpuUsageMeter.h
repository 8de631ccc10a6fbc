#pragma once

#include <cstddef>
#include <cstdint>

// Total processor usage from the native per-processor time records: the
// basic system record gives the processor count, each processor-performance
// record its idle, kernel and user times (100-ns units). Every buffer is read
// within the length given.
class CpuUsageMeter {
public:
    static const unsigned kMaxProcessors = 32;
#ifdef _WIN64
    // The 64-bit test build's record: three fields grow to 8 bytes.
    static const size_t kBasicInfoSize = 64;
    static const size_t kProcessorCountOffset = 56;
#else
    static const size_t kBasicInfoSize = 44;        // system basic information
    static const size_t kProcessorCountOffset = 40; // its processor-count byte
#endif
    static const size_t kRecordStride = 48;         // 44 bytes of fields, padded to 8
    static const size_t kPerformanceBufferSize = kMaxProcessors * kRecordStride;

    CpuUsageMeter();

    // The first sample. A failed query, a short buffer or more than 32
    // processors leave no processor measured (every later usage is 0).
    void Begin(bool basicOk, const uint8_t* basic, size_t basicLength, bool performanceOk,
               const uint8_t* performance, size_t performanceLength);

    // Usage in percent since the previous sample; 0 when the query failed,
    // the buffer is short or no processor time advanced.
    uint8_t Next(bool performanceOk, const uint8_t* performance, size_t performanceLength);

    unsigned GetProcessorCount() const { return nProcessors; }

private:
    bool ReadTimes(const uint8_t* performance, size_t performanceLength, unsigned index, uint64_t& idle,
                   uint64_t& total) const;

    uint64_t aPrevIdle[kMaxProcessors];
    uint64_t aPrevTotal[kMaxProcessors];
    uint8_t nProcessors;
};
