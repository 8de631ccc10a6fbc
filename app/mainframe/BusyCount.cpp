#include "app/mainframe/BusyCount.h"

unsigned BusyCount::End()
{
    if (nCount > 0) --nCount;
    if (nCount > 0) return 0;
    const unsigned requests = nPending;
    nPending = 0;
    return requests;
}

bool BusyCount::Defer(Request request)
{
    if (nCount <= 0) return false;
    nPending |= request;
    return true;
}

BusyCount::Plan BusyCount::MakePlan(unsigned requests)
{
    Plan plan;
    if (requests & kClose) {
        plan.bClose = true;
        return plan;
    }
    plan.bSettingChange = (requests & kSettingChange) != 0;
    plan.bRefreshFull = !plan.bSettingChange && (requests & kRefreshFull) != 0;
    plan.bRefresh = !plan.bSettingChange && !plan.bRefreshFull && (requests & kRefresh) != 0;
    plan.bSelection = !plan.bSettingChange && !plan.bRefreshFull && !plan.bRefresh && (requests & kSelection) != 0;
    return plan;
}
