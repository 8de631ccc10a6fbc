#include "sysinfo/GuardedCall.h"

#include <windows.h>

namespace {

// Layout of an x86 exception registration record, followed by our own data.
struct GuardFrame {
    GuardFrame* prev;
    void* handler;
    void* jumpBuffer[5];
    volatile DWORD code;
};

inline GuardFrame* ReadChainHead()
{
    GuardFrame* head;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

inline void WriteChainHead(GuardFrame* head)
{
    __asm__ volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

bool IsInformational(DWORD code)
{
    return code == 0x40010006u      // DBG_PRINTEXCEPTION_C
        || code == 0x4001000Au      // DBG_PRINTEXCEPTION_WIDE_C
        || code == 0x406D1388u;     // thread naming
}

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record,
                                                      void* establisher,
                                                      CONTEXT*, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (IsInformational(record->ExceptionCode))
        return ExceptionContinueSearch;
    GuardFrame* frame = static_cast<GuardFrame*>(establisher);
    frame->code = record->ExceptionCode;
    // Let the handlers registered inside the call clean up, then resume
    // behind the guard.
    RtlUnwind(frame, nullptr, record, nullptr);
    __builtin_longjmp(frame->jumpBuffer, 1);
}

__attribute__((noinline)) bool CallBody(GuardedCall::Body body, void* context)
{
#if __cpp_exceptions
    try {
        body(context);
        return true;
    } catch (...) {
        return false;
    }
#else
    // Built without exceptions (the system libraries): nothing can throw.
    body(context);
    return true;
#endif
}

} // namespace

bool GuardedCall::Run(Body body, void* context, uint32_t* faultCode)
{
    GuardFrame frame;
    frame.prev = ReadChainHead();
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    frame.code = 0;
    volatile bool completed = false;

    if (__builtin_setjmp(frame.jumpBuffer) == 0) {
        WriteChainHead(&frame);
        bool ok = CallBody(body, context);
        if (!ok) frame.code = kCppExceptionCode;
        completed = ok;
    }
    // Reached normally or through the handler's jump: drop our record.
    WriteChainHead(frame.prev);

    if (!completed && faultCode) *faultCode = frame.code;
    return completed;
}
