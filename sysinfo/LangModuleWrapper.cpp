#include "sysinfo/LangModuleWrapper.h"

#include "sysinfo/DebugOutput.h"
#include "sysinfo/GuardedCall.h"
#include "sysinfo/StackRestoringCall.h"

LangModuleWrapper::LangModuleWrapper(const char* fileName)
    : WrapperBase(fileName), pfnGetLangModuleInfo(Resolve<PFN_GetLangModuleInfo>("GetLangModuleInfo"))
{
}

int LangModuleWrapper::GetLangModuleInfo(LangModuleInfo* info)
{
    int result = 0;
    // Through the stack-restoring call: a module built with stdcall pops its argument.
    if (!GuardedCall::Invoke([&] {
            result = static_cast<int>(StackRestoringCall::Call(reinterpret_cast<const void*>(pfnGetLangModuleInfo), info));
        })) {
        DebugOutput::Format(260, "Exception caught in \"%s\" at line %d!\n", "LangModuleWrapper", 42);
        return 0;
    }
    return result;
}
