#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ServiceRecord {
    std::string strServiceName;
    std::string strDisplayName;
    std::string strBinaryPath;
    uint32_t dwServiceType = 0;
    uint32_t dwStartType = 0;
    uint32_t dwErrorControl = 0;
    uint32_t dwCurrentState = 0;
};

// The services of the service control manager with their binary paths.
// Empty where there is no service control manager (the 9x family).
class ServiceList {
public:
    void Collect(uint32_t serviceType = 0x30, uint32_t serviceState = 1);
    const std::vector<ServiceRecord>& Services() const { return services; }
    // For tests and callers that build the list themselves.
    void Add(const ServiceRecord& record) { services.push_back(record); }

private:
    std::vector<ServiceRecord> services;
};
