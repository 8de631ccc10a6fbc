#include "LangModuleWrapper.h"

#include "DebugOutput.h"
#include "GuardedCall.h"

LangModuleWrapper::LangModuleWrapper(const char* fileName)
    : WrapperBase(fileName), pfnGetLangModuleInfo(Resolve<PFN_GetLangModuleInfo>("GetLangModuleInfo"))
{
}

int LangModuleWrapper::GetLangModuleInfo(LangModuleInfo* info)
{
    int result = 0;
    if (!GuardedCall::Invoke([&] { result = pfnGetLangModuleInfo(info); })) {
        DebugOutput::Format(260, "Exception caught in \"%s\" at line %d!\n", "LangModuleWrapper", 42);
        return 0;
    }
    return result;
}
