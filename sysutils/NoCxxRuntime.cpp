// The little of the C++ runtime that OrvoSysUtils and OrvoGdiUtils use. Both
// are built without exceptions and RTTI and linked without the C++ library:
// memory comes from the process heap, and running out of it raises a
// structured exception (STATUS_NO_MEMORY), which a GuardedCall reports like
// any other fault.
#include <windows.h>

#include <cstddef>

namespace {
[[noreturn]] void Fail(DWORD code)
{
    RaiseException(code, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    for (;;) ExitProcess(code);
}
} // namespace

void* operator new(std::size_t size)
{
    void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!block) Fail(STATUS_NO_MEMORY);
    return block;
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* block) noexcept
{
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

void operator delete[](void* block) noexcept
{
    operator delete(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    operator delete(block);
}

// A pure virtual function called during construction or destruction.
extern "C" void __cxa_pure_virtual()
{
    Fail(STATUS_NONCONTINUABLE_EXCEPTION);
}
