#pragma once

// Calls an outside function that takes one pointer argument and returns an
// int or a pointer (the whole return register comes back), restoring the stack pointer and the callee-saved registers afterwards.
// A function built as stdcall instead of cdecl removes its own argument; a
// plain call would then leave the stack shifted by four bytes per call.
#include <cstdint>

class StackRestoringCall {
public:
    static intptr_t Call(const void* function, void* argument);
};
