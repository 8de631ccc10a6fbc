#include "sysinfo/StackRestoringCall.h"

#ifdef _WIN64
// One calling convention: nothing to restore.
intptr_t StackRestoringCall::Call(const void* function, void* argument)
{
    typedef intptr_t (*Entry)(void*);
    return reinterpret_cast<Entry>(const_cast<void*>(function))(argument);
}
#else
extern "C" int __cdecl TwCallRestoringStack(const void* function, void* argument);

// ebp keeps the frame; esp is reset from it whatever the callee popped.
__asm__(
    ".text\n"
    ".globl _TwCallRestoringStack\n"
    ".def _TwCallRestoringStack; .scl 2; .type 32; .endef\n"
    "_TwCallRestoringStack:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl 12(%ebp)\n"
    "    call *8(%ebp)\n"
    "    leal -12(%ebp), %esp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret\n");

intptr_t StackRestoringCall::Call(const void* function, void* argument)
{
    return TwCallRestoringStack(function, argument);
}
#endif
