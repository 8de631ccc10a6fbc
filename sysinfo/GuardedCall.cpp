#include "sysinfo/GuardedCall.h"

#include <windows.h>

#ifdef _WIN64

// x64 has table-based exception handling: the guard is an assembly frame whose
// unwind data names TwGuardHandler. The frame keeps the fault-code pointer just
// below its frame pointer; the handler unwinds back to the landing label, where
// the frame returns 0.
extern "C" int TwGuardedInvoke(void (*body)(void*), void* context, volatile DWORD* code);
extern "C" void TwGuardedLanding();

extern "C" EXCEPTION_DISPOSITION TwGuardHandler(EXCEPTION_RECORD* record, void* establisher,
                                                CONTEXT* context, DISPATCHER_CONTEXT* dispatch)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    DWORD code = record->ExceptionCode;
    if (code == 0x40010006u || code == 0x4001000Au || code == 0x406D1388u)
        return ExceptionContinueSearch;
    // The compiler's own exception codes: a C++ throw is caught inside the frame.
    if ((code & 0xF0FFFFFFu) == 0x20474343u) return ExceptionContinueSearch;
    volatile DWORD* out = *reinterpret_cast<volatile DWORD**>(static_cast<char*>(establisher) - 8);
    *out = code;
    RtlUnwindEx(establisher, reinterpret_cast<void*>(&TwGuardedLanding), record, nullptr, context,
                dispatch->HistoryTable);
    return ExceptionContinueSearch;
}

__asm__(
    ".text\n"
    ".globl TwGuardedInvoke\n"
    ".globl TwGuardedLanding\n"
    ".def TwGuardedInvoke; .scl 2; .type 32; .endef\n"
    ".seh_proc TwGuardedInvoke\n"
    "TwGuardedInvoke:\n"
    "    pushq %rbp\n"
    "    .seh_pushreg %rbp\n"
    "    movq %rsp, %rbp\n"
    "    .seh_setframe %rbp, 0\n"
    "    subq $48, %rsp\n"
    "    .seh_stackalloc 48\n"
    "    .seh_endprologue\n"
    "    .seh_handler TwGuardHandler, @except\n"
    "    movq %r8, -8(%rbp)\n"
    "    movq %rcx, %rax\n"
    "    movq %rdx, %rcx\n"
    "    callq *%rax\n"
    "    movl $1, %eax\n"
    "    movq %rbp, %rsp\n"
    "    popq %rbp\n"
    "    ret\n"
    "TwGuardedLanding:\n"
    "    xorl %eax, %eax\n"
    "    movq %rbp, %rsp\n"
    "    popq %rbp\n"
    "    ret\n"
    ".seh_endproc\n");

#endif

namespace {


// Layout of an x86 exception registration record, followed by our own data.
#ifndef _WIN64
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
#endif

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
#ifdef _WIN64
    struct Call {
        Body body;
        void* context;
        bool ok;
    } call = {body, context, false};
    volatile DWORD code = 0;
    int returned = TwGuardedInvoke(
        [](void* c) {
            Call* call = static_cast<Call*>(c);
            call->ok = CallBody(call->body, call->context);
        },
        &call, &code);
    bool completed = returned && call.ok;
    if (returned && !call.ok) code = kCppExceptionCode;
    if (!completed && faultCode) *faultCode = code;
    return completed;
#else
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
#endif
}
