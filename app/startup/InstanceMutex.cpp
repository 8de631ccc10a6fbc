#include "app/startup/InstanceMutex.h"

const char InstanceMutex::kLocalName[] = "TarnwickApplicationMutex";
const char InstanceMutex::kGlobalName[] = "Global\\TarnwickApplicationMutex";

std::vector<std::string> InstanceMutex::Names(uint32_t osKind)
{
    if (osKind >= 1 && osKind <= 5) return {kLocalName};
    return {kLocalName, kGlobalName};
}

InstanceMutex::InstanceMutex() : hMutexLocal(nullptr), hMutexGlobal(nullptr) {}

InstanceMutex::~InstanceMutex()
{
    Close();
}

void InstanceMutex::Create(uint32_t osKind)
{
    Close();
    const std::vector<std::string> names = Names(osKind);
    if (names.size() == 1) {
        hMutexLocal = CreateMutexA(nullptr, TRUE, names[0].c_str());
        return;
    }
    // Everyone may open them: a NULL DACL.
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, FALSE};
    if (InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)
        && SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE))
        attributes.lpSecurityDescriptor = &descriptor;
    hMutexLocal = CreateMutexA(&attributes, TRUE, names[0].c_str());
    hMutexGlobal = CreateMutexA(&attributes, TRUE, names[1].c_str());
}

void InstanceMutex::Close()
{
    if (hMutexLocal) CloseHandle(hMutexLocal);
    if (hMutexGlobal) CloseHandle(hMutexGlobal);
    hMutexLocal = hMutexGlobal = nullptr;
}
