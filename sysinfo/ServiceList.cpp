#include "sysinfo/ServiceList.h"

#include "sysinfo/WrapperBase.h"

#include <windows.h>
#include <vector>

namespace {
// The service calls, bound at run time: Windows 95 has no service manager.
class ServiceApi : public WrapperBase {
public:
    typedef SC_HANDLE(WINAPI* PFN_OpenSCManagerA)(LPCSTR, LPCSTR, DWORD);
    typedef BOOL(WINAPI* PFN_EnumServicesStatusA)(SC_HANDLE, DWORD, DWORD, LPENUM_SERVICE_STATUSA, DWORD, LPDWORD,
                                                  LPDWORD, LPDWORD);
    typedef SC_HANDLE(WINAPI* PFN_OpenServiceA)(SC_HANDLE, LPCSTR, DWORD);
    typedef BOOL(WINAPI* PFN_QueryServiceConfigA)(SC_HANDLE, LPQUERY_SERVICE_CONFIGA, DWORD, LPDWORD);
    typedef BOOL(WINAPI* PFN_CloseServiceHandle)(SC_HANDLE);

    ServiceApi()
        : WrapperBase("ADVAPI32.DLL"),
          openManager(Resolve<PFN_OpenSCManagerA>("OpenSCManagerA")),
          enumServices(Resolve<PFN_EnumServicesStatusA>("EnumServicesStatusA")),
          openService(Resolve<PFN_OpenServiceA>("OpenServiceA")),
          queryConfig(Resolve<PFN_QueryServiceConfigA>("QueryServiceConfigA")),
          closeHandle(Resolve<PFN_CloseServiceHandle>("CloseServiceHandle"))
    {
    }
    bool Complete() const { return openManager && enumServices && openService && queryConfig && closeHandle; }

    PFN_OpenSCManagerA openManager;
    PFN_EnumServicesStatusA enumServices;
    PFN_OpenServiceA openService;
    PFN_QueryServiceConfigA queryConfig;
    PFN_CloseServiceHandle closeHandle;
};
} // namespace

void ServiceList::Collect(uint32_t serviceType, uint32_t serviceState)
{
    services.clear();
    ServiceApi api;
    if (!api.Complete()) return;
    SC_HANDLE manager = api.openManager(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
    if (!manager) return;

    std::vector<uint8_t> buffer(36);
    DWORD needed = 0, count = 0, resume = 0;
    BOOL ok = api.enumServices(manager, serviceType, serviceState,
                               reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer.data()), 36, &needed, &count, &resume);
    if (!ok && GetLastError() == ERROR_MORE_DATA) {
        buffer.assign(needed + 36, 0);
        resume = 0;
        ok = api.enumServices(manager, serviceType, serviceState,
                              reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer.data()), needed + 36, &needed, &count,
                              &resume);
    }
    if (!ok) {
        api.closeHandle(manager);
        return;
    }
    const ENUM_SERVICE_STATUSA* entries = reinterpret_cast<const ENUM_SERVICE_STATUSA*>(buffer.data());
    const DWORD fit = static_cast<DWORD>(buffer.size() / sizeof(ENUM_SERVICE_STATUSA));
    for (DWORD i = 0; i < count && i < fit; ++i) {
        ServiceRecord record;
        record.strServiceName = entries[i].lpServiceName ? entries[i].lpServiceName : "";
        record.strDisplayName = entries[i].lpDisplayName ? entries[i].lpDisplayName : "";
        record.dwServiceType = entries[i].ServiceStatus.dwServiceType;
        record.dwCurrentState = entries[i].ServiceStatus.dwCurrentState;
        SC_HANDLE service = api.openService(manager, record.strServiceName.c_str(), SERVICE_QUERY_CONFIG);
        if (service) {
            std::vector<uint8_t> config(4096, 0);
            DWORD configNeeded = 0;
            if (api.queryConfig(service, reinterpret_cast<LPQUERY_SERVICE_CONFIGA>(config.data()), 4096,
                                &configNeeded)) {
                const QUERY_SERVICE_CONFIGA* c = reinterpret_cast<const QUERY_SERVICE_CONFIGA*>(config.data());
                record.strBinaryPath = c->lpBinaryPathName ? c->lpBinaryPathName : "";
                record.dwStartType = c->dwStartType;
                record.dwErrorControl = c->dwErrorControl;
            }
            api.closeHandle(service);
        }
        services.push_back(record);
    }
    api.closeHandle(manager);
}
