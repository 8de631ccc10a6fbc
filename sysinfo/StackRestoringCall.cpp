#include "sysinfo/StackRestoringCall.h"

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

int StackRestoringCall::Call(const void* function, void* argument)
{
    return TwCallRestoringStack(function, argument);
}
